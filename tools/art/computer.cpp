// Bitmap 200: the computer the product is installed on.
#include <cmath>

#include "tools/art/font.h"
#include "tools/art/palette.h"
#include "tools/art/pictures.h"

namespace art {
namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 168;

// A raised silver panel with a black outline.
void Panel(Image& img, int x, int y, int w, int h) {
    FillRect(img, x, y, w, h, kSilver);
    Frame(img, x, y, w, h, kBlack);
    Bevel(img, x + 1, y + 1, w - 2, h - 2, kWhite, kGray);
}

// A drive bay or slot set into a panel.
void Recess(Image& img, int x, int y, int w, int h) {
    Bevel(img, x, y, w, h, kGray, kWhite);
}

void Monitor(Image& img) {
    Panel(img, 12, 4, 96, 76);
    // Screen bezel, sunken, and the glass.
    Recess(img, 18, 9, 84, 60);
    Frame(img, 19, 10, 82, 58, kBlack);
    // A setup screen: navy fading into blue, with a dithered seam.
    FillRect(img, 20, 11, 80, 56, kNavy);
    for (int y = 40; y < 67; ++y)
        for (int x = 20; x < 100; ++x)
            if (y >= 52 || (y >= 46 && (x + y) % 2 == 0) || (y >= 40 && x % 2 == 0 && y % 2 == 0))
                img.Set(x, y, kBlue);
    PutText(img, {Face::kSansBold, 11, Render::kMono, 0.25}, 24, 22, "Setup", kWhite);
    // A little dialog with a progress bar.
    FillRect(img, 40, 31, 52, 27, kSilver);
    Frame(img, 39, 30, 54, 29, kBlack);
    Bevel(img, 40, 31, 52, 27, kWhite, kGray);
    FillRect(img, 41, 32, 50, 5, kNavy);
    FillRect(img, 87, 33, 3, 3, kSilver);
    HLine(img, 43, 62, 34, kWhite);
    HLine(img, 44, 70, 41, kGray);
    HLine(img, 44, 64, 44, kGray);
    Recess(img, 44, 48, 44, 7);
    for (int x = 46; x < 74; x += 4) FillRect(img, x, 50, 3, 3, kNavy);
    // Front: maker's badge, power button and lamp.
    HLine(img, 22, 40, 73, kGray);
    HLine(img, 22, 40, 74, kWhite);
    Recess(img, 88, 71, 7, 5);
    FillRect(img, 89, 72, 5, 3, kSilver);
    img.Set(98, 73, kLime);
    img.Set(99, 73, kLime);
    // Stand.
    FillPolygon(img, {{44, 80}, {76, 80}, {82, 86}, {38, 86}}, kSilver);
    Line(img, 44, 80, 38, 86, kBlack);
    Line(img, 76, 80, 82, 86, kBlack);
    HLine(img, 45, 75, 81, kGray);
}

void SystemUnit(Image& img) {
    Panel(img, 4, 86, 112, 31);
    HLine(img, 6, 113, 88, kWhite);
    // Ventilation slots and the power switch with its lamps.
    for (int y = 93; y <= 101; y += 2) HLine(img, 10, 36, y, kGray);
    Recess(img, 10, 106, 8, 7);
    FillRect(img, 11, 107, 6, 5, kSilver);
    FillRect(img, 22, 108, 3, 2, kLime);
    FillRect(img, 28, 108, 3, 2, kYellow);
    // CD-ROM drive: tray, button, lamp.
    Recess(img, 46, 91, 64, 11);
    HLine(img, 50, 98, 96, kBlack);
    HLine(img, 50, 98, 97, kGray);
    Recess(img, 101, 95, 6, 4);
    img.Set(102, 99, kLime);
    // Floppy drive: slot, button, lamp.
    Recess(img, 60, 104, 50, 10);
    FillRect(img, 68, 107, 32, 2, kBlack);
    HLine(img, 68, 99, 109, kGray);
    Recess(img, 102, 107, 5, 4);
    img.Set(63, 110, kGreen);
}

// A 3.5-inch floppy disk, 30 x 30, in `body` colour.
void Floppy(Image& img, int x, int y, uint8_t body, uint8_t shine) {
    FillPolygon(img, {{(double)x, (double)y}, {x + 27.0, (double)y}, {x + 30.0, y + 3.0},
                      {x + 30.0, y + 30.0}, {(double)x, y + 30.0}}, body);
    HLine(img, x, x + 26, y, kBlack);
    Line(img, x + 27, y, x + 29, y + 2, kBlack);
    VLine(img, x + 29, y + 3, y + 29, kBlack);
    HLine(img, x, x + 29, y + 29, kBlack);
    VLine(img, x, y, y + 29, kBlack);
    VLine(img, x + 1, y + 1, y + 28, shine);
    HLine(img, x + 1, x + 26, y + 1, shine);
    // Metal shutter with its window.
    FillRect(img, x + 8, y + 1, 15, 10, kSilver);
    VLine(img, x + 8, y + 1, y + 10, kWhite);
    VLine(img, x + 22, y + 1, y + 10, kGray);
    HLine(img, x + 8, x + 22, y + 10, kGray);
    FillRect(img, x + 16, y + 3, 4, 6, kGray);
    VLine(img, x + 16, y + 3, y + 8, kBlack);
    // Label with writing.
    FillRect(img, x + 4, y + 14, 22, 14, kWhite);
    HLine(img, x + 4, x + 25, y + 14, kSilver);
    HLine(img, x + 6, x + 20, y + 18, kBlue);
    HLine(img, x + 6, x + 23, y + 21, kSilver);
    HLine(img, x + 6, x + 23, y + 24, kSilver);
    // Write-protect hole.
    FillRect(img, x + 2, y + 25, 2, 3, kBlack);
}

// A compact disc of radius r, with a rainbow sheen and a see-through hub.
void Disc(Image& img, double cx, double cy, double r) {
    const double pi = 3.14159265358979323846;
    for (int y = (int)(cy - r) - 1; y <= (int)(cy + r) + 1; ++y)
        for (int x = (int)(cx - r) - 1; x <= (int)(cx + r) + 1; ++x) {
            double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            double d = std::sqrt(dx * dx + dy * dy);
            if (d > r || d < 2.6) continue;
            double a = std::atan2(-dy, dx) * 180 / pi;  // 0 to the right, counter-clockwise
            if (a < 0) a += 360;
            uint8_t c = kSilver;
            if (d > r - 1.1) c = kBlack;
            else if (d < 5.2) c = d < 3.6 ? kGray : kWhite;
            else if (d < 6.4) c = kGray;
            else if (a > 30 && a < 60) c = (d > 11) ? kAqua : kWhite;
            else if (a >= 60 && a < 75) c = kFuchsia;
            else if (a > 210 && a < 240) c = (d > 11) ? kYellow : kWhite;
            else if (a >= 240 && a < 252) c = kAqua;
            else if (a > 120 && a < 150 && d > 8 && d < 13) c = kWhite;
            img.Set(x, y, c);
        }
}

}  // namespace

Image DrawComputer() {
    Image img(kWidth, kHeight, kTeal);
    Monitor(img);
    SystemUnit(img);
    Floppy(img, 20, 121, kBlack, kGray);
    Floppy(img, 5, 133, kNavy, kBlue);
    Disc(img, 84.5, 136.5, 17);
    Disc(img, 99.5, 148.5, 17);
    return img;
}

}  // namespace art
