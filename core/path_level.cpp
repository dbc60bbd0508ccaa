#include "core/path_level.h"

#include <cstring>

namespace {

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsForbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F || strchr("<>\"|?*:/", c) != nullptr;
}

// The part before the first dot, without the spaces that end it, compared
// with the device names: "nul.txt", "Com1.log" and "NUL .x" all name a device.
bool IsDeviceName(const char* begin, const char* end) {
    const char* stem = begin;
    while (stem < end && *stem != '.') ++stem;
    while (stem > begin && stem[-1] == ' ') --stem;
    const size_t length = static_cast<size_t>(stem - begin);
    if (length < 3 || length > 4) return false;
    char name[5] = {};
    for (size_t i = 0; i < length; ++i) name[i] = FoldAscii(begin[i]);
    if (length == 3)
        return !strcmp(name, "CON") || !strcmp(name, "PRN") || !strcmp(name, "AUX") ||
               !strcmp(name, "NUL");
    return (!strncmp(name, "COM", 3) || !strncmp(name, "LPT", 3)) && name[3] >= '1' &&
           name[3] <= '9';
}

}  // namespace

PathLevelFault CheckPathLevel(const char* begin, const char* end) {
    bool onlyDotsAndSpaces = true;
    for (const char* p = begin; p < end; ++p) {
        if (IsForbidden(static_cast<unsigned char>(*p))) return kPathLevelCharacter;
        if (*p != '.' && *p != ' ') onlyDotsAndSpaces = false;
    }
    if (onlyDotsAndSpaces) return kPathLevelEmpty;
    if (end[-1] == ' ' || end[-1] == '.') return kPathLevelTrailing;
    if (IsDeviceName(begin, end)) return kPathLevelDevice;
    return kPathLevelFine;
}

PathLevelFault CheckPathLevels(const char* path) {
    for (const char* level = path;;) {
        const char* end = strchr(level, '\\');
        if (!end) end = level + strlen(level);
        if (end == level && *end == '\0' && level != path) return kPathLevelFine;
        const PathLevelFault fault = CheckPathLevel(level, end);
        if (fault != kPathLevelFine) return fault;
        if (*end == '\0') return kPathLevelFine;
        level = end + 1;
    }
}
