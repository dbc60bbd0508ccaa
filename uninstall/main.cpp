// Entry point of the uninstaller, file entry 0 of the product's setup.exe,
// installed in the Windows folder and named by the uninstall entry's
// command. Started with no arguments it asks before it removes anything;
// /VERYSILENT (or /S, any case, '/' or '-') removes without a box and exits
// with 0, 3010 when a restart completes the removal, or 1603 on failure.
//
// Like setup.exe it starts in its own entry point, without the C runtime.
#include <windows.h>

#include "core/config.h"
#include "core/dll_search.h"
#include "core/text.h"
#include "uninstall/removal.h"
#include "uninstall/self_removal.h"

namespace {

const char kQuestionText[] = "Remove %s and all of its components?";
const char kNotInstalledText[] = "%s is not installed.";
const char kRemovedText[] = "%s has been removed from your computer.";
const char kKeptText[] = "\r\n\r\nThese folders were kept because they still hold your own files or data files:";
const char kRestartText[] = "\r\n\r\nSome files are in use. They will be removed when Windows restarts.";
const char kFailedText[] = "%s could not be removed completely. Windows did not let this file go:\r\n%s";
const char kRemovingText[] = "Removing %s...";

enum { kExitDone = 0, kExitCancelled = 1602, kExitFailed = 1603, kExitRestart = 3010 };

HWND g_progress;
DWORD g_start;

// The arguments after the program's own name.
const char* CommandTail(const char* line) {
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

// The tail starts with option, given with '/' or '-', in any case, and ends
// there or at a blank; returns what follows it, or nullptr.
const char* AfterOption(const char* tail, const char* option) {
    if (*tail != '/' && *tail != '-') return nullptr;
    const char* p = tail + 1;
    for (const char* o = option + 1; *o; ++o, ++p)
        if (FoldAscii(*p) != *o) return nullptr;
    if (*p != '\0' && *p != ' ' && *p != '\t') return nullptr;
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

bool IsSilent(const char* tail) { return AfterOption(tail, "/VERYSILENT") || AfterOption(tail, "/S"); }

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The progress window, shown only when removal takes long enough to notice.
void ShowStep(const char* what) {
    if (!g_progress && GetTickCount() - g_start >= 400) {
        const int width = 360, height = 90;
        char caption[kProductNameSize + 16];
        FormatText(caption, sizeof caption, kRemovingText, g_product.productName);
        g_progress = CreateWindowExA(0, "STATIC", caption, WS_POPUP | WS_CAPTION | WS_VISIBLE | SS_CENTER,
                                     (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                     (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    if (g_progress) SetWindowTextA(g_progress, what);
    PumpPending();
}

void CloseProgress() {
    if (g_progress) DestroyWindow(g_progress);
    g_progress = nullptr;
}

void Append(char* text, size_t size, const char* more) {
    const int used = lstrlenA(text);
    lstrcpynA(text + used, more, static_cast<int>(size) - used);
}

void ShowClosingBox(const RemovalReport& report) {
    char text[1536];
    if (report.failed[0]) {
        FormatText(text, sizeof text, kFailedText, g_product.productName, report.failed);
        MessageBoxA(nullptr, text, g_product.productName, MB_OK | MB_ICONERROR);
        return;
    }
    FormatText(text, sizeof text, kRemovedText, g_product.productName);
    if (report.keptCount) Append(text, sizeof text, kKeptText);
    for (int i = 0; i < report.keptCount; ++i) {
        Append(text, sizeof text, "\r\n");
        Append(text, sizeof text, report.kept[i]);
    }
    if (report.restartNeeded) Append(text, sizeof text, kRestartText);
    MessageBoxA(nullptr, text, g_product.productName, MB_OK | MB_ICONINFORMATION);
}

// This program's path in a MAX_PATH buffer, in its long form: started by its
// short (8.3) name it is still the installed file. "" when it does not fit.
void OwnPath(char* self) {
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) self[0] = '\0';
    char full[MAX_PATH];
    const DWORD fullLength = GetLongPathNameA(self, full, sizeof full);
    if (fullLength != 0 && fullLength < sizeof full) lstrcpynA(self, full, MAX_PATH);
}

int Uninstall(const char* tail) {
    if (const char* arguments = AfterOption(tail, kRemoveAfterOption)) return FinishSelfRemoval(arguments);
    const bool silent = IsSilent(tail);
    char text[256];
    InstalledProduct product;
    if (!ReadInstalledProduct(&product)) {
        FormatText(text, sizeof text, kNotInstalledText, g_product.productName);
        if (!silent) MessageBoxA(nullptr, text, g_product.productName, MB_OK | MB_ICONINFORMATION);
        return kExitDone;
    }
    // No folder of the product stays held as this process's current one.
    if (product.windowsFolder[0]) SetCurrentDirectoryA(product.windowsFolder);
    FormatText(text, sizeof text, kQuestionText, g_product.productName);
    if (!silent && MessageBoxA(nullptr, text, g_product.productName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return kExitCancelled;
    char self[MAX_PATH];
    OwnPath(self);
    RemovalReport report = {};
    g_start = GetTickCount();
    RemoveProduct(product, self, &report, silent ? nullptr : ShowStep);
    CloseProgress();
    if (!silent) ShowClosingBox(report);
    // The installed uninstaller goes last, once this process has ended.
    char installed[kPathBufferSize];
    if (!report.failed[0] &&
        JoinPath(installed, sizeof installed, product.windowsFolder,
                 g_product.files[kUninstallerEntry].fileName, 0) &&
        lstrcmpiA(installed, self) == 0)
        RemoveSelfAfterExit(self);
    if (report.failed[0]) return kExitFailed;
    return report.restartNeeded ? kExitRestart : kExitDone;
}

}  // namespace

// Windows guarantees the 32-bit stack only a 4-byte alignment; ExitProcess
// ends the process with any thread the shell started (see core/main.cpp).
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    RestrictDllSearch();
    ExitProcess(static_cast<UINT>(Uninstall(CommandTail(GetCommandLineA()))));
}
