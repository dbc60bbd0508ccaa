// Who uses the desktop this run shows on: the owner of the shell's process,
// compared with the user of this process's token.
#pragma once

#include "system/shortcut_scope.h"

// kNoDesktopUser when the desktop has neither a shell window nor a taskbar:
// a service's desktop, where a deployment tool runs setup.exe as SYSTEM.
// kDesktopUserUnknown when the shell's process or either token cannot be
// read.
DesktopUser FindDesktopUser();
