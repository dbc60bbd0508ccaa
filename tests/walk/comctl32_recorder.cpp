// A stranger's COMCTL32.DLL, planted beside a copy of setup.exe the way a
// downloads folder can hold one. Whenever a process loads it, it writes
// "comctl32-loaded.txt" beside itself, naming that process's program. It
// exports the one function setup.exe used to import from the real library,
// so that a program importing it statically starts and is caught.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char marker[MAX_PATH];
    const DWORD length = GetModuleFileNameA(module, marker, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TRUE;
    char* name = marker + length;
    while (name > marker && name[-1] != '\\') --name;
    const char kMarkerName[] = "comctl32-loaded.txt";
    if (static_cast<size_t>(name - marker) + sizeof kMarkerName > MAX_PATH) return TRUE;
    lstrcpyA(name, kMarkerName);

    char program[MAX_PATH];
    const DWORD programLength = GetModuleFileNameA(nullptr, program, MAX_PATH);
    HANDLE file = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return TRUE;
    DWORD written = 0;
    WriteFile(file, program, programLength, &written, nullptr);
    CloseHandle(file);
    return TRUE;
}

// Draws nothing: the planted library only has to be loadable.
extern "C" __declspec(dllexport) BOOL WINAPI ImageList_Draw(void*, int, HDC, int, int, UINT) {
    return FALSE;
}
