#include "tests/support/message_box_catcher.h"

namespace {

// A message box is a dialog with its text in a static control of id 0xFFFF.
// A page of the program's own module is a dialog too, often with unnumbered
// statics (id 0xFFFF), but never a message box: the system makes those.
bool IsMessageBox(HWND window) {
    char className[16];
    if (!GetClassNameA(window, className, sizeof className)) return false;
    const HINSTANCE owner = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    return lstrcmpA(className, "#32770") == 0 && GetDlgItem(window, 0xFFFF) != nullptr &&
           owner != GetModuleHandleA(nullptr);
}

struct IconSearch {
    HICON icon;
};

BOOL CALLBACK FindIcon(HWND child, LPARAM context) {
    const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) != SS_ICON) return TRUE;
    reinterpret_cast<IconSearch*>(context)->icon =
        reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    return FALSE;
}

UINT IconKind(HWND box) {
    IconSearch search = {nullptr};
    EnumChildWindows(box, FindIcon, reinterpret_cast<LPARAM>(&search));
    if (!search.icon) return 0;
    if (search.icon == LoadIconA(nullptr, IDI_HAND)) return MB_ICONERROR;
    if (search.icon == LoadIconA(nullptr, IDI_EXCLAMATION)) return MB_ICONWARNING;
    if (search.icon == LoadIconA(nullptr, IDI_ASTERISK)) return MB_ICONINFORMATION;
    if (search.icon == LoadIconA(nullptr, IDI_QUESTION)) return MB_ICONQUESTION;
    return ~0u;
}

}  // namespace

MessageBoxCatcher* MessageBoxCatcher::active_;

MessageBoxCatcher::MessageBoxCatcher(int answer) : previous_(active_), answer_(answer) {
    active_ = this;
    hook_ = SetWindowsHookExA(WH_CBT, HookProc, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::MessageBoxCatcher(std::function<int(const CaughtBox&)> decide)
    : MessageBoxCatcher(IDOK) {
    decide_ = std::move(decide);
}

MessageBoxCatcher::~MessageBoxCatcher() {
    if (hook_) UnhookWindowsHookEx(hook_);
    active_ = previous_;
}

LRESULT CALLBACK MessageBoxCatcher::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && active_ && IsMessageBox(reinterpret_cast<HWND>(wParam)))
        active_->Catch(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void MessageBoxCatcher::Catch(HWND box) {
    for (const CaughtBox& caught : boxes_)
        if (caught.window == box) return;  // activated again before it closed
    CaughtBox caught;
    caught.window = box;
    char text[1024];
    GetWindowTextA(box, text, sizeof text);
    caught.caption = text;
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    caught.text = text;
    caught.icon = IconKind(box);
    caught.owner = GetWindow(box, GW_OWNER);
    boxes_.push_back(caught);
    int answer = decide_ ? decide_(caught) : answer_;
    // A box without that button would wait for ever: Cancel it instead.
    if (!GetDlgItem(box, answer)) answer = IDCANCEL;
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}
