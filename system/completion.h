// The last link of the wizard: registry entries, the read-me question, the
// closing message, and the end of the run.
#pragma once

#include <windows.h>

void FinishInstallation(HWND backdrop);

// Opens the read-me in Notepad with the backdrop minimised and waits until
// Notepad ends. When the run's user is not the desktop's, the desktop's
// shell starts Notepad as its user, and the call returns at once with the
// backdrop left minimised. Nothing is reported when Notepad cannot be
// started.
void ViewReadMe(HWND backdrop);
