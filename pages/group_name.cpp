#include "pages/group_name.h"

#include <cstring>

namespace {

bool IsForbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F || strchr("/:*?\"<>|", c) != nullptr;
}

// True for a level that names no folder of its own: empty, or only dots and
// spaces (Windows drops trailing dots and spaces, so "..", ". " and "  "
// would mean the Programs folder itself or the one above it).
bool IsEmptyLevel(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p)
        if (*p != '.' && *p != ' ') return false;
    return true;
}

bool Append(char* out, size_t outSize, size_t* used, const char* text) {
    for (; *text; ++text) {
        if (*used + 1 >= outSize) return false;
        out[(*used)++] = *text;
    }
    return true;
}

bool EndFolder(char* out, size_t outSize, size_t* used) {
    if (*used > 0 && out[*used - 1] == '\\') return true;
    return Append(out, outSize, used, "\\");
}

}  // namespace

GroupNameFault CheckGroupName(const char* name) {
    const bool drive = ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') && name[1] == ':';
    if (drive || name[0] == '\\') return kGroupNameOutside;
    for (const char* p = name; *p; ++p)
        if (IsForbidden(static_cast<unsigned char>(*p))) return kGroupNameBadCharacter;
    for (const char* level = name;;) {
        const char* end = strchr(level, '\\');
        if (!end) end = level + strlen(level);
        if (end == level && *end == '\0') return kGroupNameFine;  // after one trailing backslash
        if (IsEmptyLevel(level, end)) return kGroupNameOutside;
        if (*end == '\0') return kGroupNameFine;
        level = end + 1;
    }
}

bool MakeShortcutPath(char* out, size_t outSize, const char* programs, const char* group,
                      const char* name) {
    if (outSize == 0) return false;
    size_t used = 0;
    const bool fits = Append(out, outSize, &used, programs) && EndFolder(out, outSize, &used) &&
                      Append(out, outSize, &used, group) && EndFolder(out, outSize, &used) &&
                      Append(out, outSize, &used, name) && Append(out, outSize, &used, ".lnk");
    out[fits ? used : 0] = '\0';
    return fits;
}
