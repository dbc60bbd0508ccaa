#include "core/product_files.h"

#include <cstring>

#include "core/text.h"

namespace {

const char* const kDataExtensions[] = {".KEY", ".DAT", ".FND", ".FID"};

}  // namespace

int FileCount(const ProductConfig& product) {
    const int count = product.fileCount;
    if (count < 0) return 0;
    return count > static_cast<int>(kMaxFiles) ? static_cast<int>(kMaxFiles) : count;
}

bool IsDataFile(const char* name) {
    const char* extension = FindExtension(name);
    if (!extension) return false;
    const char* end = extension + strlen(extension);
    for (const char* kept : kDataExtensions)
        if (MatchIgnoringCase(extension, end, kept) == end) return true;
    return false;
}

const char* EntryFolder(const FileEntry& entry, const char* installFolder,
                        const char* windowsFolder) {
    return (entry.flags & kInWindowsFolder) ? windowsFolder : installFolder;
}

bool EntryTarget(char* out, size_t outSize, const FileEntry& entry, const char* installFolder,
                 const char* windowsFolder) {
    const char* folder = EntryFolder(entry, installFolder, windowsFolder);
    if (folder[0] == '\0') {
        if (outSize) out[0] = '\0';
        return false;
    }
    return JoinPath(out, outSize, folder, entry.fileName, 0);
}

