// Icons 100 and 101, each drawn separately for 32 x 32 and 16 x 16.
#include "tools/art/palette.h"
#include "tools/art/pictures.h"

namespace art {
namespace {

// Monitor with a blue screen: body at x, y of size w x h, stand below.
void SmallMonitor(Image& img, int x, int y, int w, int h, int border) {
    FillRect(img, x, y, w, h, kSilver);
    Frame(img, x, y, w, h, kBlack);
    HLine(img, x + 1, x + w - 2, y + 1, kWhite);
    VLine(img, x + 1, y + 1, y + h - 2, kWhite);
    FillRect(img, x + border, y + border, w - 2 * border, h - 2 * border - 1, kBlue);
    Frame(img, x + border - 1, y + border - 1, w - 2 * border + 2, h - 2 * border + 1, kGray);
    int mid = x + w / 2;
    int neck = w / 6;
    FillRect(img, mid - neck, y + h, 2 * neck, 1, kGray);
    int footLeft = mid - neck - 2, footRight = mid + neck + 1;
    HLine(img, footLeft, footRight, y + h + 1, kSilver);
    img.Set(footLeft, y + h + 1, kBlack);
    img.Set(footRight, y + h + 1, kBlack);
    HLine(img, footLeft, footRight, y + h + 2, kBlack);
}

void Floppy32(Image& img, int x, int y) {
    FillRect(img, x, y, 15, 15, kNavy);
    Frame(img, x, y, 15, 15, kBlack);
    img.Set(x + 14, y, kTransparent);
    img.Set(x + 13, y, kBlack);
    img.Set(x + 14, y + 1, kBlack);
    FillRect(img, x + 4, y + 1, 7, 5, kSilver);
    FillRect(img, x + 8, y + 2, 2, 3, kGray);
    FillRect(img, x + 2, y + 8, 11, 6, kWhite);
    HLine(img, x + 3, x + 10, y + 10, kBlue);
    HLine(img, x + 3, x + 11, y + 12, kSilver);
}

void Floppy16(Image& img, int x, int y) {
    FillRect(img, x, y, 9, 9, kNavy);
    Frame(img, x, y, 9, 9, kBlack);
    FillRect(img, x + 3, y + 1, 3, 3, kSilver);
    FillRect(img, x + 2, y + 5, 5, 3, kWhite);
}

// Yellow program-group folder filling the rectangle, its tab on the left.
void GroupFolder(Image& img, int x, int y, int w, int h, int tab) {
    FillRect(img, x + 1, y, tab, 2, kYellow);
    HLine(img, x + 1, x + tab, y, kOlive);
    FillRect(img, x, y + 2, w, h - 2, kYellow);
    Frame(img, x, y + 2, w, h - 2, kOlive);
    HLine(img, x + 1, x + w - 2, y + 3, kWhite);
    VLine(img, x + 1, y + 3, y + h - 2, kWhite);
    HLine(img, x + 1, x + w - 1, y + h - 1, kBlack);
    VLine(img, x + w - 1, y + 2, y + h - 1, kBlack);
}

// Paints a shape given as rows of 'B' (black) and 'W' (white).
void Stamp(Image& img, int x, int y, const char* const* rows, int count) {
    for (int j = 0; j < count; ++j)
        for (int i = 0; rows[j][i]; ++i) img.Set(x + i, y + j, rows[j][i] == 'B' ? kBlack : kWhite);
}

// The shortcut mark: a white box with a black arrow bending up to the right.
void ShortcutArrow(Image& img, int x, int y, int size) {
    static const char* const kLarge[] = {
        "BBBBBBBBBBB", "BWWWWWWWWWB", "BWWWWBBBBWB", "BWWWWWBBBWB", "BWWWWBBBBWB", "BWWWBBBWBWB",
        "BWWBBBWWWWB", "BWWBBWWWWWB", "BWWBBWWWWWB", "BWWWWWWWWWB", "BBBBBBBBBBB",
    };
    static const char* const kSmall[] = {
        "BBBBBBB", "BWWBBBB", "BWWWBBB", "BWWBWBB", "BWBWWWB", "BWBWWWB", "BBBBBBB",
    };
    if (size >= 11) Stamp(img, x, y, kLarge, 11);
    else Stamp(img, x, y, kSmall, 7);
}

}  // namespace

Image DrawProgramIcon(int size) {
    Image img(size, size, kTransparent);
    if (size >= 32) {
        SmallMonitor(img, 1, 2, 25, 19, 3);
        // Screen content: a window with a progress bar.
        FillRect(img, 7, 8, 12, 7, kSilver);
        HLine(img, 7, 18, 8, kNavy);
        FillRect(img, 8, 11, 6, 2, kNavy);
        Floppy32(img, 16, 15);
    } else {
        SmallMonitor(img, 0, 1, 13, 10, 2);
        FillRect(img, 3, 4, 5, 3, kSilver);
        HLine(img, 3, 7, 4, kNavy);
        Floppy16(img, 7, 7);
    }
    return img;
}

Image DrawShortcutIcon(int size) {
    Image img(size, size, kTransparent);
    if (size >= 32) {
        GroupFolder(img, 3, 5, 27, 21, 10);
        // A program window inside the group.
        FillRect(img, 11, 10, 14, 11, kWhite);
        Frame(img, 11, 10, 14, 11, kBlack);
        FillRect(img, 12, 11, 12, 2, kNavy);
        HLine(img, 13, 21, 15, kGray);
        HLine(img, 13, 19, 17, kGray);
        ShortcutArrow(img, 0, 20, 11);
    } else {
        GroupFolder(img, 2, 2, 14, 11, 5);
        FillRect(img, 6, 5, 7, 5, kWhite);
        Frame(img, 6, 5, 7, 5, kBlack);
        HLine(img, 7, 11, 6, kNavy);
        ShortcutArrow(img, 0, 9, 7);
    }
    return img;
}

}  // namespace art
