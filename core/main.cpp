// Entry points of setup.exe. The command line is not read; the exit code is 1
// in every case.
//
// The process starts in WinMainCRTStartup, not in a C runtime's start-up: the
// program has no static constructors or destructors, no thread-local data, no
// exceptions and no main, and imports no data from a DLL, so nothing has to
// run before WinMain or after it.
#include <windows.h>

#include "core/dll_search.h"
#include "core/single_run.h"
#include "core/system_code_page.h"
#include "core/wizard.h"
#include "extract/self_check.h"
#include "extract/transaction.h"
#include "pages/pages.h"
#include "resources/ids.h"
#include "core/app.h"

namespace {

// The arguments after the program's own name: as Windows writes the command
// line, the name is quoted when it holds a space and is followed by blanks.
char* CommandTail(char* line) {
    if (*line == '"') {
        ++line;
        while (*line && *line != '"') ++line;
        if (*line) ++line;
    } else {
        while (static_cast<unsigned char>(*line) > ' ') ++line;
    }
    while (*line == ' ' || *line == '\t') ++line;
    return line;
}

// What a killed run left half done is put back (or, when it was committing,
// finished) before this run shows or changes anything.
void RecoverKilledRun() {
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length != 0 && length < sizeof windows) RecoverTransaction(windows);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    // Every path is walked by the code page's characters, so its rules come
    // first, before any path is joined.
    ReadSystemCodePage();
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
    ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(GetCommandLineA()), showCommand));
}
