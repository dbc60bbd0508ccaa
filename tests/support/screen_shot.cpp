#include "tests/support/screen_shot.h"

#include <cstdint>
#include <cstdlib>

#include "tests/support/temp_folder.h"

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBig32(std::string* out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(char(v >> shift));
}

void Chunk(std::string* png, const char* type, const std::string& data) {
    PutBig32(png, uint32_t(data.size()));
    const std::string typed = std::string(type, 4) + data;
    png->append(typed);
    PutBig32(png, Crc32(reinterpret_cast<const uint8_t*>(typed.data()), typed.size()));
}

// A zlib stream of stored (uncompressed) deflate blocks: pictures of a few
// dialogs are small enough not to need compression.
std::string StoredZlib(const std::string& raw) {
    std::string out("\x78\x01", 2);
    size_t at = 0;
    do {
        const size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
        out.push_back(at + n == raw.size() ? 1 : 0);
        out.push_back(char(n & 0xFF)), out.push_back(char(n >> 8));
        out.push_back(char(~n & 0xFF)), out.push_back(char((~n >> 8) & 0xFF));
        out.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, b = 0;
    for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
    PutBig32(&out, (b << 16) | a);
    return out;
}

}  // namespace

ScreenShot TakeShot(HWND window) {
    ScreenShot shot;
    RECT r;
    GetClientRect(window, &r);
    if (r.right <= 0 || r.bottom <= 0) return shot;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = r.right;
    info.bmiHeader.biHeight = -r.bottom;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
        GdiFlush();
        shot.width = r.right;
        shot.height = r.bottom;
        shot.pixels.resize(size_t(r.right) * r.bottom);
        const uint32_t* p = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < shot.pixels.size(); ++i)
            shot.pixels[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
        SelectObject(memory, previous);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
    ReleaseDC(window, screen);
    return shot;
}

bool SavePng(const ScreenShot& shot, const std::string& path) {
    std::string raw;
    for (int y = 0; y < shot.height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = shot.at(x, y);
            raw.push_back(char(GetRValue(c))), raw.push_back(char(GetGValue(c)));
            raw.push_back(char(GetBValue(c)));
        }
    }
    std::string header;
    PutBig32(&header, uint32_t(shot.width));
    PutBig32(&header, uint32_t(shot.height));
    header.append("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    std::string png("\x89PNG\r\n\x1a\n", 8);
    Chunk(&png, "IHDR", header);
    Chunk(&png, "IDAT", StoredZlib(raw));
    Chunk(&png, "IEND", "");
    return WriteWholeFile(path, png);
}

std::string ShotsFolder() {
    const char* folder = getenv("PORTAVO_SHOTS");
    return folder ? folder : "";
}
