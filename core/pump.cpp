#include "core/pump.h"

#include "core/text.h"

void SetNumberText(HWND dialog, int id, uint32_t value) {
    char text[kThousandsTextSize];
    FormatThousands(value, text);
    SetDlgItemTextA(dialog, id, text);
}

void PumpMessagesFor(HWND window, uint32_t ms) {
    const DWORD start = GetTickCount();
    DWORD now;
    do {
        now = GetTickCount();
        MSG msg;
        if (PeekMessageA(&msg, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    } while (static_cast<DWORD>(now - start) < ms);
}
