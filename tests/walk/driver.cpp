#include "tests/walk/driver.h"

#include <cstdlib>
#include <vector>

#include "tests/support/screen.h"

namespace {

const DWORD kPoll = 10;

struct Search {
    DWORD processId;
    const char* className;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
    Search* s = reinterpret_cast<Search*>(context);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != s->processId || !IsWindowVisible(window)) return TRUE;
    char text[256];
    if (s->className && (!GetClassNameA(window, text, sizeof text) || lstrcmpA(text, s->className)))
        return TRUE;
    if (s->caption && (GetWindowTextA(window, text, sizeof text), lstrcmpA(text, s->caption)))
        return TRUE;
    s->found = window;
    return FALSE;
}

struct IconSearch {
    HWND icon;
};

BOOL CALLBACK FindIconStatic(HWND child, LPARAM context) {
    char name[16];
    if (!GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, "Static")) return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
    reinterpret_cast<IconSearch*>(context)->icon = child;
    return FALSE;
}

}  // namespace

std::string SetupPath() {
    if (const char* path = getenv("PORTAVO_SETUP_EXE")) return path;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder = self;
    folder.resize(folder.find_last_of('\\') + 1);
    return folder + "setup.exe";
}

bool StartSetup(SetupRun* run, const std::string& path, const char* folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + path + "\"";
    run->startTick = GetTickCount();
    return CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder,
                          &startup, &run->process) != 0;
}

bool StartCommand(SetupRun* run, const std::string& commandLine, const char* folder) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string line = commandLine;
    run->startTick = GetTickCount();
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                          &run->process) != 0;
}

DWORD Patience(DWORD timeoutMs) {
    const char* factor = getenv("PORTAVO_WALK_PATIENCE");
    const int times = factor ? atoi(factor) : 1;
    return times > 1 ? timeoutMs * static_cast<DWORD>(times) : timeoutMs;
}

int WaitForExit(SetupRun* run, DWORD timeoutMs) {
    if (!run->process.hProcess) return -1;
    if (WaitForSingleObject(run->process.hProcess, Patience(timeoutMs)) != WAIT_OBJECT_0) {
        TerminateProcess(run->process.hProcess, 99);
        WaitForSingleObject(run->process.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(run->process.hProcess, &code);
    return static_cast<int>(code);
}

void CloseRun(SetupRun* run) {
    if (!run->process.hProcess) return;
    if (WaitForSingleObject(run->process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(run->process.hProcess, 99);
        WaitForSingleObject(run->process.hProcess, 5000);
    }
    CloseHandle(run->process.hProcess);
    CloseHandle(run->process.hThread);
    run->process = PROCESS_INFORMATION();
}

HWND FindRunWindow(const SetupRun& run, const char* className, const char* caption) {
    Search s = {run.process.dwProcessId, className, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND WaitForWindow(const SetupRun& run, const char* className, const char* caption,
                   DWORD timeoutMs) {
    timeoutMs = Patience(timeoutMs);
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND w = FindRunWindow(run, className, caption)) return w;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        if (WaitForSingleObject(run.process.hProcess, kPoll) == WAIT_OBJECT_0) return nullptr;
    }
}

bool WaitForMessageBox(const SetupRun& run, BoxInfo* box, DWORD timeoutMs) {
    return WaitForCaptionedBox(run, "Portavo", box, timeoutMs);
}

bool WaitForCaptionedBox(const SetupRun& run, const char* caption, BoxInfo* box, DWORD timeoutMs) {
    HWND window = WaitForWindow(run, "#32770", caption, timeoutMs);
    if (!window) return false;
    box->window = window;
    box->owner = GetWindow(window, GW_OWNER);
    box->text = ItemText(window, 0xFFFF);
    box->hasYesNo = GetDlgItem(window, IDYES) && GetDlgItem(window, IDNO);
    IconSearch search = {nullptr};
    EnumChildWindows(window, FindIconStatic, reinterpret_cast<LPARAM>(&search));
    // The box may not have painted its icon yet: look again for a while.
    box->icon = 0;
    const DWORD start = GetTickCount();
    while (search.icon && !box->icon && GetTickCount() - start < Patience(1000)) {
        Sleep(50);
        box->icon = IdentifyIcon(CaptureRect(ScreenRect(search.icon)));
    }
    return true;
}

bool AnswerMessageBox(const BoxInfo& box, int button) {
    Click(box.window, button);
    return WaitUntilGone(box.window, 5000);
}

std::string TextOf(HWND window) {
    std::vector<char> text(70000);
    DWORD_PTR length = 0;
    // Not SMTO_ABORTIFHUNG: on a slow machine a page's thread can be busy for
    // longer than the five seconds after which Windows calls it hung.
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, Patience(5000), &length))
        return "";
    return std::string(text.data(), length);
}

std::string ItemText(HWND page, int id) {
    HWND item = GetDlgItem(page, id);
    return item ? TextOf(item) : "";
}

RECT ScreenRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

RECT ClientSize(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    return r;
}

void Click(HWND page, int id) {
    if (HWND button = GetDlgItem(page, id)) PostMessageA(button, BM_CLICK, 0, 0);
}

HWND FocusOf(HWND page) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(page, nullptr);
    if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) return info.hwndFocus;
    return page;
}

void PressKey(HWND page, UINT virtualKey) {
    HWND target = FocusOf(page);
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

void TypeText(HWND control, const std::string& text) {
    for (char c : text) PostMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
    // Let the program's thread take the characters before anything is read back.
    DWORD_PTR ignored;
    SendMessageTimeoutA(control, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

bool WaitUntilGone(HWND window, DWORD timeoutMs) {
    timeoutMs = Patience(timeoutMs);
    const DWORD start = GetTickCount();
    while (IsWindow(window) && IsWindowVisible(window)) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(kPoll);
    }
    return true;
}

DWORD Elapsed(const SetupRun& run) { return GetTickCount() - run.startTick; }
