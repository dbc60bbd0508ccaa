// Entry point of setup.exe. The command line is not read; the exit code is 1
// in every case.
#include <windows.h>

#include "core/dll_search.h"
#include "core/single_run.h"
#include "core/wizard.h"
#include "extract/self_check.h"
#include "pages/pages.h"
#include "resources/ids.h"
#include "core/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    if (!UseSystemDllsOnly()) return RefuseWithoutCommonControls();
    // A damaged copy stops here, before anything is shown or written.
    if (!VerifyPayload()) return 1;
    if (!ClaimSingleRun()) return 1;
    InitApplication(instance);
    if (DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_WELCOME), nullptr, WelcomePageProc, 0) != 1)
        return 1;
    if (!CreateBackdropWindow(showCommand)) return 1;
    MSG msg;
    // GetMessageA answers 0 for WM_QUIT and -1 on failure.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 1;
}
