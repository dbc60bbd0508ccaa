#include "core/unattended.h"

#include <commctrl.h>
#include <objbase.h>

#include "core/app.h"
#include "core/config.h"
#include "core/dll_search.h"
#include "core/log.h"
#include "core/single_run.h"
#include "core/text.h"
#include "extract/install.h"
#include "extract/self_check.h"
#include "extract/transaction.h"
#include "pages/group.h"
#include "pages/location.h"
#include "pages/location_path.h"
#include "pages/programs_folder.h"
#include "resources/ids.h"
#include "system/registry.h"

namespace {

const char kGroupTooLongText[] = "Group may be at most 40 characters long!";
const char kShortcutsFailedText[] = "Unable To Create Shortcuts!";
const char kHelpText[] =
    "/VERYSILENT or /S: install with no window or question\r\n"
    "/SILENT: only a progress window\r\n"
    "/DIR=\"folder\": the install folder\r\n"
    "/GROUP=\"name\": the Start menu group\r\n"
    "/NOICONS: no group, no shortcuts\r\n"
    "/LOG[=\"file\"]: write a log (default: in %TEMP%)\r\n"
    "/? or /HELP: this list\r\n\r\n"
    "Without the wizard only: /DIR, /GROUP, /NOICONS and the exit codes 0 installed, "
    "3010 restart needed, 1618 already running, 112 disk full, 87 bad switch or value, "
    "32 file in use, 1603 failed.";

HWND g_progress;    // /SILENT's window; null in /VERYSILENT
int g_stepExit;     // what ended the install step

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The install step's reports: shown in /SILENT's window without pauses,
// questions answered Cancel, and what stopped it kept for the exit code.
void ShowTotals(uint32_t bytes, int) {
    SendDlgItemMessageA(g_progress, IDC_SILENT_PROGRESS, PBM_SETRANGE32, 0, bytes);
}

void ShowFile(int, const char* target) {
    SetDlgItemTextA(g_progress, IDC_SILENT_FILE, target);
    Pump();
}

// The window answers while the files go in, as any window must.
void Advance(uint32_t bytes) {
    if (!g_progress) return;
    SendDlgItemMessageA(g_progress, IDC_SILENT_PROGRESS, PBM_DELTAPOS, bytes, 0);
    Pump();
}

bool Decline(InstallQuestion question, char* text) {
    LogLine("%s", text);
    g_stepExit = question == kAskHeldFile ? kExitInUse : kExitNoSpace;
    return false;
}

void Fail(const char* text) {
    LogLine("%s", text);
    g_stepExit = kExitFailed;
}

const InstallSink kSilentSink = {ShowTotals, ShowFile, Advance, Decline, Fail};

// The dialog offers nothing to press; closing it is refused as well.
INT_PTR CALLBACK SilentProgressProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_CLOSE || message == WM_INITDIALOG;
}

void OpenProgressWindow() {
    g_progress = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_SILENT_PROGRESS), nullptr,
                                    SilentProgressProc, 0);
    char format[64], caption[96];
    GetWindowTextA(g_progress, format, sizeof format);
    FormatText(caption, sizeof caption, format, g_product.productName);
    SetWindowTextA(g_progress, caption);
    ShowWindow(g_progress, SW_SHOWNORMAL);
    Pump();
}

// The remembered or default folder, or the one given, completed and checked
// as the location page does; false, logged, when it is refused.
bool ChooseInstallFolder(const SetupSwitches& switches) {
    char folder[kPathBufferSize];
    if (switches.hasDir)
        lstrcpynA(folder, switches.dir, sizeof folder);
    else
        ProposeInstallFolder(folder);
    const LocationProblem problem = CompleteLocation(folder, g_product, g_installFolder);
    if (problem == kLocationAccepted) return true;
    char warning[kLocationWarningSize];
    FormatLocationWarning(warning, problem);
    LogLine("Error: /DIR=%s: %s", folder, warning);
    return false;
}

bool ChooseGroup(const SetupSwitches& switches) {
    if (switches.noIcons) {
        g_groupName[0] = '\0';
        return true;
    }
    const char* name = switches.hasGroup ? switches.group : g_product.productName;
    const char* refusal = lstrlenA(name) > kGroupNameMax ? kGroupTooLongText : nullptr;
    if (!refusal) {
        lstrcpynA(g_groupName, name, kSlotSize);
        refusal = GroupRefusal(g_groupName);
    }
    if (refusal) LogLine("Error: /GROUP=%s: %s", name, refusal);
    return refusal == nullptr;
}

bool CreateLinks() {
    if (FAILED(CoInitialize(nullptr))) return false;
    bool allSaved = MakeGroupFolder(g_groupName);
    for (int i = 0; i < g_product.shortcutCount && i < kMaxFiles; ++i)
        if (!CreateEntryShortcut(g_product.files[i])) allSaved = false;
    CoUninitialize();
    if (!allSaved) LogLine("%s", kShortcutsFailedText);
    return allSaved;
}

// Everything after the checks: files, links, registry entries; the exit code.
int Install(const SetupSwitches& switches) {
    FindWindowsFolder();
    if (!switches.noIcons) FindProgramsFolder(nullptr);
    if (!ChooseInstallFolder(switches) || !ChooseGroup(switches)) return kExitBadSwitch;
    if (switches.mode == kRunSilent) OpenProgressWindow();
    if (InstallFiles(kSilentSink) == -1) return g_stepExit;
    if (!switches.noIcons && !CreateLinks()) return kExitFailed;
    WriteRegistryEntries();
    CommitTransaction();
    return RestartCompletesInstallation() ? kExitRestart : kExitInstalled;
}

}  // namespace

int RunUnattended(HINSTANCE instance, const SetupSwitches& switches) {
    g_unattended = true;
    g_instance = instance;
    if (switches.refused[0]) {
        LogLine("Error: not a switch of setup.exe: %s", switches.refused);
        return kExitBadSwitch;
    }
    // Without the common controls /SILENT's window has no bar; the run goes on.
    UseSystemDllsOnly();
    if (!VerifyPayload()) return kExitFailed;
    if (!ClaimSingleRun()) return kExitRunning;
    RecoverKilledRun();
    WriteUnloadSwitch();
    const int code = Install(switches);
    // A run that ended before its registry entries leaves the machine as it
    // found it.
    RollBackTransaction();
    if (g_progress) DestroyWindow(g_progress);
    return code;
}

int ShowSwitchHelp() {
    MessageBoxA(nullptr, kHelpText, kMessageCaption, MB_ICONINFORMATION);
    return 0;
}
