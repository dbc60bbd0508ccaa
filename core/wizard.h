// Start-up and the wizard chain: the two window classes, the full-screen
// backdrop window, and the modal pages that run one after another on top of
// it, all inside the backdrop's one-shot timer.
#pragma once

#include <windows.h>

// Steps of the backdrop's left panel; exactly one is highlighted at a time
// (none before the license page).
enum StepBit {
    kStepLicense = 0x01,
    kStepLocation = 0x02,
    kStepInstalling = 0x04,
    kStepGroup = 0x08,
    kStepShortcuts = 0x10,
    kStepReadMe = 0x20,
    kStepFinished = 0x40,
};

extern HWND g_backdrop;
extern int g_stepMask;

// Writes the unload switch, records the instance and the screen size, and
// registers both window classes.
BOOL InitApplication(HINSTANCE instance);

// "InstallDlg": the system dialog class with the program's icon. 0 when the
// system class cannot be read or the registration fails, else 1.
int RegisterDialogClass();

// "InstallApp", the backdrop's class. The class atom, 0 on failure.
ATOM RegisterBackdropClass();

// Creates and shows the full-screen top-most backdrop; 0 when it cannot.
int CreateBackdropWindow(int showCommand);

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Highlights one step and repaints the step panel at once.
void SetStep(int mask);

// Links of the chain: each runs its page and, when the page returns 1, the
// next link; any other result destroys the backdrop, which ends the run.
void RunLicensePage(HWND backdrop);
void RunLocationPage(HWND backdrop);
void RunInstallingPage(HWND backdrop);
void RunGroupPage(HWND backdrop);
