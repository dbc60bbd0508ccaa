#include "pages/page.h"

#include "core/app.h"
#include "core/config.h"
#include "core/text.h"
#include "resources/ids.h"

namespace {

const char kAbortText[] =
    "Installation Aborted!\r\n\r\nIf you need assistance you can email\r\nsupport at - "
    PORTAVO_SUPPORT_EMAIL "!";

// The description text's colours: navy on the button face.
const COLORREF kDescriptionColor = 0x800000;

enum { kTemplateTextSize = 200, kFormattedTextSize = 220 };

}  // namespace

void CenterPage(HWND page, int besidePanel) {
    RECT r;
    GetWindowRect(page, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int x = besidePanel ? (g_screenWidth - w + 150) / 2 : (g_screenWidth - w) / 2;
    const int y = (g_screenHeight - h) / 2;
    MoveWindow(page, x, y, w, h, FALSE);
}

void FormatCaption(HWND page, int whole) {
    HWND target = whole ? page : GetDlgItem(page, IDC_DESCRIPTION);
    char format[kTemplateTextSize];
    char text[kFormattedTextSize];
    GetWindowTextA(target, format, sizeof format);
    FormatText(text, sizeof text, format, g_product.productName);
    SetWindowTextA(target, text);
    if (whole) SetSmallIcon(page, IDI_PROGRAM);
}

void SetSmallIcon(HWND page, int iconId) {
    HANDLE icon = LoadImageA(g_instance, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    SendMessageA(page, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

int ShowAbortNotice(HWND owner) {
    MessageBoxA(owner, kAbortText, kMessageCaption, MB_ICONWARNING);
    return 0;
}

HBRUSH ColorDescriptionStatic(HDC dc, HWND control) {
    if (GetDlgCtrlID(control) != IDC_DESCRIPTION) return nullptr;
    SetTextColor(dc, kDescriptionColor);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}
