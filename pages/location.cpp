// Placeholder until the page is built: it ends at once the way a cancelled
// page does, so the chain ends the run here.
#include "pages/pages.h"

INT_PTR CALLBACK LocationPageProc(HWND page, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG) return 0;
    EndDialog(page, 2);
    return 1;
}
