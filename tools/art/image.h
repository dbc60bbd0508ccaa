// Indexed-colour images and the pixel-art primitives the pictures are drawn
// with. Pixels hold palette indices, top row first; coordinates outside the
// image are clipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
    uint8_t r, g, b;
};

// Index marking a transparent icon pixel.
constexpr uint8_t kTransparent = 255;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int w, int h, uint8_t fill) : width(w), height(h), pixels((size_t)w * h, fill) {}

    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    uint8_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
    void Set(int x, int y, uint8_t c) {
        if (Inside(x, y)) pixels[(size_t)y * width + x] = c;
    }
};

void FillRect(Image& img, int x, int y, int w, int h, uint8_t c);
void HLine(Image& img, int x0, int x1, int y, uint8_t c);
void VLine(Image& img, int x, int y0, int y1, uint8_t c);
void Line(Image& img, int x0, int y0, int x1, int y1, uint8_t c);
// One-pixel outline of the rectangle.
void Frame(Image& img, int x, int y, int w, int h, uint8_t c);
// Classic 3D edge: `light` along the top and left, `dark` along the bottom and right.
void Bevel(Image& img, int x, int y, int w, int h, uint8_t light, uint8_t dark);
// Ellipses in continuous coordinates: a pixel belongs when its centre does.
void FillEllipse(Image& img, double cx, double cy, double rx, double ry, uint8_t c);
void EllipseOutline(Image& img, double cx, double cy, double rx, double ry, uint8_t c);
struct Point {
    double x, y;
};
// Filled polygon (even-odd rule, pixel centres).
void FillPolygon(Image& img, const std::vector<Point>& points, uint8_t c);
// Replaces every pixel of colour `from` inside the rectangle.
void Recolor(Image& img, int x, int y, int w, int h, uint8_t from, uint8_t to);
// Copies `src` onto `dst` at x, y, skipping transparent pixels.
void Blit(Image& dst, const Image& src, int x, int y);

// Coverage mask for anti-aliased drawing: 0 (nothing) to 255 (full).
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> cover;

    Mask(int w, int h) : width(w), height(h), cover((size_t)w * h, 0) {}
    uint8_t At(int x, int y) const { return cover[(size_t)y * width + x]; }
    // Adds coverage, saturating at 255.
    void Add(int x, int y, int amount);
};

// Anti-aliased filled polygon (even-odd rule), 8 x 8 samples per pixel.
void FillPolygonAA(Mask& mask, const std::vector<Point>& points);
// Anti-aliased ring between two radii (inner 0 gives a disc).
void FillRingAA(Mask& mask, double cx, double cy, double outer, double inner);

}  // namespace art
