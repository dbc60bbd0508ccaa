// The installing page, dialog 1004: fills the Windows and Programs folder
// slots when it opens, runs the install step once from its timer, shows the
// step's counters and draws the progress meter in two colours. It has no
// buttons and cannot be cancelled; it closes itself.
#include "pages/installing.h"

#include "core/config.h"
#include "core/pump.h"
#include "core/text.h"
#include "extract/install.h"
#include "pages/page.h"
#include "pages/pages.h"
#include "pages/programs_folder.h"
#include "resources/ids.h"

namespace {

const COLORREF kValueColor = 0x800000;       // navy: counters and promotional text
const COLORREF kMeterTextColor = 0x400000;   // dark navy on the face: the part still to go
const COLORREF kMeterFillColor = 0x800000;   // navy: the part done
const COLORREF kMeterFillTextColor = 0xFFFFFF;

// Classic templates carry 16-bit ids, so the labels' -1 comes back as this.
const int kUnnamedControlId = 0xFFFF;

// The page runs once per run, so the meter's state lives as long as the program.
HWND g_meter;
WNDPROC g_previousMeterProc;
uint32_t g_bytesDone;
uint16_t g_halfPercent;  // the last painted progress, 0 to 200

void PaintMeter(HWND meter) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(meter, &ps);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT r;
    GetClientRect(meter, &r);
    int split = r.left;
    if (g_halfPercent != 0) split = r.left + (r.right - r.left) * g_halfPercent / 200;
    const RECT filled = {r.left, r.top, split, r.bottom};
    const RECT unfilled = {split, r.top, r.right, r.bottom};
    char text[8];
    const int length = wsprintfA(text, "%d%%", g_halfPercent / 2);
    SIZE extent;
    GetTextExtentPoint32A(dc, text, length, &extent);
    const int x = r.left + (r.right - r.left - extent.cx) / 2;
    const int y = r.top + (r.bottom - r.top - extent.cy) / 2;
    // Both calls draw the same centred text, each clipped to its own part, so
    // that the edge of the bar splits the digits between the two colourings.
    SetTextColor(dc, kMeterTextColor);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &unfilled, text, length, nullptr);
    SetTextColor(dc, kMeterFillTextColor);
    SetBkColor(dc, kMeterFillColor);
    ExtTextOutA(dc, x, y, ETO_OPAQUE | ETO_CLIPPED, &filled, text, length, nullptr);
    SelectObject(dc, previousFont);
    EndPaint(meter, &ps);
}

// The two text calls cover the whole client area, so there is nothing to erase;
// the sunken border stays the static control's own.
LRESULT CALLBACK MeterWndProc(HWND meter, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintMeter(meter);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        return CallWindowProcA(g_previousMeterProc, meter, message, wParam, lParam);
    }
}

void InitInstallingPage(HWND page) {
    CenterPage(page, 1);
    FormatCaption(page, 1);
    g_meter = GetDlgItem(page, IDC_PROGRESS_METER);
    g_previousMeterProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(g_meter, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MeterWndProc)));
    FindWindowsFolder();
    FindProgramsFolder(page);
    SetTimer(page, IDT_INSTALL_FILES, 250, nullptr);
}

INT_PTR OnInstallTimer(HWND page, UINT_PTR id) {
    if (id != IDT_INSTALL_FILES) return 0;
    KillTimer(page, id);  // the step runs once
    if (InstallFiles(InstallingPageSink(page)) == -1) {
        ShowAbortNotice(page);
        EndDialog(page, 2);
    } else {
        PumpMessagesFor(page, 1000);  // one more second showing 100%
        EndDialog(page, 1);
    }
    return 0;
}

void ReleaseInstallingPage() {
    if (!g_meter) return;
    SetWindowLongPtrA(g_meter, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previousMeterProc));
    g_meter = nullptr;
}

// Navy values on the dialog face, navy promotional text on the window colour;
// the labels and the picture keep the dialog's own colours.
HBRUSH ColorInstallingStatic(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control) & 0xFFFF;
    if (id == kUnnamedControlId) return nullptr;  // labels and picture: the dialog's colours
    const int face = id == IDC_PROMOTION ? COLOR_WINDOW : COLOR_BTNFACE;
    SetTextColor(dc, kValueColor);
    SetBkColor(dc, GetSysColor(face));
    return GetSysColorBrush(face);
}

// done's share of total in half-percents, rounded down (done <= total, total
// not 0). Found bit by bit from 64-bit products: a 64-bit division would
// bring in the compiler's runtime helpers and their unwind tables.
uint16_t HalfPercents(uint32_t done, uint32_t total) {
    const uint64_t scaled = uint64_t(done) * 200;
    uint16_t share = 0;
    for (uint16_t bit = 128; bit != 0; bit >>= 1)
        if (uint64_t(share | bit) * total <= scaled) share |= bit;
    return share;
}

}  // namespace

void AdvanceProgress(HWND page, uint32_t bytes) {
    const uint64_t sum = uint64_t(g_bytesDone) + bytes;
    g_bytesDone = sum > g_grandTotal ? g_grandTotal : static_cast<uint32_t>(sum);
    if (g_bytesDone == 0) return;  // also a grand total of 0: nothing to show
    const uint16_t p = HalfPercents(g_bytesDone, g_grandTotal);
    if (p != g_halfPercent) {
        g_halfPercent = p;
        if (g_meter) {
            InvalidateRect(g_meter, nullptr, FALSE);
            UpdateWindow(g_meter);
        }
        PumpMessagesFor(page, 10);
    }
    SetNumberText(page, IDC_CURRENT_SIZE, g_bytesDone);
}

void ResetProgressMeter() {
    g_bytesDone = 0;
    g_halfPercent = 0;
}

INT_PTR CALLBACK InstallingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitInstallingPage(page);
        return 1;
    case WM_TIMER:
        return OnInstallTimer(page, wParam);
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            ColorInstallingStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DESTROY:
        ReleaseInstallingPage();
        return 1;
    default:
        return 0;
    }
}
