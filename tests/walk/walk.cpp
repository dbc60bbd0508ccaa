#include "tests/walk/walk.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/config.h"
#include "resources/ids.h"
#include "tests/support/program_keys.h"
#include "tests/support/screen.h"

HWND WaitForWelcome(const Walk& walk, DWORD timeoutMs) {
    return WaitForWindow(walk.run, "InstallDlg", "Portavo", timeoutMs);
}

HWND WaitForBackdrop(const Walk& walk, DWORD timeoutMs) {
    return WaitForWindow(walk.run, "InstallApp", "Portavo", timeoutMs);
}

HWND WaitForPage(const Walk& walk, const char* caption, DWORD timeoutMs) {
    return WaitForWindow(walk.run, "#32770", caption, timeoutMs);
}

std::string ProductCaption(const char* format) {
    char caption[256];
    snprintf(caption, sizeof caption, format, g_product.productName);
    return caption;
}

namespace {

struct RunWindows {
    DWORD processId;
    std::string lines;
};

BOOL CALLBACK AddRunWindow(HWND window, LPARAM context) {
    RunWindows* windows = reinterpret_cast<RunWindows*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != windows->processId || !IsWindowVisible(window)) return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    windows->lines += std::string("  window ") + className + " \"" + TextOf(window) + "\"\n";
    // A message box's text is its static control 0xFFFF.
    if (HWND text = GetDlgItem(window, 0xFFFF)) windows->lines += "    says \"" + TextOf(text) + "\"\n";
    return TRUE;
}

}  // namespace

std::string DescribeRunWindows(const SetupRun& run) {
    RunWindows windows = {run.process.dwProcessId, ""};
    DWORD code = STILL_ACTIVE;
    if (run.process.hProcess && GetExitCodeProcess(run.process.hProcess, &code) && code != STILL_ACTIVE)
        return "  setup.exe has ended with exit code " + std::to_string(code) + "\n";
    EnumWindows(AddRunWindow, reinterpret_cast<LPARAM>(&windows));
    return windows.lines.empty() ? "  no window of setup.exe is visible\n" : windows.lines;
}

std::string Snap(Walk& walk, const std::string& step) {
    // A window that has just appeared may not have painted yet.
    Sleep(Patience(250));
    char number[8];
    snprintf(number, sizeof number, "%02d", ++walk.shots);
    const std::string path = ShotPath(walk.name + "-" + number + "-" + step + ".png");
    SavePng(CaptureScreen(), path);
    return path;
}

namespace {

const COLORREF kActiveStep = 0xFFD8CF;
const COLORREF kInactiveStep = 0xFF886F;

}  // namespace

std::string StepColours(const Image& screen) {
    std::string colours;
    for (int i = 0; i < 7; ++i) {
        const RECT band = {0, 120 + 18 * i, 150, 120 + 18 * i + 16};
        const int active = CountColor(screen, band, kActiveStep);
        const int inactive = CountColor(screen, band, kInactiveStep);
        colours += active > 10 && inactive == 0 ? 'A' : inactive > 10 && active == 0 ? 'i' : '?';
    }
    return colours;
}

int HighlightedStep(int expected, DWORD patienceMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const std::string colours = StepColours(CaptureScreen());
        const size_t first = colours.find('A');
        int found = -1;
        if (first != std::string::npos)
            found = colours.find('A', first + 1) == std::string::npos ? static_cast<int>(first) : -2;
        if (found == expected || GetTickCount() - start >= Patience(patienceMs)) return found;
        Sleep(50);
    }
}

void ForgetEarlierRuns() {
    // The product's keys, as its record names them.
    const std::string uninstall = UninstallKey();
    const std::string extension =
        std::string("Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\") +
        g_registration.findExtension;
    const char* const machineKeys[] = {
        kCompanyKey,
        uninstall.c_str(),
        "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\AlwaysUnloadDll",
    };
    for (const char* key : machineKeys) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    if (g_registration.findExtension[0]) RegDeleteTreeA(HKEY_LOCAL_MACHINE, extension.c_str());
    if (g_registration.classId[0])
        RegDeleteTreeA(HKEY_CLASSES_ROOT, (std::string("CLSID\\") + g_registration.classId).c_str());
}

void ProvideFindExtensionsKey() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                        "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static",
                        0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS)
        RegCloseKey(key);
}

bool PassWelcome(Walk& walk) {
    HWND page = WaitForWelcome(walk);
    if (!page) return false;
    Snap(walk, "welcome");
    Click(page, IDOK);
    return WaitUntilGone(page, 5000);
}

