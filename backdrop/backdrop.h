// The backdrop's creation, paint and destruction: its texts, fonts, colours,
// the header bitmaps, and what the owner-drawn lists of the pages share.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "core/config.h"

// Colours of the owner-drawn list items, read once at creation.
struct ItemColors {
    COLORREF selectedText;  // COLOR_HIGHLIGHTTEXT
    COLORREF selectedBack;  // COLOR_HIGHLIGHT
    COLORREF text;          // COLOR_WINDOWTEXT
    COLORREF back;          // COLOR_WINDOW
};
extern ItemColors g_itemColors;

// The shell's small-icon system image list; owned by the shell.
extern HIMAGELIST g_systemImageList;

// Title ("%s v%s") and tagline ("%s - %s") as painted.
extern char g_titleText[kTitleTextSize];
extern char g_taglineText[kTaglineTextSize];

int SetUpBackdrop(HWND window);
int PaintBackdrop(HWND window);
int ReleaseBackdrop(HWND window);
