// Bitmap 201: the Start menu, open at Programs, with the product's group
// highlighted in the sub-menu.
#include "tools/art/font.h"
#include "tools/art/palette.h"
#include "tools/art/pictures.h"

namespace art {
namespace {

constexpr int kWidth = 120;
constexpr int kHeight = 168;
constexpr int kTaskbarTop = 149;
constexpr int kItemHeight = 12;

// Menu text, narrowed so that two menus fit side by side in 120 pixels.
const TextStyle kMenuText = {Face::kSans, 8, Render::kMono, 0.0, 0.75};
const TextStyle kBoldText = {Face::kSansBold, 9, Render::kMono, 0.0, 0.8};

// A raised window edge: silver and white outside-in on the top and left,
// black and gray on the bottom and right.
void RaisedEdge(Image& img, int x, int y, int w, int h) {
    Bevel(img, x, y, w, h, kSilver, kBlack);
    Bevel(img, x + 1, y + 1, w - 2, h - 2, kWhite, kGray);
}

void SunkenEdge(Image& img, int x, int y, int w, int h) {
    Bevel(img, x, y, w, h, kGray, kWhite);
}

// Tiny 8 x 8 menu icons.
enum class Icon { kPrograms, kDocuments, kSettings, kFind, kHelp, kRun, kShutDown, kFolder };

void FolderIcon(Image& img, int x, int y) {
    FillRect(img, x, y + 2, 8, 6, kYellow);
    HLine(img, x + 1, x + 3, y + 1, kOlive);
    Frame(img, x, y + 2, 8, 6, kOlive);
    HLine(img, x + 1, x + 6, y + 3, kWhite);
}

void DrawIcon(Image& img, Icon icon, int x, int y) {
    switch (icon) {
        case Icon::kFolder:
            FolderIcon(img, x, y);
            break;
        case Icon::kPrograms:
            FolderIcon(img, x, y);
            FillRect(img, x + 3, y + 4, 5, 4, kWhite);
            Frame(img, x + 3, y + 4, 5, 4, kBlack);
            HLine(img, x + 4, x + 6, y + 5, kNavy);
            break;
        case Icon::kDocuments:
            FolderIcon(img, x, y);
            FillRect(img, x + 3, y, 4, 6, kWhite);
            Frame(img, x + 3, y, 4, 6, kGray);
            break;
        case Icon::kSettings:
            FillRect(img, x, y + 1, 8, 6, kGray);
            Frame(img, x, y + 1, 8, 6, kBlack);
            img.Set(x + 2, y + 3, kRed);
            img.Set(x + 5, y + 3, kLime);
            img.Set(x + 2, y + 5, kYellow);
            img.Set(x + 5, y + 5, kBlue);
            break;
        case Icon::kFind:
            EllipseOutline(img, x + 3, y + 3, 3, 3, kBlack);
            FillEllipse(img, x + 3, y + 3, 2, 2, kAqua);
            Line(img, x + 5, y + 5, x + 7, y + 7, kBlack);
            break;
        case Icon::kHelp:
            FillRect(img, x + 1, y, 6, 8, kNavy);
            VLine(img, x + 1, y, y + 7, kBlue);
            HLine(img, x + 3, x + 5, y + 2, kYellow);
            break;
        case Icon::kRun:
            FillRect(img, x, y + 1, 8, 6, kWhite);
            Frame(img, x, y + 1, 8, 6, kBlack);
            HLine(img, x + 1, x + 6, y + 2, kNavy);
            break;
        case Icon::kShutDown:
            FillRect(img, x, y, 8, 6, kNavy);
            Frame(img, x, y, 8, 6, kBlack);
            FillEllipse(img, x + 4.5, y + 2.5, 1.5, 1.5, kYellow);
            HLine(img, x + 2, x + 5, y + 7, kGray);
            break;
    }
}

// The small black (or white) triangle that marks a sub-menu.
void Arrow(Image& img, int x, int y, uint8_t c) {
    for (int i = 0; i < 3; ++i) VLine(img, x + i, y + i, y + 4 - i, c);
}

// The mouse pointer, its tip at x, y.
void Pointer(Image& img, int x, int y) {
    static const char* const kShape[] = {
        "B", "BB", "BWB", "BWWB", "BWWWB", "BWWWWB", "BWWWWWB", "BWWWWWWB", "BWWWWWWWB",
        "BWWWWWBBBB", "BWWBWWB", "BWB BWWB", "BB  BWWB", "B    BWWB", "     BWWB", "      BB",
    };
    for (int j = 0; j < 16; ++j)
        for (int i = 0; kShape[j][i]; ++i) {
            if (kShape[j][i] == 'B') img.Set(x + i, y + j, kBlack);
            if (kShape[j][i] == 'W') img.Set(x + i, y + j, kWhite);
        }
}

struct Item {
    Icon icon;
    const char* text;
    bool submenu;
};

// Text starts this far into a row, after the icon.
constexpr int kTextIndent = 11;

// One menu row: icon, text and arrow; highlighted rows on navy.
void MenuRow(Image& img, int x, int y, int w, const Item& item, bool highlighted) {
    uint8_t ink = kBlack;
    if (highlighted) {
        FillRect(img, x, y, w, kItemHeight, kNavy);
        ink = kWhite;
    }
    DrawIcon(img, item.icon, x + 1, y + 2);
    PutText(img, kMenuText, x + kTextIndent, y + 9, item.text, ink);
    if (item.submenu) Arrow(img, x + w - 6, y + 3, ink);
}

void Taskbar(Image& img) {
    FillRect(img, 0, kTaskbarTop, kWidth, kHeight - kTaskbarTop, kSilver);
    HLine(img, 0, kWidth - 1, kTaskbarTop + 1, kWhite);
    // The Start button, pushed in.
    int bx = 2, by = kTaskbarTop + 4, bw = 40, bh = 14;
    Bevel(img, bx, by, bw, bh, kBlack, kWhite);
    Bevel(img, bx + 1, by + 1, bw - 2, bh - 2, kGray, kSilver);
    // Its emblem: a green gem.
    FillPolygon(img, {{bx + 4.0, by + 7.5}, {bx + 8.0, by + 3.0}, {bx + 12.0, by + 7.5}, {bx + 8.0, by + 12.0}}, kGreen);
    FillPolygon(img, {{bx + 5.0, by + 7.5}, {bx + 8.0, by + 4.0}, {bx + 8.0, by + 7.5}}, kLime);
    PutText(img, kBoldText, bx + 14, by + 11, "Start", kBlack);
    // Clock: four past two, the release time of this version.
    int cx = 90, cw = 28;
    SunkenEdge(img, cx, by, cw, bh);
    const char* clock = "4:02";
    PutText(img, kMenuText, cx + (cw - TextWidth(kMenuText, clock)) / 2, by + 10, clock, kBlack);
}

// The vertical band on the left of the Start menu, navy fading to blue, with
// the name written upwards.
void Band(Image& img, int x, int y, int w, int h) {
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            bool blue = j > h * 2 / 3 || (j > h / 3 && (i + j) % 2 == 0);
            img.Set(x + i, y + j, blue ? kBlue : kNavy);
        }
    const char* name = "Portavo";
    TextStyle style = {Face::kSansBold, 9, Render::kMono, 0.0};
    int length = TextWidth(style, name);
    Mask mask(length + 2, w);
    DrawText(mask, style, 1, w - 2, name);
    // Turn the text a quarter to the left, ending near the bottom of the band.
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx)
            if (mask.At(mx, my) >= 128) img.Set(x + my, y + h - 4 - mx, kWhite);
}

