// The stand-in of a product program in the payload: a box naming the
// product, its version, the file and the folder it runs from. It starts in
// its own entry point, without the C runtime, as setup.exe does.
#include <windows.h>

#include "core/config.h"

namespace {

// The folder part of path, cut in place before its last backslash; names
// are walked by character.
void CutToFolder(char* path) {
    char* last = nullptr;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') last = p;
    if (last) *last = '\0';
}

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') name = p + 1;
    return name;
}

int ShowStandIn() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) path[0] = '\0';
    char name[MAX_PATH];
    lstrcpynA(name, FileNameOf(path), sizeof name);
    CutToFolder(path);
    char caption[kProductNameSize + kVersionSize + 2];
    wsprintfA(caption, "%s %s", g_product.productName, g_product.version);
    char text[3 * MAX_PATH];
    wsprintfA(text, "%s %s\r\n\r\n%s stands in for the program of this name.\r\nIt runs from %s",
              g_product.productName, g_product.version, name, path);
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
    return 0;
}

}  // namespace

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
    ExitProcess(static_cast<UINT>(ShowStandIn()));
}
