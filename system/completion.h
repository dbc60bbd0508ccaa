// The last link of the wizard: registry entries, the read-me question, the
// closing message, and the end of the run.
#pragma once

#include <windows.h>

void FinishInstallation(HWND backdrop);

// Opens the read-me in Notepad with the backdrop minimised and waits until
// Notepad ends. Nothing is reported when Notepad cannot be started.
void ViewReadMe(HWND backdrop);