// Width of a menu row holding the widest of the texts and, when any has
// one, the sub-menu arrow.
int RowWidth(const Item* items, int count) {
    int widest = 0;
    for (int i = 0; i < count; ++i) {
        int w = kTextIndent + TextWidth(kMenuText, items[i].text) + 2;
        if (items[i].submenu) w += 9;
        if (w > widest) widest = w;
    }
    return widest;
}

}  // namespace

Image DrawStartMenu() {
    Image img(kWidth, kHeight, kTeal);
    Taskbar(img);

    const Item main[] = {
        {Icon::kPrograms, "Programs", true}, {Icon::kDocuments, "Documents", true},
        {Icon::kSettings, "Settings", true}, {Icon::kFind, "Find", true},
        {Icon::kHelp, "Help", false},        {Icon::kRun, "Run...", false},
        {Icon::kShutDown, "Shut Down...", false},
    };
    const int count = 7;
    const int band = 9;
    int rowW = RowWidth(main, count);
    int mw = 3 + band + 1 + rowW + 3, mh = 3 + count * kItemHeight + 5 + 3;
    int mx = 1, my = kTaskbarTop - mh;
    FillRect(img, mx, my, mw, mh, kSilver);
    RaisedEdge(img, mx, my, mw, mh);
    Band(img, mx + 3, my + 3, band, mh - 6);
    int rowX = mx + 3 + band + 1;
    int y = my + 3;
    for (int i = 0; i < count; ++i) {
        if (i == count - 1) {
            HLine(img, rowX, rowX + rowW - 1, y + 2, kGray);
            HLine(img, rowX, rowX + rowW - 1, y + 3, kWhite);
            y += 5;
        }
        MenuRow(img, rowX, y, rowW, main[i], i == 0);
        y += kItemHeight;
    }

    // The Programs sub-menu. Its last row, the product's group, lines up with
    // Programs; it starts right after the word Programs and leaves a strip of
    // desktop along the right edge, so that the desktop stays one area.
    const Item groups[] = {
        {Icon::kFolder, "Accessories", true},
        {Icon::kFolder, "Games", true},
        {Icon::kFolder, "StartUp", true},
        {Icon::kFolder, "Trovado Pro", true},
    };
    const int groupCount = 4;
    int sx = rowX + kTextIndent + TextWidth(kMenuText, "Programs") + 1;
    int sw = kWidth - 3 - sx;
    int sh = 3 + groupCount * kItemHeight + 3;
    int sy = my + 3 + kItemHeight + 3 - sh;
    FillRect(img, sx, sy, sw, sh, kSilver);
    RaisedEdge(img, sx, sy, sw, sh);
    for (int i = 0; i < groupCount; ++i)
        MenuRow(img, sx + 3, sy + 3 + i * kItemHeight, sw - 6, groups[i], i == groupCount - 1);
    Pointer(img, sx + sw - 17, sy + sh - 5);
    return img;
}

}  // namespace art
