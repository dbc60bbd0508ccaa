// Process-wide state set up at start-up.
#pragma once

#include <windows.h>

// The module whose resources (dialogs, bitmaps, payload) the program uses.
extern HINSTANCE g_instance;

// The screen size read once at start-up: the backdrop's size and the
// reference for placing pages and painting.
extern int g_screenWidth;
extern int g_screenHeight;

// Caption of every message box the program shows.
extern const char kMessageCaption[];

// True in the unattended modes (/SILENT, /VERYSILENT): no message box is
// shown and every question takes its default answer.
extern bool g_unattended;

// A message box with the program's caption whose text also goes to the log.
// In the unattended modes it is only logged and answers IDCANCEL.
int ShowMessage(HWND owner, const char* text, UINT type);
