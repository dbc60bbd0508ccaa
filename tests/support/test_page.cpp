#include "tests/support/test_page.h"

#include <vector>

namespace {

INT_PTR CALLBACK TestPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// Builds an in-memory dialog template: WORD-aligned header, then one
// DWORD-aligned item per control.
class TemplateWriter {
public:
    void Word(WORD value) { words_.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text) {
        do Word(static_cast<WORD>(*text)); while (*text++);
    }
    void AlignDword() {
        if (words_.size() % 2) Word(0);
    }
    const WORD* data() const { return words_.data(); }

private:
    std::vector<WORD> words_;
};

}  // namespace

HWND CreateTestPage() {
    const int firstId = 400, lastId = 404;
    TemplateWriter t;
    // Not shown: without a window manager, Wine waits 2 s for a shown window to
    // go when it is destroyed.
    t.Dword(WS_POPUP | WS_CAPTION | DS_SETFONT);       // style
    t.Dword(0);                                        // extended style
    t.Word(lastId - firstId + 1);                      // items
    t.Word(10), t.Word(10), t.Word(300), t.Word(120);  // x, y, cx, cy
    t.Word(0), t.Word(0);                              // no menu, default class
    t.Text(L"Installing (test)");
    t.Word(8), t.Text(L"MS Shell Dlg");
    for (int id = firstId; id <= lastId; ++id) {
        t.AlignDword();
        t.Dword(WS_CHILD | WS_VISIBLE | SS_LEFT);
        t.Dword(0);
        t.Word(5), t.Word(static_cast<WORD>(5 + (id - firstId) * 20)), t.Word(290), t.Word(16);
        t.Word(static_cast<WORD>(id));
        t.Word(0xFFFF), t.Word(0x0082);  // STATIC
        t.Text(L"");
        t.Word(0);  // no creation data
    }
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                      reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), nullptr,
                                      TestPageProc, 0);
}

std::string ControlText(HWND dialog, int id) {
    char text[512];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}
