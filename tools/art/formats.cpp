#include "tools/art/formats.h"

#include <png.h>

#include <cstdio>

namespace art {
namespace {

void Put16(Bytes& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

int RowBytes(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

void PutInfoHeader(Bytes& out, int width, int height, int bits, uint32_t imageSize, uint32_t colorsUsed) {
    Put32(out, 40);
    Put32(out, (uint32_t)width);
    Put32(out, (uint32_t)height);
    Put16(out, 1);  // planes
    Put16(out, (uint32_t)bits);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 0);  // pixels per metre, x and y
    Put32(out, 0);
    Put32(out, colorsUsed);
    Put32(out, 0);  // important colours: all
}

void PutTable(Bytes& out, const std::vector<Rgb>& table) {
    for (const Rgb& c : table) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
}

// Colour rows, bottom row first.
void PutPixels(Bytes& out, const Image& img, int bits) {
    int stride = RowBytes(img.width, bits);
    for (int y = img.height - 1; y >= 0; --y) {
        Bytes row((size_t)stride, 0);
        for (int x = 0; x < img.width; ++x) {
            uint8_t v = img.At(x, y);
            if (v == kTransparent) v = 0;
            if (bits == 8) row[(size_t)x] = v;
            else row[(size_t)x / 2] |= (uint8_t)((v & 15) << (x % 2 ? 0 : 4));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

// AND mask rows, bottom row first: 1 where the pixel is transparent.
void PutMask(Bytes& out, const Image& img) {
    int stride = RowBytes(img.width, 1);
    for (int y = img.height - 1; y >= 0; --y) {
        Bytes row((size_t)stride, 0);
        for (int x = 0; x < img.width; ++x)
            if (img.At(x, y) == kTransparent) row[(size_t)x / 8] |= (uint8_t)(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
}

}  // namespace

Bytes EncodeBmp(const Image& img, const std::vector<Rgb>& table, int bits) {
    uint32_t imageSize = (uint32_t)(RowBytes(img.width, bits) * img.height);
    uint32_t offset = 14 + 40 + 4 * (uint32_t)table.size();
    uint32_t colorsUsed = table.size() == (1u << bits) ? 0 : (uint32_t)table.size();
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, img.width, img.height, bits, imageSize, colorsUsed);
    PutTable(out, table);
    PutPixels(out, img, bits);
    return out;
}

Bytes EncodeIco(const std::vector<Image>& images, const std::vector<Rgb>& table) {
    std::vector<Bytes> bodies;
    for (const Image& img : images) {
        Bytes body;
        uint32_t colorSize = (uint32_t)(RowBytes(img.width, 4) * img.height);
        uint32_t maskSize = (uint32_t)(RowBytes(img.width, 1) * img.height);
        // The height counts the colour rows and the mask rows.
        PutInfoHeader(body, img.width, img.height * 2, 4, colorSize + maskSize, 0);
        PutTable(body, table);
        PutPixels(body, img, 4);
        PutMask(body, img);
        bodies.push_back(body);
    }
    Bytes out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // icon
    Put16(out, (uint32_t)images.size());
    uint32_t offset = 6 + 16 * (uint32_t)images.size();
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back((uint8_t)images[i].width);
        out.push_back((uint8_t)images[i].height);
        out.push_back(16);  // colours
        out.push_back(0);
        Put16(out, 1);  // planes
        Put16(out, 4);  // bits per pixel
        Put32(out, (uint32_t)bodies[i].size());
        Put32(out, offset);
        offset += (uint32_t)bodies[i].size();
    }
    for (const Bytes& body : bodies) out.insert(out.end(), body.begin(), body.end());
    return out;
}

namespace {

void AppendPng(png_structp png, png_bytep data, png_size_t length) {
    Bytes* out = (Bytes*)png_get_io_ptr(png);
    out->insert(out->end(), data, data + length);
}

void FlushPng(png_structp) {}

}  // namespace

Bytes EncodePng(const Image& img, const std::vector<Rgb>& table) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Bytes();
    }
    png_set_write_fn(png, &out, AppendPng, FlushPng);
    png_set_IHDR(png, info, (png_uint_32)img.width, (png_uint_32)img.height, 8, PNG_COLOR_TYPE_RGBA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row((size_t)img.width * 4);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            uint8_t v = img.At(x, y);
            Rgb c = v == kTransparent ? Rgb{0, 0, 0} : table[v];
            png_byte* p = &row[(size_t)x * 4];
            p[0] = c.r;
            p[1] = c.g;
            p[2] = c.b;
            p[3] = v == kTransparent ? 0 : 255;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

bool WriteFile(const std::string& path, const Bytes& bytes, std::string* error) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        *error = "cannot create " + path;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) *error = "cannot write " + path;
    return ok;
}

}  // namespace art
