// Where the program's DLLs and the programs it starts come from. setup.exe is run from a downloads
// folder full of other people's files, and elevated: a DLL there with the
// name of one it loads must never be taken. It imports only DLLs that
// Windows always takes from its own folder (the known DLLs) and loads the
// common controls itself, from the system folder, at start-up.
#pragma once

#include <windows.h>
#include <commctrl.h>

typedef BOOL(WINAPI* ImageListDrawFunction)(HIMAGELIST, int, HDC, int, int, UINT);

// ImageList_Draw of the system's COMCTL32.DLL, with which the owner-drawn
// lists draw their icons; null until UseSystemDllsOnly has loaded it.
extern ImageListDrawFunction g_imageListDraw;

// The program's first step: limits the DLL search of the process, and of
// everything the shell and COM load for it, to the system folder, then loads
// COMCTL32.DLL from there, which also registers the progress bar's window
// class. The library stays loaded until the process ends. False when it
// cannot be loaded or lacks ImageList_Draw.
bool UseSystemDllsOnly();

// The first part of it, for a program that needs no common controls: the
// DLL search limited to the system folder.
void RestrictDllSearch();

// The error box for a system without a usable COMCTL32.DLL; returns 1, the
// program's exit code.
int RefuseWithoutCommonControls();

// The full path of name in the system folder, in a MAX_PATH buffer: what the
// program loads or starts is named by it, so that no search order can turn
// to the downloads folder. False when it does not fit.
bool SystemFolderFile(char* out, const char* name);
