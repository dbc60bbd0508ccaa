#include "core/dll_search.h"

#include "core/app.h"

ImageListDrawFunction g_imageListDraw;

namespace {

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFunction)(LPCSTR);

const char kLibraryName[] = "\\comctl32.dll";
const char kNoCommonControlsText[] =
    "Unable to load the Windows common controls (COMCTL32.DLL) from the system folder!";

// GetProcAddress's answer as the function type it has; the detour through
// void (*)() says that the cast is meant.
template <typename Function>
Function FunctionIn(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Windows 8 and 7 or Vista with KB2533623 search the system folder only;
// older systems at least leave the current folder out. Both are looked up,
// so that the program still starts where neither exists.
void RestrictDllSearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    const auto setDefault =
        FunctionIn<SetDefaultDllDirectoriesFunction>(kernel, "SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    const auto setDirectory = FunctionIn<SetDllDirectoryFunction>(kernel, "SetDllDirectoryA");
    if (setDirectory) setDirectory("");
}

// By its full path, which no search order can turn elsewhere.
HMODULE LoadSystemCommonControls() {
    char path[MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length + sizeof kLibraryName > MAX_PATH) return nullptr;
    lstrcpyA(path + length, kLibraryName);
    return LoadLibraryA(path);
}

}  // namespace

bool UseSystemDllsOnly() {
    RestrictDllSearch();
    HMODULE library = LoadSystemCommonControls();
    if (!library) return false;
    g_imageListDraw = FunctionIn<ImageListDrawFunction>(library, "ImageList_Draw");
    if (g_imageListDraw) return true;
    FreeLibrary(library);
    return false;
}

int RefuseWithoutCommonControls() {
    MessageBoxA(nullptr, kNoCommonControlsText, kMessageCaption, MB_ICONERROR);
    return 1;
}
