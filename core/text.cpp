#include "core/text.h"

#include <cstring>

#include "core/code_page.h"

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
    if (fits && !EndsInBackslash(folder, folder + strlen(folder)))
        fits = Append(out, outSize, &used, "\\");
    fits = fits && Append(out, outSize, &used, name) &&
           (!quoted || Append(out, outSize, &used, "\""));
    out[fits ? used : 0] = '\0';
    return fits;
}

void NormalizeFolderCase(char* path) {
    // The character after a space or a backslash starts a word: it is
    // upper-cased, and not itself taken for a separator.
    bool startsWord = true;
    for (char* p = path; *p; p = NextChar(p)) {
        if (startsWord) {
            if (IsLower(*p)) *p = FoldAscii(*p);
            startsWord = false;
        } else if (*p == ' ' || *p == '\\') {
            startsWord = true;
        } else if (IsUpper(*p)) {
            *p = static_cast<char>(*p - 'A' + 'a');
        }
    }
}

char FoldAscii(char c) { return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c; }

const char* MatchIgnoringCase(const char* text, const char* end, const char* word) {
    while (*word) {
        const char* nextWord = NextChar(word);
        const size_t length = static_cast<size_t>(nextWord - word);
        if (text >= end || static_cast<size_t>(end - text) < length ||
            (IsLeadByte(*text) && end - text >= 2 ? 2u : 1u) != length)
            return nullptr;
        if (length == 1 ? FoldAscii(*text) != FoldAscii(*word) : memcmp(text, word, length) != 0)
            return nullptr;
        text += length;
        word = nextWord;
    }
    return text;
}

const char* FindExtension(const char* name) {
    const char* dot = nullptr;
    for (; *name; name = NextChar(name))
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
