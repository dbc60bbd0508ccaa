#include "backdrop/backdrop.h"

#include <shellapi.h>

#include "backdrop/dib.h"
#include "core/app.h"
#include "core/text.h"
#include "core/wizard.h"
#include "resources/ids.h"

ItemColors g_itemColors;
HIMAGELIST g_systemImageList;
char g_titleText[kTitleTextSize];
char g_taglineText[kTaglineTextSize];

namespace {

LOGFONTA g_titleFont;
LOGFONTA g_taglineFont;
LOGFONTA g_stepFont;

const COLORREF kTitleLayers[] = {0x2D1C16, 0x3C251E, 0x503228, 0xFFA080};
const COLORREF kTaglineLayers[] = {0x800000, 0xA00000, 0xFF0000};
const COLORREF kActiveStep = 0xFFD8CF;
const COLORREF kInactiveStep = 0xFF886F;
const COLORREF kPanelColor = 0x601800;
const COLORREF kRuleColor = 0xFFF8F8;
const COLORREF kHeadingColor = 0xFFAFAF;
const COLORREF kArtworkKey = 0x808000;  // teal, replaced by the panel colour

const int kPanelWidth = 150;
const int kHeaderHeight = 58;
const int kBannerWidth = 334;

struct StepLabel {
    int bit;
    const char* text;
    int top;
};
const StepLabel kStepLabels[] = {
    {kStepLicense, "- License Agreement", 120},  {kStepLocation, "- Program Location", 138},
    {kStepInstalling, "- Installing Files", 156}, {kStepGroup, "- Program Group", 174},
    {kStepShortcuts, "- Creating Shortcuts", 192}, {kStepReadMe, "- View Read Me", 210},
    {kStepFinished, "- Finished", 228},
};

void SetUpFonts() {
    const int titleLength = lstrlenA(g_titleText);
    const int taglineLength = lstrlenA(g_taglineText);
    LOGFONTA f = {};
    f.lfHeight = 64;
    f.lfWidth = titleLength ? (g_screenWidth / 3) / titleLength : 0;
    f.lfWeight = FW_BOLD;
    f.lfCharSet = ANSI_CHARSET;
    f.lfOutPrecision = OUT_CHARACTER_PRECIS;
    f.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    f.lfQuality = PROOF_QUALITY;
    f.lfPitchAndFamily = VARIABLE_PITCH | FF_SCRIPT;
    lstrcpynA(f.lfFaceName, "Comic Sans MS", LF_FACESIZE);
    g_titleFont = f;

    g_taglineFont = f;
    g_taglineFont.lfHeight = g_screenHeight / 18;
    const int taglineSpan = static_cast<int>(1.5 * taglineLength);
    g_taglineFont.lfWidth = taglineSpan ? g_screenWidth / taglineSpan : 0;
    g_taglineFont.lfWeight = FW_NORMAL;
    lstrcpynA(g_taglineFont.lfFaceName, "Arial", LF_FACESIZE);

    g_stepFont = f;
    g_stepFont.lfHeight = -11;
    g_stepFont.lfWidth = 0;
    g_stepFont.lfWeight = FW_BOLD;
    g_stepFont.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lstrcpynA(g_stepFont.lfFaceName, "Ms Sans Serif", LF_FACESIZE);
}

void PaintHeader(HDC dc) {
    if (!g_bannerBitmap) return;
    const int W = g_screenWidth;
    StretchDib(dc, 0, 0, W - kBannerWidth, kHeaderHeight, g_bannerFillBitmap, g_backdropPalette);
    DrawDib(dc, W - kBannerWidth, 0, g_bannerBitmap, g_backdropPalette);
}

void PaintPanelAndRules(HDC dc) {
    const int W = g_screenWidth, H = g_screenHeight;
    if (g_separatorBitmap)
        StretchDib(dc, kPanelWidth, kHeaderHeight, W - kPanelWidth, 2, g_separatorBitmap,
                   g_backdropPalette);

    HBRUSH panel = CreateSolidBrush(kPanelColor);
    const RECT panelRect = {0, kHeaderHeight, kPanelWidth, H};
    FillRect(dc, &panelRect, panel);
    DeleteObject(panel);

    const RECT white = {kPanelWidth, kHeaderHeight + 2, W, H};
    FillRect(dc, &white, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    HPEN pen = CreatePen(PS_INSIDEFRAME, 2, kRuleColor);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    for (int y = 63; y < H; y += 4) {
        MoveToEx(dc, kPanelWidth + 1, y, nullptr);
        LineTo(dc, W, y);
    }
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

// The Start-menu artwork, loaded anew and set on the panel colour by a flood
// fill of its teal background.
void PaintArtwork(HDC dc) {
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP artwork = LoadBitmapA(g_instance, MAKEINTRESOURCEA(IDB_START_MENU));
    HBRUSH panel = CreateSolidBrush(kPanelColor);
    HGDIOBJ previousBitmap = SelectObject(memory, artwork);
    HGDIOBJ previousBrush = SelectObject(memory, panel);
    ExtFloodFill(memory, 1, 1, kArtworkKey, FLOODFILLSURFACE);
    BitBlt(dc, 16, g_screenHeight - 180, 120, 168, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previousBitmap);
    SelectObject(memory, previousBrush);
    DeleteObject(artwork);
    DeleteObject(panel);
    DeleteDC(memory);
}

// Title, tagline, step labels and heading. Each font is deleted as soon as
// the next one replaces it; the paint ends with the stock system font.
void PaintTexts(HDC dc) {
    HFONT title = CreateFontIndirectA(&g_titleFont);
    SelectObject(dc, title);
    const int titleLength = lstrlenA(g_titleText);
    for (int i = 0; i < 4; ++i) {
        SetTextColor(dc, kTitleLayers[i]);
        TextOutA(dc, 11 - i, -3 - i, g_titleText, titleLength);
    }

    HFONT tagline = CreateFontIndirectA(&g_taglineFont);
    SelectObject(dc, tagline);
    DeleteObject(title);
    const int taglineLength = lstrlenA(g_taglineText);
    SIZE extent = {};
    GetTextExtentPointA(dc, g_taglineText, taglineLength, &extent);
    const int x0 = g_screenWidth - extent.cx - 32;
    const int y0 = g_screenHeight - extent.cy - 16;
    for (int i = 0; i < 3; ++i) {
        SetTextColor(dc, kTaglineLayers[i]);
        TextOutA(dc, x0 + i, y0 + i, g_taglineText, taglineLength);
    }

    HFONT step = CreateFontIndirectA(&g_stepFont);
    SelectObject(dc, step);
    DeleteObject(tagline);
    for (const StepLabel& label : kStepLabels) {
        SetTextColor(dc, (g_stepMask & label.bit) ? kActiveStep : kInactiveStep);
        TextOutA(dc, 10, label.top, label.text, lstrlenA(label.text));
    }

    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(step);
    SetTextColor(dc, kHeadingColor);
    TextOutA(dc, 10, 100, "Portavo:", 8);
}

}  // namespace

int SetUpBackdrop(HWND) {
    // Bounded; the build refuses a product whose texts would be cut here.
    FormatText(g_titleText, sizeof g_titleText, "%s v%s", g_product.productName, g_product.version);
    FormatText(g_taglineText, sizeof g_taglineText, "%s - %s", g_product.productName,
               g_product.tagline);
    SHFILEINFOA info;
    g_systemImageList = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA(".", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    SetUpFonts();
    g_itemColors.selectedText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    g_itemColors.selectedBack = GetSysColor(COLOR_HIGHLIGHT);
    g_itemColors.text = GetSysColor(COLOR_WINDOWTEXT);
    g_itemColors.back = GetSysColor(COLOR_WINDOW);
    g_bannerBitmap = LoadDibResource(IDB_BANNER);
    g_bannerFillBitmap = LoadDibResource(IDB_BANNER_FILL);
    g_separatorBitmap = LoadDibResource(IDB_SEPARATOR);
    return 1;
}

int PaintBackdrop(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    SetBkMode(dc, TRANSPARENT);
    PaintHeader(dc);
    PaintPanelAndRules(dc);
    PaintArtwork(dc);
    PaintTexts(dc);
    EndPaint(window, &ps);
    return 1;
}

int ReleaseBackdrop(HWND) {
    FreeBackdropBitmaps();
    PostQuitMessage(0);
    return 0;
}
