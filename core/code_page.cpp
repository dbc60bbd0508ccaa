#include "core/code_page.h"

CodePage g_codePage = {{0}, {"\xB9", "\xB2", "\xB3"}};

bool IsLeadByte(char c) {
    const unsigned char b = static_cast<unsigned char>(c);
    for (const unsigned char* r = g_codePage.leadByteRanges;
         r + 1 < g_codePage.leadByteRanges + sizeof g_codePage.leadByteRanges && r[0]; r += 2)
        if (b >= r[0] && b <= r[1]) return true;
    return false;
}

const char* NextChar(const char* p) {
    if (*p == '\0') return p;
    return (IsLeadByte(*p) && p[1] != '\0') ? p + 2 : p + 1;
}

bool EndsInBackslash(const char* begin, const char* end) {
    const char* last = nullptr;
    for (const char* p = begin; p < end; p += (IsLeadByte(*p) && p + 1 < end) ? 2 : 1) last = p;
    return last && *last == '\\';
}
