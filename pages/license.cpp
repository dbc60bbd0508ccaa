// The license page, dialog 1002: the license text in a sizable page whose
// text field follows the page's size and whose buttons keep to its
// bottom-right corner. "I Agree" goes on; "I Disagree" ends the run quietly.
#include <cstring>

#include "core/resource.h"
#include "pages/page.h"
#include "pages/pages.h"
#include "resources/ids.h"

namespace {

int g_lastClientWidth;
int g_lastClientHeight;

// The control's rectangle in the page's client coordinates.
RECT ClientRectOf(HWND page, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The LICENSE resource has no terminating NUL, so the edit gets a copy of
// exactly its bytes with one added.
void ShowLicenseText(HWND page) {
    DWORD size;
    const uint8_t* bytes = LoadRcdata("LICENSE", &size);
    if (!bytes) return;
    char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1));
    if (!text) return;
    memcpy(text, bytes, size);
    text[size] = '\0';
    SendDlgItemMessageA(page, IDC_LICENSE_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    HeapFree(GetProcessHeap(), 0, text);
}

void InitLicensePage(HWND page) {
    CenterPage(page, 1);
    FormatCaption(page, 1);
    RECT client;
    GetClientRect(page, &client);
    g_lastClientWidth = client.right;
    g_lastClientHeight = client.bottom;
    ShowLicenseText(page);
}

void OnLicenseSize(HWND page, int width, int height) {
    const int dx = width - g_lastClientWidth;
    const int dy = height - g_lastClientHeight;
    // Before WM_INITDIALOG the controls do not exist yet; only the size is kept.
    if (HWND text = GetDlgItem(page, IDC_LICENSE_TEXT)) {
        const RECT r = ClientRectOf(page, text);
        SetWindowPos(text, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const int buttons[] = {IDOK, IDCANCEL};
    for (int id : buttons) {
        HWND button = GetDlgItem(page, id);
        if (!button) continue;
        const RECT r = ClientRectOf(page, button);
        SetWindowPos(button, nullptr, r.left + dx, r.top + dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    g_lastClientWidth = width;
    g_lastClientHeight = height;
}

INT_PTR OnLicenseCommand(HWND page, int id, int notification) {
    if (id != IDOK && id != IDCANCEL) return 1;
    if (notification == 0) EndDialog(page, id);
    return 0;
}

}  // namespace

INT_PTR CALLBACK LicensePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        OnLicenseSize(page, LOWORD(lParam), HIWORD(lParam));
        return 1;
    case WM_INITDIALOG:
        InitLicensePage(page);
        return 1;
    case WM_COMMAND:
        return OnLicenseCommand(page, LOWORD(wParam), HIWORD(wParam));
    default:
        return 0;
    }
}
