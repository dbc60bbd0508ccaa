#include "tests/support/tree_snapshot.h"

#include <windows.h>

#include <cstdio>

#include "tests/support/temp_folder.h"

namespace {

uint64_t Ticks(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// FNV-1a: enough to tell contents apart in a failure message of one line.
uint64_t Fingerprint(const std::string& bytes) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
    return h;
}

std::string Describe(const std::string& path, const WIN32_FIND_DATAA& found) {
    std::string contents;
    ReadWholeFile(path, &contents);
    char line[160];
    snprintf(line, sizeof line, "%zu bytes %016llx attributes %lx written %llu created %llu",
             contents.size(), static_cast<unsigned long long>(Fingerprint(contents)),
             static_cast<unsigned long>(found.dwFileAttributes & ~FILE_ATTRIBUTE_ARCHIVE),
             static_cast<unsigned long long>(Ticks(found.ftLastWriteTime)),
             static_cast<unsigned long long>(Ticks(found.ftCreationTime)));
    return line;
}

void Walk(const std::string& folder, const std::string& prefix, TreeSnapshot* out) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string relative = prefix + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*out)[relative] = "folder";
            Walk(folder + "\\" + name, relative + "\\", out);
            continue;
        }
        (*out)[relative] = Describe(folder + "\\" + name, found);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

}  // namespace

TreeSnapshot SnapshotTree(const std::string& folder) {
    TreeSnapshot snapshot;
    Walk(folder, "", &snapshot);
    return snapshot;
}

std::string DescribeFile(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return "";
    FindClose(find);
    return Describe(path, found);
}
