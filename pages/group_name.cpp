#include "pages/group_name.h"

#include <cstring>

#include "core/code_page.h"

namespace {

bool Append(char* out, size_t outSize, size_t* used, const char* text) {
    for (; *text; ++text) {
        if (*used + 1 >= outSize) return false;
        out[(*used)++] = *text;
    }
    return true;
}

bool EndFolder(char* out, size_t outSize, size_t* used) {
    if (EndsInBackslash(out, out + *used)) return true;
    return Append(out, outSize, used, "\\");
}

}  // namespace

GroupNameFault CheckGroupName(const char* name) {
    const bool drive = ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') && name[1] == ':';
    if (drive || name[0] == '\\') return kGroupNameOutside;
    return static_cast<GroupNameFault>(CheckPathLevels(name));
}

bool GroupLinksFit(const char* programs, const char* group, const ProductConfig& product) {
    char link[kPathBufferSize];
    for (int i = 0; i < product.shortcutCount; ++i)
        if (!MakeShortcutPath(link, sizeof link, programs, group, product.files[i].shortcutName))
            return false;
    return true;
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
