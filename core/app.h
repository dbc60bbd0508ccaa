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
