#include "core/text.h"

#include <cstring>

namespace {

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

// Appends src at out[*used]; false when it would not leave room for the NUL.
bool Append(char* out, size_t outSize, size_t* used, const char* src) {
    for (; *src; ++src) {
        if (*used + 1 >= outSize) return false;
        out[(*used)++] = *src;
    }
    return true;
}

}  // namespace

bool JoinPath(char* out, size_t outSize, const char* folder, const char* name, int quoted) {
    if (outSize == 0) return false;
    size_t used = 0;
    bool fits = (!quoted || Append(out, outSize, &used, "\"")) &&
                Append(out, outSize, &used, folder);
    // A folder that already ends with a backslash (a drive root) gets no second one.
    if (fits && (used == 0 || out[used - 1] != '\\')) fits = Append(out, outSize, &used, "\\");
    fits = fits && Append(out, outSize, &used, name) &&
           (!quoted || Append(out, outSize, &used, "\""));
    out[fits ? used : 0] = '\0';
    return fits;
}

void NormalizeFolderCase(char* path) {
    if (*path == '\0') return;
    if (IsLower(*path)) *path = static_cast<char>(*path - 'a' + 'A');
    for (char* p = path + 1; *p; ++p) {
        if (*p == ' ' || *p == '\\') {
            // The character after a separator starts a word: upper-case it and
            // step past it so that it is not lower-cased again.
            ++p;
            if (*p == '\0') break;
            if (IsLower(*p)) *p = static_cast<char>(*p - 'a' + 'A');
        } else if (IsUpper(*p)) {
            *p = static_cast<char>(*p - 'A' + 'a');
        }
    }
}

const char* FindExtension(const char* name) {
    const char* dot = nullptr;
    for (; *name; ++name)
        if (*name == '.') dot = name;
    return dot;
}

size_t FormatThousands(uint32_t value, char* out) {
    char reversed[kThousandsTextSize];
    size_t n = 0;
    int digits = 0;
    do {
        if (digits == 3) {
            reversed[n++] = ',';
            digits = 0;
        }
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
        ++digits;
    } while (value != 0);
    for (size_t i = 0; i < n; ++i) out[i] = reversed[n - 1 - i];
    out[n] = '\0';
    return n;
}

bool FormatText(char* out, size_t outSize, const char* format, const char* first,
                const char* second) {
    if (outSize == 0) return false;
    const char* args[] = {first, second};
    size_t used = 0, next = 0;
    bool fits = true;
    for (const char* f = format; *f && fits; ++f) {
        if (f[0] == '%' && f[1] == 's') {
            const char* arg = next < 2 ? args[next++] : nullptr;
            fits = Append(out, outSize, &used, arg ? arg : "");
            ++f;
        } else {
            const char one[] = {f[0], '\0'};
            if (f[0] == '%' && f[1] == '%') ++f;
            fits = Append(out, outSize, &used, one);
        }
    }
    out[used] = '\0';
    return fits;
}

bool FillSlot(char* slot, size_t slotSize, const char* path) {
    if (slotSize == 0) return false;
    const size_t length = strlen(path);
    const bool fits = length < slotSize;
    if (fits) memcpy(slot, path, length + 1);
    else slot[0] = '\0';
    return fits;
}
