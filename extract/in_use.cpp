#include "extract/in_use.h"

#include <windows.h>
#include <restartmanager.h>

#include "core/dll_search.h"
#include "core/text.h"

namespace {

typedef DWORD(WINAPI* StartSession)(DWORD*, DWORD, WCHAR*);
typedef DWORD(WINAPI* RegisterResources)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT,
                                         LPCWSTR*);
typedef DWORD(WINAPI* GetList)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, DWORD*);
typedef DWORD(WINAPI* EndSession)(DWORD);

enum { kHoldersListed = 4 };

// Adds one program's name to the list; false when the list is full.
bool AddHolder(char* out, size_t outSize, const WCHAR* name) {
    char spelled[CCH_RM_MAX_APP_NAME + 1];
    if (!WideCharToMultiByte(CP_ACP, 0, name, -1, spelled, sizeof spelled, nullptr, nullptr))
        return true;
    char joined[512];
    const bool fits = FormatText(joined, sizeof joined, out[0] ? "%s, %s" : "%s%s", out, spelled) &&
                      FillSlot(out, outSize, joined);
    return fits;
}

void ListHolders(HMODULE library, const WCHAR* path, char* out, size_t outSize) {
    const StartSession start = reinterpret_cast<StartSession>(
        reinterpret_cast<void*>(GetProcAddress(library, "RmStartSession")));
    const RegisterResources add = reinterpret_cast<RegisterResources>(
        reinterpret_cast<void*>(GetProcAddress(library, "RmRegisterResources")));
    const GetList list =
        reinterpret_cast<GetList>(reinterpret_cast<void*>(GetProcAddress(library, "RmGetList")));
    const EndSession end =
        reinterpret_cast<EndSession>(reinterpret_cast<void*>(GetProcAddress(library, "RmEndSession")));
    DWORD session;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (!start || !add || !list || !end || start(&session, 0, key) != ERROR_SUCCESS) return;
    RM_PROCESS_INFO holders[kHoldersListed];
    UINT needed = 0;
    UINT count = kHoldersListed;
    DWORD reasons = 0;
    const DWORD listed = add(session, 1, &path, 0, nullptr, 0, nullptr) == ERROR_SUCCESS
                             ? list(session, &needed, &count, holders, &reasons)
                             : ERROR_INVALID_HANDLE;
    // More holders than the array takes: the first few are named.
    if (listed == ERROR_SUCCESS || listed == ERROR_MORE_DATA)
        for (UINT i = 0; i < count && i < kHoldersListed; ++i)
            if (!AddHolder(out, outSize, holders[i].strAppName)) break;
    end(session);
}

}  // namespace

bool IsHeld(const char* path, bool renameIsEnough) {
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    // A read-only file does not open for writing, but moving it aside is all
    // the step does to it; any other program's handle still stops that.
    const DWORD access = (attributes & FILE_ATTRIBUTE_READONLY) ? GENERIC_READ | DELETE : GENERIC_WRITE;
    HANDLE file = CreateFileA(path, access, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && renameIsEnough)
        file = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_NOT_FOUND;
    CloseHandle(file);
    return false;
}

void ProgramsHolding(const char* path, char* out, size_t outSize) {
    out[0] = '\0';
    WCHAR wide[MAX_PATH];
    char library[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) ||
        !SystemFolderFile(library, "rstrtmgr.dll"))
        return;
    HMODULE module = LoadLibraryA(library);
    if (!module) return;
    ListHolders(module, wide, out, outSize);
    FreeLibrary(module);
}
