// Entry point of the uninstaller, file entry 0 of the product's setup.exe,
// installed in the Windows folder and named by the uninstall entry's
// command. Started with no arguments it asks before it removes anything;
// /VERYSILENT (or /S, any case, '/' or '-') removes without a box and exits
// with 0, 3010 when a restart completes the removal, or 1603 on failure; a
// switch it does not know ends a silent run with 87 before anything changes.
// /LOG or /LOG="file" writes what the run did (core/log.h).
//
// Like setup.exe it starts in its own entry point, without the C runtime.
#include <windows.h>

#include <cstring>

#include "core/command_line.h"
#include "core/config.h"
#include "core/dll_search.h"
#include "core/log.h"
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

enum { kExitDone = 0, kExitBadSwitch = 87, kExitCancelled = 1602, kExitFailed = 1603, kExitRestart = 3010 };

HWND g_progress;
DWORD g_start;

bool Is(const Switch& s, const char* name) { return strcmp(s.name, name) == 0; }

// What the command line asks for. A token that is none of the switches is
// kept in unknown: the silent run refuses it, the interactive one ignores it.
struct Switches {
    bool silent;
    Switch log;                     // name "LOG" when asked for, its value the file or ""
    char unknown[kPathBufferSize];  // the first token not understood, or ""
};

// Reads the switches; returns the arguments after the copy's own option
// when the line starts with it, otherwise nullptr.
const char* ReadSwitches(const char* tail, Switches* out) {
    Switch s;
    for (const char* token = tail; const char* rest = NextSwitch(token, &s); token = rest) {
        while (*token == ' ' || *token == '\t') ++token;
        if (token == tail && Is(s, kRemoveAfterOption + 1)) {
            while (*rest == ' ' || *rest == '\t') ++rest;
            return rest;
        }
        if (s.fits && Is(s, "LOG") && (!s.hasValue || s.value[0])) {
            out->log = s;
        } else if (s.fits && !s.hasValue && (Is(s, "VERYSILENT") || Is(s, "S"))) {
            out->silent = true;
        } else if (!out->unknown[0]) {
            const int length = static_cast<int>(rest - token);
            lstrcpynA(out->unknown, token, length < kPathBufferSize ? length + 1 : kPathBufferSize);
        }
    }
    return nullptr;
}

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
    const int used = static_cast<int>(strlen(text));
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

// Opens the log that /LOG asks for and writes its header.
void StartLog(const Switches& switches) {
    char title[kProductNameSize + 32];
    char stem[kProductNameSize + 16];
    FormatText(title, sizeof title, "%s %s Uninstall log", g_product.productName, g_product.version);
    FormatText(stem, sizeof stem, "%s Uninstall", g_product.productName);
    if (switches.log.name[0] && OpenLog(switches.log.value, stem)) LogHeader(title, GetCommandLineA());
}

int Uninstall(const char* tail) {
    Switches switches = {};
    if (const char* arguments = ReadSwitches(tail, &switches)) return FinishSelfRemoval(arguments);
    const bool silent = switches.silent;
    StartLog(switches);
    if (switches.unknown[0] && silent) {
        LogLine("Error: unknown switch %s", switches.unknown);
        return CloseLog(kExitBadSwitch);
    }
    char text[256];
    InstalledProduct product;
    if (!ReadInstalledProduct(&product)) {
        FormatText(text, sizeof text, kNotInstalledText, g_product.productName);
        LogLine("%s", text);
        if (!silent) MessageBoxA(nullptr, text, g_product.productName, MB_OK | MB_ICONINFORMATION);
        return CloseLog(kExitDone);
    }
    // No folder of the product stays held as this process's current one.
    if (product.windowsFolder[0]) SetCurrentDirectoryA(product.windowsFolder);
    FormatText(text, sizeof text, kQuestionText, g_product.productName);
    if (!silent && MessageBoxA(nullptr, text, g_product.productName, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return CloseLog(kExitCancelled);
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
        LogLine(RemoveSelfAfterExit(self) ? "File removed after exit: %s" : "File queued for restart: %s", self);
    if (report.failed[0]) return CloseLog(kExitFailed);
    return CloseLog(report.restartNeeded ? kExitRestart : kExitDone);
}

}  // namespace

// Windows guarantees the 32-bit stack only a 4-byte alignment; ExitProcess
// ends the process with any thread the shell started (see core/main.cpp).
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    RestrictDllSearch();
    ExitProcess(static_cast<UINT>(Uninstall(CommandTail(GetCommandLineA()))));
}
