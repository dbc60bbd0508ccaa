// A stand-in for the installing page: a real modeless dialog whose static
// controls 400 to 404 receive the install step's texts.
#pragma once

#include <windows.h>

#include <string>

// Creates the dialog, hidden; nullptr on failure. Destroy with DestroyWindow.
HWND CreateTestPage();

// The text of a dialog control.
std::string ControlText(HWND dialog, int id);
