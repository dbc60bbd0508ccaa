// Text for the pictures, rasterised by FreeType from the DejaVu fonts.
#pragma once

#include <string>

#include "tools/art/image.h"

namespace art {

enum class Face { kSans, kSansBold };

enum class Render {
    kMono,  // hinted, one bit per pixel: for the 16-colour pictures
    kGray,  // anti-aliased coverage: for the 256-colour banner
};

struct TextStyle {
    Face face;
    int pixelSize;
    Render render;
    double slant;        // horizontal shear, 0 for upright text
    double narrow = 1.0;  // width of the glyphs relative to their height
};

// Loads the fonts from `folder`; false with a message when one is missing.
bool OpenFonts(const std::string& folder, std::string* error);
void CloseFonts();

// Advance width of `text` in pixels.
int TextWidth(const TextStyle& style, const char* text);

// Adds the glyph coverage of `text` to `mask`, pen starting at x on the baseline y.
void DrawText(Mask& mask, const TextStyle& style, int x, int baseline, const char* text);

// Paints the pixels of `img` whose coverage is at least `threshold` in colour `c`.
void PaintMask(Image& img, const Mask& mask, uint8_t c, int threshold = 128);

// Convenience for the 16-colour pictures: monochrome text straight onto `img`.
void PutText(Image& img, const TextStyle& style, int x, int baseline, const char* text, uint8_t c);

}  // namespace art
