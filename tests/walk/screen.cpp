#include "tests/walk/screen.h"

#include <zlib.h>

#include <cstdio>
#include <cstdlib>

namespace {

void PutBig32(std::vector<unsigned char>* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<unsigned char>(v >> shift));
}

void PutChunk(std::vector<unsigned char>* png, const char* type, const std::vector<unsigned char>& data) {
    PutBig32(png, static_cast<uint32_t>(data.size()));
    const size_t start = png->size();
    png->insert(png->end(), type, type + 4);
    png->insert(png->end(), data.begin(), data.end());
    const uLong crc = crc32(0, png->data() + start, static_cast<uInt>(png->size() - start));
    PutBig32(png, static_cast<uint32_t>(crc));
}

// Draws a system icon on a background colour, the size the box shows it.
Image RenderIcon(LPCSTR id, int width, int height, COLORREF background) {
    Image image;
    image.width = width;
    image.height = height;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, dib);
    HBRUSH brush = CreateSolidBrush(background);
    const RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, LoadIconA(nullptr, id), 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i)
        image.pixels.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

}  // namespace

Image CaptureRect(const RECT& r) {
    Image image;
    image.width = r.right - r.left;
    image.height = r.bottom - r.top;
    if (image.width <= 0 || image.height <= 0) return Image();
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, image.width, image.height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i)
        image.pixels[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    SelectObject(memory, previous);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

Image CaptureScreen() {
    const RECT all = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return CaptureRect(all);
}

bool SavePng(const Image& image, const std::string& path) {
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(image.width * 3 + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < image.width; ++x) {
            const COLORREF c = image.At(x, y);
            raw.push_back(GetRValue(c));
            raw.push_back(GetGValue(c));
            raw.push_back(GetBValue(c));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK)
        return false;
    packed.resize(packedSize);

    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<unsigned char> header;
    PutBig32(&header, static_cast<uint32_t>(image.width));
    PutBig32(&header, static_cast<uint32_t>(image.height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(&png, "IHDR", header);
    PutChunk(&png, "IDAT", packed);
    PutChunk(&png, "IEND", {});
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = fwrite(png.data(), 1, png.size(), file) == png.size();
    return fclose(file) == 0 && written;
}

int CountColor(const Image& image, const RECT& r, COLORREF color) {
    int count = 0;
    for (int y = r.top; y < r.bottom && y < image.height; ++y)
        for (int x = r.left; x < r.right && x < image.width; ++x)
            if (y >= 0 && x >= 0 && image.At(x, y) == color) ++count;
    return count;
}

std::string ShotPath(const std::string& name) {
    std::string folder;
    if (const char* set = getenv("PORTAVO_SHOTS")) {
        folder = set;
    } else {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        folder = self;
        folder.resize(folder.find_last_of('\\'));
        folder += "\\shots";
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\" + name;
}

UINT IdentifyIcon(const Image& area) {
    if (area.width <= 0 || area.height <= 0) return 0;
    const COLORREF background = area.At(0, 0);
    struct Candidate {
        LPCSTR id;
        UINT kind;
    } candidates[] = {{IDI_HAND, MB_ICONERROR},
                      {IDI_EXCLAMATION, MB_ICONWARNING},
                      {IDI_ASTERISK, MB_ICONINFORMATION},
                      {IDI_QUESTION, MB_ICONQUESTION}};
    UINT best = 0;
    int bestMatches = 0;
    for (const Candidate& c : candidates) {
        const Image icon = RenderIcon(c.id, area.width, area.height, background);
        int matches = 0;
        for (size_t i = 0; i < icon.pixels.size(); ++i)
            if (icon.pixels[i] == area.pixels[i] && icon.pixels[i] != background) ++matches;
        if (matches > bestMatches) {
            bestMatches = matches;
            best = c.kind;
        }
    }
    return best;
}