bool PassLicense(Walk& walk) {
    HWND page = WaitForPage(walk, ProductCaption("%s License Agreement").c_str());
    if (!page) return false;
    Snap(walk, "license");
    Click(page, IDOK);
    return WaitUntilGone(page, 5000);
}

bool PassLocation(Walk& walk, const std::string& folder) {
    HWND page = WaitForPage(walk, ProductCaption("%s Program Location").c_str());
    if (!page) return false;
    if (!folder.empty()) {
        HWND field = GetDlgItem(page, IDC_FOLDER_PATH);
        SendMessageA(field, EM_SETSEL, 0, -1);
        PostMessageA(field, WM_CLEAR, 0, 0);
        TypeText(field, folder);
    }
    Snap(walk, "location");
    Click(page, IDOK);
    return WaitUntilGone(page, 10000);
}

bool PassInstalling(Walk& walk) {
    HWND page = WaitForPage(walk, ProductCaption("Installing %s Program Files").c_str());
    if (!page) return false;
    // Mid-way: once the third file is going in.
    const DWORD start = GetTickCount();
    while (ItemText(page, IDC_CURRENT_FILE) != "3" && IsWindow(page) &&
           GetTickCount() - start < Patience(30000))
        Sleep(10);
    Snap(walk, "installing");
    while (ItemText(page, IDC_CURRENT_SIZE) != ItemText(page, IDC_TOTAL_SIZE) && IsWindow(page) &&
           GetTickCount() - start < Patience(60000))
        Sleep(10);
    Sleep(100);
    if (IsWindow(page)) Snap(walk, "installed");
    return WaitUntilGone(page, 60000);
}

namespace {

// Pixels of the shortcut dialog's progress bar in the highlight colour, once
// the bar shows some or the dialog has closed.
int FilledBar(HWND dialog) {
    HWND bar = GetDlgItem(dialog, IDC_SHORTCUT_PROGRESS);
    if (!bar) return 0;
    int filled = 0;
    for (DWORD start = GetTickCount();
         filled < 20 && IsWindowVisible(dialog) && GetTickCount() - start < Patience(10000);
         Sleep(20)) {
        const Image shown = CaptureRect(ScreenRect(bar));
        filled = CountColor(shown, {0, 0, shown.width, shown.height}, GetSysColor(COLOR_HIGHLIGHT));
    }
    return filled;
}

}  // namespace

bool PassGroup(Walk& walk, const std::string& group, int* barPixels) {
    HWND page = WaitForPage(walk, ProductCaption("%s Program Group").c_str());
    if (!page) return false;
    if (!group.empty()) SetDlgItemTextA(page, IDC_GROUP_LIST, group.c_str());
    Snap(walk, "group");
    Click(page, IDC_GROUP_CONTINUE);
    if (HWND shortcuts = WaitForPage(walk, ProductCaption("Creating %s Shortcuts").c_str(), 10000)) {
        Sleep(700);
        if (barPixels) *barPixels = FilledBar(shortcuts);
        Snap(walk, "shortcuts");
        WaitUntilGone(shortcuts, 30000);
    }
    return WaitUntilGone(page, 30000);
}

bool PassCompletion(Walk& walk, int readMeAnswer) {
    BoxInfo question;
    if (!WaitForMessageBox(walk.run, &question, 30000)) return false;
    Snap(walk, "question");
    if (!AnswerMessageBox(question, readMeAnswer)) return false;
    BoxInfo closing;
    if (!WaitForMessageBox(walk.run, &closing, 600000)) return false;
    Snap(walk, "finished");
    return AnswerMessageBox(closing, IDOK);
}

void ReportFailedStep(const Walk& walk, const std::string& step, bool done) {
    if (!done) ADD_FAILURE() << step << " did not go on; the run showed:\n" << DescribeRunWindows(walk.run);
}

bool WalkWholeInstallation(Walk& walk, const std::string& folder, StepReport report,
                           const std::string& group) {
    const auto tell = [&](const std::string& name, bool done) {
        if (report) report(walk, name, done);
        return done;
    };
    return tell("Welcome: Continue", PassWelcome(walk)) &&
           tell("License Agreement: I Agree", PassLicense(walk)) &&
           tell("Program Location: " + folder, PassLocation(walk, folder)) &&
           tell("Installing Files", PassInstalling(walk)) &&
           tell("Program Group and Shortcuts", PassGroup(walk, group)) &&
           tell("Read Me: No; Finished: OK", PassCompletion(walk, IDNO));
}
