#include "core/app.h"

#include "core/log.h"

const char kMessageCaption[] = "Portavo";

HINSTANCE g_instance;
int g_screenWidth;
int g_screenHeight;

bool g_unattended;

int ShowMessage(HWND owner, const char* text, UINT type) {
    LogLine("%s", text);
    return g_unattended ? IDCANCEL : MessageBoxA(owner, text, kMessageCaption, type);
}
