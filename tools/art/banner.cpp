// Bitmaps 202, 203 and 204: the maker's banner, its stripes and the line
// under the header.
#include <algorithm>
#include <cmath>

#include "tools/art/font.h"
#include "tools/art/pictures.h"

namespace art {
namespace {

constexpr int kBannerWidth = 334;
constexpr int kFillWidth = 20;
constexpr int kHeight = 58;

// The banner palette is 16 stripe shades x 16 steps of coverage: entry
// shade * 16 + step blends the shade towards the light blue of the logo.
constexpr int kShades = 16;
constexpr int kSteps = 16;
constexpr Rgb kLogoBlue = {140, 196, 255};

// Stripe shades: a gradient from navy at the top to near black at the
// bottom, in eight steps, each in a lighter and a darker variant.
Rgb Shade(int s) {
    const Rgb top = {10, 40, 128}, bottom = {0, 7, 30};
    double t = (s / 2) / 7.0;
    double k = s % 2 ? 0.62 : 1.0;
    auto mix = [&](uint8_t a, uint8_t b) { return (uint8_t)std::lround(k * (a + (b - a) * t)); };
    return {mix(top.r, bottom.r), mix(top.g, bottom.g), mix(top.b, bottom.b)};
}

// Stripe shade of row y: bands of three rows alternate light and dark.
int RowShade(int y) {
    int level = std::min(7, y * 8 / kHeight);
    int dark = (y / 3) % 2;
    return level * 2 + dark;
}

uint8_t Blend(int shade, int cover) {
    int step = (cover * (kSteps - 1) + 127) / 255;
    return (uint8_t)(shade * kSteps + step);
}

Image Stripes(int width) {
    Image img(width, kHeight, 0);
    for (int y = 0; y < kHeight; ++y) HLine(img, 0, width - 1, y, Blend(RowShade(y), 0));
    return img;
}

// The maker's mark: a ring around a bold V.
void Mark(Mask& mask, double cx, double cy) {
    FillRingAA(mask, cx, cy, 21.5, 18.5);
    FillPolygonAA(mask, {{cx - 13, cy - 10}, {cx - 6, cy - 10}, {cx, cy + 5}, {cx + 6, cy - 10},
                         {cx + 13, cy - 10}, {cx + 3, cy + 13}, {cx - 3, cy + 13}});
}

}  // namespace

std::vector<Rgb> BannerPalette() {
    std::vector<Rgb> table;
    for (int s = 0; s < kShades; ++s) {
        Rgb base = Shade(s);
        for (int i = 0; i < kSteps; ++i) {
            double t = (double)i / (kSteps - 1);
            auto mix = [&](uint8_t a, uint8_t b) { return (uint8_t)std::lround(a + (b - a) * t); };
            table.push_back({mix(base.r, kLogoBlue.r), mix(base.g, kLogoBlue.g), mix(base.b, kLogoBlue.b)});
        }
    }
    return table;
}

Image DrawBanner() {
    Image img = Stripes(kBannerWidth);
    const char* name = "Velmora Utilities";
    const char* slogan = "Tools that work as hard as you do";
    TextStyle nameStyle = {Face::kSansBold, 21, Render::kGray, 0.2};
    TextStyle sloganStyle = {Face::kSans, 11, Render::kGray, 0.0};
    int textWidth = std::max(TextWidth(nameStyle, name), TextWidth(sloganStyle, slogan));
    int textLeft = kBannerWidth - 14 - textWidth;

    Mask mask(kBannerWidth, kHeight);
    Mark(mask, textLeft - 32, 29);
    DrawText(mask, nameStyle, textLeft, 30, name);
    DrawText(mask, sloganStyle, textLeft + 2, 46, slogan);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kBannerWidth; ++x) img.Set(x, y, Blend(RowShade(y), mask.At(x, y)));
    return img;
}

Image DrawBannerFill() { return Stripes(kFillWidth); }

std::vector<Rgb> SeparatorPalette() {
    return {{0, 6, 25}, {26, 83, 255}, {13, 44, 140}, {6, 24, 80}, {140, 196, 255}};
}

Image DrawSeparator() {
    Image img(10, 2, 0);
    HLine(img, 0, 9, 0, 1);  // top row: bright blue
    HLine(img, 0, 9, 1, 0);  // bottom row: near black
    return img;
}

}  // namespace art
