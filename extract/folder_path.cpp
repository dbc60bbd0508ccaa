// Folder creation on its own, so that the shortcut dialog can use it without
// pulling the install step and its progress sink into the program.
#include <cstring>

#include "extract/install.h"

void CreateFolderPath(const char* path) {
    char work[kSlotSize];
    size_t length = strlen(path);
    if (length >= sizeof work) return;  // a cut path would create the wrong folders
    memcpy(work, path, length + 1);
    if (length > 0 && work[length - 1] == '\\') work[--length] = '\0';
    // Levels start after the drive root "C:\", which is never created.
    for (size_t i = 3; i <= length; ++i) {
        if (i < length && work[i] != '\\') continue;
        const char kept = work[i];
        work[i] = '\0';
        CreateDirectoryA(work, nullptr);
        work[i] = kept;
    }
}
