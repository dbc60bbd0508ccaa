// Folder creation on its own: every missing level of the install folder's
// path, testable without the install step and its progress sink.
#include <windows.h>

#include <cstring>

#include "core/code_page.h"
#include "core/text.h"
#include "extract/install.h"

void ForEachFolderLevel(const char* path, void (*visit)(const char* level)) {
    char work[kSlotSize];
    const size_t length = strlen(path);
    // A drive root has nothing to create; a cut path would name the wrong folders.
    if (length <= 3 || length >= sizeof work) return;
    memcpy(work, path, length + 1);
    // Levels start after the drive root "C:\", which is never created; each
    // backslash that is a character of its own, not a second byte, ends one.
    for (char* p = work + 3;; p = NextChar(p)) {
        if (*p != '\\' && *p != '\0') continue;
        const char kept = *p;
        *p = '\0';
        visit(work);
        if (kept == '\0' || p[1] == '\0') return;
        *p = kept;
    }
}

void CreateFolderPath(const char* path) {
    ForEachFolderLevel(path, [](const char* level) { CreateDirectoryA(level, nullptr); });
}

// A Windows directory that cannot be read or does not fit leaves the slot
// empty, which the install step refuses as a target folder.
void FindWindowsFolder() {
    char path[kPathBufferSize];
    const UINT length = GetWindowsDirectoryA(path, sizeof path);
    // A length of the buffer or more is the size the path would need.
    if (length == 0 || length >= sizeof path) path[0] = '\0';
    FillSlot(g_windowsFolder, kSlotSize, path);
    NormalizeFolderCase(g_windowsFolder);
}

