// The welcome page, dialog 1001: shown before the backdrop exists, with no
// owner. Continue (or Enter) ends it with 1, Cancel (or Escape) with 2.
#include "pages/page.h"
#include "pages/pages.h"

namespace {

void InitWelcomePage(HWND page) {
    CenterPage(page, 0);
    FormatCaption(page, 0);
}

}  // namespace

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitWelcomePage(page);
        return 1;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0) return 1;
        EndDialog(page, LOWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            ColorDescriptionStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return 0;
    }
}
