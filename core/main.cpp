// Entry points of setup.exe. Without switches (or with none it knows) it runs
// the wizard, whose exit code is 1 in every case; /SILENT and /VERYSILENT
// run without it and exit with a code that says how the run ended; /LOG
// writes a log of either.
//
// The process starts in WinMainCRTStartup, not in a C runtime's start-up: the
// program has no static constructors or destructors, no thread-local data, no
// exceptions and no main, and imports no data from a DLL, so nothing has to
// run before WinMain or after it.
#include <windows.h>

#include "core/command_line.h"
#include "core/config.h"
#include "core/dll_search.h"
#include "core/log.h"
#include "core/single_run.h"
#include "core/system_code_page.h"
#include "core/text.h"
#include "core/unattended.h"
#include "core/wizard.h"
#include "extract/self_check.h"
#include "extract/transaction.h"
#include "pages/pages.h"
#include "resources/ids.h"
#include "core/app.h"

namespace {

int RunWizard(HINSTANCE instance, int showCommand) {
    if (!UseSystemDllsOnly()) return RefuseWithoutCommonControls();
    // A damaged copy stops here, before anything is shown or written.
    if (!VerifyPayload()) return 1;
    if (!ClaimSingleRun()) return 1;
    RecoverKilledRun();
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
    // A run that ended before its registry entries leaves the machine as it
    // found it.
    RollBackTransaction();
    return 1;
}

void StartLog(const SetupSwitches& switches) {
    char title[kProductNameSize + kVersionSize + 16];
    FormatText(title, sizeof title, "%s %s Setup log", g_product.productName, g_product.version);
    char stem[kProductNameSize + 8];
    FormatText(stem, sizeof stem, "%s Setup", g_product.productName);
    if (OpenLog(switches.logFile, stem)) LogHeader(title, GetCommandLineA());
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int showCommand) {
    // Every path is walked by the code page's characters, so its rules come
    // first, before any path is joined.
    ReadSystemCodePage();
    SetupSwitches switches;
    ReadSetupSwitches(commandTail, &switches);
    if (switches.help) return ShowSwitchHelp();
    if (switches.log) StartLog(switches);
    if (switches.mode != kRunWizard) return CloseLog(RunUnattended(instance, switches));
    return CloseLog(RunWizard(instance, showCommand));
}

// The image's entry point (the linker's --entry). Windows calls it with no
// arguments that the program needs and guarantees the 32-bit stack only a
// 4-byte alignment, so the stack is aligned to the 16 bytes that the compiler
// assumes everywhere else. It never returns: ExitProcess ends the process,
// where returning into Windows would end only this thread and leave any
// thread that the shell or COM started running.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    const int showCommand =
        startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(CommandTail(GetCommandLineA())),
                        showCommand));
}
