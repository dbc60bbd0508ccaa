// What the screen shows: captures, PNG files and pixel questions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct Image {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;  // rows top-down, 0x00BBGGRR
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The given screen rectangle (the whole screen by default).
Image CaptureScreen();
Image CaptureRect(const RECT& r);

// Writes a PNG (8-bit RGB). False when the file cannot be written.
bool SavePng(const Image& image, const std::string& path);

// Pixels of exactly this colour inside the rectangle.
int CountColor(const Image& image, const RECT& r, COLORREF color);

// The folder that receives screenshots (PORTAVO_SHOTS, else "shots" beside
// the test program), created on first use; path of a file in it.
std::string ShotPath(const std::string& name);

// Which standard message-box icon a captured icon area shows: the system
// icon drawn on the box's background that matches the most pixels.
UINT IdentifyIcon(const Image& iconArea);
