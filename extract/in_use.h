// Files that another program holds, found before the install step changes
// anything.
#pragma once

#include <cstddef>

// True when path exists and another program holds it: it does not open for
// writing without sharing. renameIsEnough: a held file that may still be
// renamed (a library that a program has loaded) counts as free.
bool IsHeld(const char* path, bool renameIsEnough);

// The names of the programs that hold path, as the Restart Manager reports
// them, separated by ", "; empty when Windows cannot say. The library is
// loaded from the system folder by its full path.
void ProgramsHolding(const char* path, char* out, size_t outSize);
