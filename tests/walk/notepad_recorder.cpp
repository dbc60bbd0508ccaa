// Stands in for Notepad in the read-me tests: in the system folder as
// notepad.exe, and beside setup.exe as Notepad.exe, where it must never run.
// It appends its own path, its command line and its working folder to the
// file named by PORTAVO_NOTEPAD_LOG and, when
// PORTAVO_NOTEPAD_HOLD is set, stays open with a window "Recorded Notepad"
// until that window is closed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

LRESULT CALLBACK RecorderWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void HoldUntilClosed(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecorderWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "RecordedNotepad";
    RegisterClassA(&wc);
    CreateWindowA("RecordedNotepad", "Recorded Notepad", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 200, 200,
                  300, 120, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* log = getenv("PORTAVO_NOTEPAD_LOG");
    if (log && *log) {
        char self[MAX_PATH] = "", folder[MAX_PATH] = "";
        GetModuleFileNameA(nullptr, self, sizeof self);
        GetCurrentDirectoryA(sizeof folder, folder);
        if (FILE* file = fopen(log, "ab")) {
            fprintf(file, "%s\n%s\n%s\n", self, GetCommandLineA(), folder);
            fclose(file);
        }
    }
    if (getenv("PORTAVO_NOTEPAD_HOLD")) HoldUntilClosed(instance);
    return 0;
}
