// Pictures of what a window shows: its pixels read back through GDI, and a
// PNG file of them to look at.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct ScreenShot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // row by row from the top

    COLORREF at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

// The client area of window as it is on the screen now. (Under Wine without
// a window manager, frames and captions are not drawn at all.)
ScreenShot TakeShot(HWND window);

// Writes shot as an RGB PNG file; false when the file cannot be written.
bool SavePng(const ScreenShot& shot, const std::string& path);

// Where tests put pictures for people to look at: the folder named by
// PORTAVO_SHOTS (a Wine path), or "" when it is not set.
std::string ShotsFolder();
