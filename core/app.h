// Process-wide state set up at start-up.
#pragma once

#include <windows.h>

// The module whose resources (dialogs, bitmaps, payload) the program uses.
extern HINSTANCE g_instance;
