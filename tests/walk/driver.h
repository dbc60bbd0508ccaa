// The walk-through driver: starts the real setup.exe as a child process and
// works it from outside as a person would. It finds the program's windows by
// caption and owner, reads their controls, presses buttons and keys, answers
// message boxes and looks at the screen. Every wait is bounded.
#pragma once

#include <windows.h>

#include <string>

struct SetupRun {
    PROCESS_INFORMATION process = {};
    DWORD startTick = 0;
};

// The setup.exe beside the test program, or PORTAVO_SETUP_EXE when set.
std::string SetupPath();

// Starts setup.exe (or the program at path) in folder, inherited
// environment. False when it could not be started.
bool StartSetup(SetupRun* run, const std::string& path = SetupPath(), const char* folder = nullptr);

// Starts a command line as the shell would (a quoted program path, say the
// uninstall entry's command) in folder. False when it could not be started.
bool StartCommand(SetupRun* run, const std::string& commandLine, const char* folder = nullptr);

// The exit code once the process has ended within timeoutMs, else kill it
// and return -1.
int WaitForExit(SetupRun* run, DWORD timeoutMs);
void CloseRun(SetupRun* run);

// A visible top-level window of the run with this class and caption (either
// may be null for any). Waits up to timeoutMs; nullptr when none appeared.
HWND WaitForWindow(const SetupRun& run, const char* className, const char* caption,
                   DWORD timeoutMs);
HWND FindRunWindow(const SetupRun& run, const char* className, const char* caption);

// A message box of the run: a dialog of class #32770 with caption "Portavo".
struct BoxInfo {
    HWND window = nullptr;
    HWND owner = nullptr;
    std::string text;
    UINT icon = 0;  // MB_ICONERROR, MB_ICONWARNING, MB_ICONINFORMATION, MB_ICONQUESTION or 0
    bool hasYesNo = false;
};
bool WaitForMessageBox(const SetupRun& run, BoxInfo* box, DWORD timeoutMs);
// The same for a box of another caption (the uninstaller's: the product name).
bool WaitForCaptionedBox(const SetupRun& run, const char* caption, BoxInfo* box, DWORD timeoutMs);
// Clicks the box's button (IDOK, IDYES, IDNO) and waits until it is gone.
bool AnswerMessageBox(const BoxInfo& box, int button);

// Texts and geometry of another process's windows.
std::string TextOf(HWND window);
std::string ItemText(HWND page, int id);
RECT ScreenRect(HWND window);
RECT ClientSize(HWND window);  // left and top 0

// Person-like input, posted to the program's thread.
void Click(HWND page, int id);
void PressKey(HWND page, UINT virtualKey);  // to the control that has the focus
void TypeText(HWND control, const std::string& text);
HWND FocusOf(HWND page);

// Waits until window is gone (destroyed or hidden).
bool WaitUntilGone(HWND window, DWORD timeoutMs);

// timeoutMs times PORTAVO_WALK_PATIENCE (a whole number, default 1): every
// wait of the driver goes through it, so that a slow machine, such as the
// emulated guest of make test-pe32, can stretch them all.
DWORD Patience(DWORD timeoutMs);

// Milliseconds since the run started.
DWORD Elapsed(const SetupRun& run);
