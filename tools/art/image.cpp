#include "tools/art/image.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace art {

void FillRect(Image& img, int x, int y, int w, int h, uint8_t c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) img.Set(i, j, c);
}

void HLine(Image& img, int x0, int x1, int y, uint8_t c) {
    if (x0 > x1) std::swap(x0, x1);
    for (int x = x0; x <= x1; ++x) img.Set(x, y, c);
}

void VLine(Image& img, int x, int y0, int y1, uint8_t c) {
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y) img.Set(x, y, c);
}

void Line(Image& img, int x0, int y0, int x1, int y1, uint8_t c) {
    int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        img.Set(x0, y0, c);
        if (x0 == x1 && y0 == y1) break;
        int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

void Frame(Image& img, int x, int y, int w, int h, uint8_t c) {
    HLine(img, x, x + w - 1, y, c);
    HLine(img, x, x + w - 1, y + h - 1, c);
    VLine(img, x, y, y + h - 1, c);
    VLine(img, x + w - 1, y, y + h - 1, c);
}

void Bevel(Image& img, int x, int y, int w, int h, uint8_t light, uint8_t dark) {
    HLine(img, x, x + w - 2, y, light);
    VLine(img, x, y, y + h - 2, light);
    HLine(img, x, x + w - 1, y + h - 1, dark);
    VLine(img, x + w - 1, y, y + h - 1, dark);
}

static bool InEllipse(double px, double py, double cx, double cy, double rx, double ry) {
    double dx = (px - cx) / rx, dy = (py - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

void FillEllipse(Image& img, double cx, double cy, double rx, double ry, uint8_t c) {
    for (int y = (int)std::floor(cy - ry) - 1; y <= (int)std::ceil(cy + ry); ++y)
        for (int x = (int)std::floor(cx - rx) - 1; x <= (int)std::ceil(cx + rx); ++x)
            if (InEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry)) img.Set(x, y, c);
}

void EllipseOutline(Image& img, double cx, double cy, double rx, double ry, uint8_t c) {
    // A pixel inside whose 4-neighbour lies outside is on the outline.
    for (int y = (int)std::floor(cy - ry) - 1; y <= (int)std::ceil(cy + ry); ++y)
        for (int x = (int)std::floor(cx - rx) - 1; x <= (int)std::ceil(cx + rx); ++x) {
            if (!InEllipse(x + 0.5, y + 0.5, cx, cy, rx, ry)) continue;
            if (!InEllipse(x - 0.5, y + 0.5, cx, cy, rx, ry) || !InEllipse(x + 1.5, y + 0.5, cx, cy, rx, ry) ||
                !InEllipse(x + 0.5, y - 0.5, cx, cy, rx, ry) || !InEllipse(x + 0.5, y + 1.5, cx, cy, rx, ry))
                img.Set(x, y, c);
        }
}

// Calls `span(y, x0, x1)` for each run of sample centres inside the polygon,
// sampling rows at y + offset, columns x + offset, `step` apart.
template <typename Span>
static void ScanPolygon(const std::vector<Point>& pts, double y0, double y1, double step, Span span) {
    std::vector<double> xs;
    for (double sy = y0; sy < y1; sy += step) {
        xs.clear();
        for (size_t i = 0; i < pts.size(); ++i) {
            const Point& a = pts[i];
            const Point& b = pts[(i + 1) % pts.size()];
            if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy))
                xs.push_back(a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(xs.begin(), xs.end());
        for (size_t i = 0; i + 1 < xs.size(); i += 2) span(sy, xs[i], xs[i + 1]);
    }
}

void FillPolygon(Image& img, const std::vector<Point>& points, uint8_t c) {
    ScanPolygon(points, 0.5, img.height, 1.0, [&](double sy, double xa, double xb) {
        for (int x = (int)std::ceil(xa - 0.5); x + 0.5 < xb; ++x) img.Set(x, (int)sy, c);
    });
}

void Recolor(Image& img, int x, int y, int w, int h, uint8_t from, uint8_t to) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (img.Inside(i, j) && img.At(i, j) == from) img.Set(i, j, to);
}

void Blit(Image& dst, const Image& src, int x, int y) {
    for (int j = 0; j < src.height; ++j)
        for (int i = 0; i < src.width; ++i)
            if (src.At(i, j) != kTransparent) dst.Set(x + i, y + j, src.At(i, j));
}

void Mask::Add(int x, int y, int amount) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    uint8_t& v = cover[(size_t)y * width + x];
    v = (uint8_t)std::min(255, v + amount);
}

// 8 x 8 samples; each adds 4 (64 samples make 256, saturated to 255).
constexpr int kSamples = 8;

void FillPolygonAA(Mask& mask, const std::vector<Point>& points) {
    const double step = 1.0 / kSamples;
    ScanPolygon(points, step / 2, mask.height, step, [&](double sy, double xa, double xb) {
        for (double sx = std::ceil((xa - step / 2) * kSamples) / kSamples + step / 2; sx < xb; sx += step)
            mask.Add((int)sx, (int)sy, 4);
    });
}

void FillRingAA(Mask& mask, double cx, double cy, double outer, double inner) {
    const double step = 1.0 / kSamples;
    for (int y = std::max(0, (int)(cy - outer) - 1); y <= std::min(mask.height - 1, (int)(cy + outer) + 1); ++y)
        for (int x = std::max(0, (int)(cx - outer) - 1); x <= std::min(mask.width - 1, (int)(cx + outer) + 1); ++x) {
            int hits = 0;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i) {
                    double dx = x + (i + 0.5) * step - cx, dy = y + (j + 0.5) * step - cy;
                    double d2 = dx * dx + dy * dy;
                    if (d2 <= outer * outer && d2 >= inner * inner) ++hits;
                }
            mask.Add(x, y, hits * 4);
        }
}

}  // namespace art
