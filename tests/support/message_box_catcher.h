// Answers the message boxes a test provokes: while a MessageBoxCatcher lives,
// every message box that the current thread opens is recorded (caption, text,
// icon, owner) and closed at once with a chosen button, so that the code under
// test goes on as if a user had clicked. Catchers nest; the innermost answers.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct CaughtBox {
    std::string caption;
    std::string text;
    UINT icon;  // MB_ICONERROR, MB_ICONWARNING, MB_ICONINFORMATION, MB_ICONQUESTION, 0 or ~0u
    HWND owner;
    HWND window;  // the box itself, gone by the time the test looks
};

class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int answer = IDOK);
    // Answers each box with what decide returns for it, called before the
    // box closes (a test may let go of a file there, say, then retry).
    explicit MessageBoxCatcher(std::function<int(const CaughtBox&)> decide);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<CaughtBox>& boxes() const { return boxes_; }

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Catch(HWND box);

    static MessageBoxCatcher* active_;  // the innermost catcher answers
    MessageBoxCatcher* previous_;
    HHOOK hook_;
    int answer_;
    std::function<int(const CaughtBox&)> decide_;
    std::vector<CaughtBox> boxes_;
};
