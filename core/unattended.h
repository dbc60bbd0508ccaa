// The unattended modes: /VERYSILENT installs without any window, /SILENT
// with one progress window that cannot be cancelled. Every question takes
// its default answer, and the exit code says how the run ended.
#pragma once

#include <windows.h>

#include "core/command_line.h"

// Exit codes of the unattended runs, as deployment tools read them.
enum UnattendedExit {
    kExitInstalled = 0,
    kExitInUse = 32,        // a file to replace is held by a running program
    kExitBadSwitch = 87,    // a bad switch, or a refused /DIR or /GROUP
    kExitNoSpace = 112,
    kExitFailed = 1603,     // anything else, such as a file that cannot be written
    kExitRunning = 1618,    // another copy is running
    kExitRestart = 3010,    // installed; a restart completes it
};

// Runs the installation the switches ask for, after the code page is read;
// returns the exit code.
int RunUnattended(HINSTANCE instance, const SetupSwitches& switches);

// The box that lists the switches (/? or /HELP); returns 0.
int ShowSwitchHelp();
