#include "tools/art/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace art {
namespace {

FT_Library g_library = nullptr;
FT_Face g_faces[2] = {nullptr, nullptr};
const char* const kFaceFiles[2] = {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf"};

FT_Face Prepare(const TextStyle& style) {
    FT_Face face = g_faces[(int)style.face];
    FT_Set_Pixel_Sizes(face, (FT_UInt)std::lround(style.pixelSize * style.narrow), (FT_UInt)style.pixelSize);
    FT_Matrix shear = {0x10000, (FT_Fixed)std::lround(style.slant * 0x10000), 0, 0x10000};
    FT_Set_Transform(face, &shear, nullptr);
    return face;
}

FT_Int32 LoadFlags(const TextStyle& style) {
    return style.render == Render::kMono ? FT_LOAD_RENDER | FT_LOAD_TARGET_MONO
                                         : FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL;
}

// Calls `glyph(slot, penX)` for each character, with kerning applied. The
// pen advances by the unhinted widths, which keeps the spacing of small
// hinted text even.
template <typename Glyph>
void Layout(const TextStyle& style, const char* text, Glyph glyph) {
    FT_Face face = Prepare(style);
    long pen = 0;  // 26.6 fixed point
    FT_UInt previous = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p; ++p) {
        FT_UInt index = FT_Get_Char_Index(face, *p);
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += kern.x;
        }
        if (FT_Load_Glyph(face, index, LoadFlags(style)) != 0) continue;
        glyph(face->glyph, (int)((pen + 32) >> 6));
        pen += face->glyph->linearHoriAdvance >> 10;  // 16.16 to 26.6
        previous = index;
    }
}

}  // namespace

bool OpenFonts(const std::string& folder, std::string* error) {
    if (FT_Init_FreeType(&g_library) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        std::string path = folder + "/" + kFaceFiles[i];
        struct stat info;
        if (stat(path.c_str(), &info) != 0 || FT_New_Face(g_library, path.c_str(), 0, &g_faces[i]) != 0) {
            *error = "font " + path + " is missing or unreadable (Debian package fonts-dejavu-core)";
            CloseFonts();
            return false;
        }
    }
    return true;
}

void CloseFonts() {
    for (FT_Face& face : g_faces) {
        if (face) FT_Done_Face(face);
        face = nullptr;
    }
    if (g_library) FT_Done_FreeType(g_library);
    g_library = nullptr;
}

int TextWidth(const TextStyle& style, const char* text) {
    int width = 0;
    Layout(style, text, [&](FT_GlyphSlot slot, int penX) {
        width = penX + (int)(((slot->linearHoriAdvance >> 10) + 32) >> 6);
    });
    return width;
}

void DrawText(Mask& mask, const TextStyle& style, int x, int baseline, const char* text) {
    Layout(style, text, [&](FT_GlyphSlot slot, int penX) {
        const FT_Bitmap& bm = slot->bitmap;
        int left = x + penX + slot->bitmap_left;
        int top = baseline - slot->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
            const unsigned char* line = bm.buffer + (long)row * bm.pitch;
            for (unsigned col = 0; col < bm.width; ++col) {
                int value = bm.pixel_mode == FT_PIXEL_MODE_MONO ? ((line[col >> 3] >> (7 - (col & 7))) & 1) * 255
                                                                : line[col];
                if (value) mask.Add(left + (int)col, top + (int)row, value);
            }
        }
    });
}

void PaintMask(Image& img, const Mask& mask, uint8_t c, int threshold) {
    for (int y = 0; y < std::min(img.height, mask.height); ++y)
        for (int x = 0; x < std::min(img.width, mask.width); ++x)
            if (mask.At(x, y) >= threshold) img.Set(x, y, c);
}

void PutText(Image& img, const TextStyle& style, int x, int baseline, const char* text, uint8_t c) {
    Mask mask(img.width, img.height);
    DrawText(mask, style, x, baseline, text);
    PaintMask(img, mask, c);
}

}  // namespace art
