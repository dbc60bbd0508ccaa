#include "pages/programs_folder.h"

#include <shlobj.h>

#include "core/app.h"
#include "core/config.h"
#include "core/log.h"
#include "core/system_code_page.h"
#include "core/text.h"
#include "extract/transaction.h"
#include "system/desktop_user.h"

static_assert(MAX_PATH == kPathBufferSize, "a UTF-16 path holds as many characters as a path buffer bytes");

namespace {

// The Programs folder in UTF-16 where the ANSI slot cannot hold it; empty
// whenever the slot holds it.
WCHAR g_wideProgramsFolder[MAX_PATH];

}  // namespace

bool g_allUsersPrograms;

int ProgramsFolderPath(WCHAR* out, const char* tail) {
    int used = 0;
    if (g_programsFolder[0] != '\0')
        used = MultiByteToWideChar(CP_ACP, 0, g_programsFolder, -1, out, kPathBufferSize) - 1;
    else
        while ((out[used] = g_wideProgramsFolder[used]) != L'\0') ++used;
    if (used > 0 && out[used - 1] != L'\\' && used + 1 < kPathBufferSize) out[used++] = L'\\';
    const int written = used > 0 && out[used - 1] == L'\\'
                            ? MultiByteToWideChar(CP_ACP, 0, tail, -1, out + used, kPathBufferSize - used)
                            : 0;
    if (written == 0) out[0] = L'\0';
    return written == 0 ? 0 : used + written - 1;
}

// Spelled straight into the slot, so that a spelling too long for it falls
// back to the short form too. A volume that keeps no 8.3 names gives the
// long form back as the short one, which the code page cannot spell either.
void FindProgramsFolder(HWND owner) {
    WCHAR* const wide = g_wideProgramsFolder;
    g_programsFolder[0] = '\0';
    g_allUsersPrograms = LinksForAllUsers(FindDesktopUser());
    LogLine("Links for: %s", g_allUsersPrograms ? "all users" : "the run's user");
    if (FAILED(SHGetFolderPathW(owner, g_allUsersPrograms ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, nullptr,
                                SHGFP_TYPE_CURRENT, wide)))
        wide[0] = L'\0';
    if (wide[0] != L'\0' && !SpellInCodePage(wide, -1, g_programsFolder, kSlotSize)) {
        WCHAR shortForm[MAX_PATH];
        const DWORD length = GetShortPathNameW(wide, shortForm, MAX_PATH);
        if (length != 0 && length < MAX_PATH) SpellInCodePage(shortForm, -1, g_programsFolder, kSlotSize);
    }
    NormalizeFolderCase(g_programsFolder);
    if (g_programsFolder[0] != '\0') wide[0] = L'\0';
}

bool ListProgramGroups(HWND list) {
    WCHAR pattern[kPathBufferSize];
    if (!ProgramsFolderPath(pattern, "*")) return false;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    do {
        char name[MAX_PATH];
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != L'.' &&
            SpellInCodePage(found.cFileName, -1, name, sizeof name))
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return true;
}

// In UTF-16 in either form, where every backslash is one of its own. Levels
// start at the end of the Programs folder, which the group page has found.
bool MakeGroupFolder(const char* group) {
    WCHAR folder[kPathBufferSize];
    const int start = ProgramsFolderPath(folder, "");
    if (!start || !ProgramsFolderPath(folder, group)) return false;
    for (WCHAR* p = folder + start - 1;; ++p) {
        if (*p != L'\\' && *p != L'\0') continue;
        const WCHAR kept = *p;
        *p = L'\0';
        // A level this run creates is removed again, when empty, should the
        // run not finish.
        if (GetFileAttributesW(folder) == INVALID_FILE_ATTRIBUTES && NoteFolder(folder))
            CreateDirectoryW(folder, nullptr);
        if (kept == L'\0' || p[1] == L'\0') return true;
        *p = kept;
    }
}

bool MakeLinkPath(WCHAR* out, const char* group, const char* name) {
    char file[kPathBufferSize];
    char tail[kPathBufferSize];
    return FormatText(file, sizeof file, "%s.lnk", name) && JoinPath(tail, sizeof tail, group, file, 0) &&
           ProgramsFolderPath(out, tail);
}

bool LinksFitBelowPrograms(const char* group) {
    WCHAR link[kPathBufferSize];
    for (int i = 0; i < g_product.shortcutCount; ++i)
        if (!MakeLinkPath(link, group, g_product.files[i].shortcutName)) return false;
    return true;
}
