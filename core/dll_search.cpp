#include "core/dll_search.h"

#include "core/app.h"
#include "core/text.h"

ImageListDrawFunction g_imageListDraw;

namespace {

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFunction)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFunction)(LPCSTR);

const char kNoCommonControlsText[] =
    "Unable to load the Windows common controls (COMCTL32.DLL) from the system folder!";

// GetProcAddress's answer as the function type it has; the detour through
// void (*)() says that the cast is meant.
template <typename Function>
Function FunctionIn(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

HMODULE LoadSystemCommonControls() {
    char path[MAX_PATH];
    return SystemFolderFile(path, "comctl32.dll") ? LoadLibraryA(path) : nullptr;
}

}  // namespace

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

bool SystemFolderFile(char* out, const char* name) {
    char folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    return length != 0 && length < MAX_PATH && JoinPath(out, MAX_PATH, folder, name, 0);
}

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
