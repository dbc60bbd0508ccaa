// Entry point of setup.exe. The command line is not read; the exit code is 1
// in every case.
#include <windows.h>

#include "core/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_instance = instance;
    return 1;
}
