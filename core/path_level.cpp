#include "core/path_level.h"

#include <cstring>

#include "core/code_page.h"
#include "core/text.h"

namespace {

bool IsForbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F || strchr("<>\"|?*:/", c) != nullptr;
}

// Whether [begin, end) is name. Only single-byte ASCII letters are folded (the
// device names are all ASCII); every other byte must be equal.
bool IsName(const char* begin, const char* end, const char* name) {
    return MatchIgnoringCase(begin, end, name) == end;
}

// The digit that ends COM and LPT device names: 0 to 9, or a superscript 1, 2
// or 3 as the code page spells it.
bool IsDeviceDigit(const char* begin, const char* end) {
    if (end - begin == 1 && *begin >= '0' && *begin <= '9') return true;
    for (const char* digit : g_codePage.superscriptDigits)
        if (*digit && static_cast<size_t>(end - begin) == strlen(digit) &&
            memcmp(begin, digit, end - begin) == 0)
            return true;
    return false;
}

// The part before the first dot, without the spaces that end it, compared
// with the device names: "nul.txt", "Com1.log" and "NUL .x" all name a device.
bool IsDeviceName(const char* begin, const char* end) {
    const char* stem = begin;
    while (stem < end && *stem != '.') stem = NextChar(stem);
    while (stem > begin && stem[-1] == ' ') --stem;
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices)
        if (IsName(begin, stem, device)) return true;
    if (stem - begin < 4) return false;
    return (IsName(begin, begin + 3, "COM") || IsName(begin, begin + 3, "LPT")) &&
           IsDeviceDigit(begin + 3, stem);
}

}  // namespace

PathLevelFault CheckPathLevel(const char* begin, const char* end) {
    bool onlyDotsAndSpaces = true;
    const char* last = begin;
    for (const char* p = begin; p < end; p = NextChar(p)) {
        if (IsLeadByte(*p) && p + 1 >= end) return kPathLevelBroken;
        if (IsForbidden(static_cast<unsigned char>(*p))) return kPathLevelCharacter;
        if (*p != '.' && *p != ' ') onlyDotsAndSpaces = false;
        last = p;
    }
    if (onlyDotsAndSpaces) return kPathLevelEmpty;
    if (*last == ' ' || *last == '.') return kPathLevelTrailing;
    if (IsDeviceName(begin, end)) return kPathLevelDevice;
    return kPathLevelFine;
}

PathLevelFault CheckPathLevels(const char* path) {
    for (const char* level = path;;) {
        const char* end = level;
        while (*end && *end != '\\') end = NextChar(end);
        if (end == level && *end == '\0' && level != path) return kPathLevelFine;
        const PathLevelFault fault = CheckPathLevel(level, end);
        if (fault != kPathLevelFine) return fault;
        if (*end == '\0') return kPathLevelFine;
        level = end + 1;
    }
}
