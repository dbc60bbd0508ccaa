// Starting a program as the desktop's user: the shell's own process (Explorer)
// starts it, so that a run elevated as another user, an administrator over a
// standard user's shoulder, does not leave an elevated program on the user's
// desktop.
#pragma once

// Asks the desktop's shell to start program with arguments in folder, shown
// normally. Returns at once, without waiting for the program; false when the
// shell could not be reached or refused. COM is started and ended here.
bool StartAsDesktopUser(const char* program, const char* arguments, const char* folder);
