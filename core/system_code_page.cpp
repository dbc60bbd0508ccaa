#include "core/system_code_page.h"

#include <cstring>

#include "core/code_page.h"

static_assert(sizeof CPINFO().LeadByte == sizeof g_codePage.leadByteRanges,
              "the lead-byte ranges are copied as Windows reports them");

int SpellInCodePage(const WCHAR* wide, int length, char* out, int outSize) {
    // UTF-8 spells every character and takes no question about lost ones.
    const bool utf8 = GetACP() == CP_UTF8;
    BOOL lost = FALSE;
    int written = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, length, out,
                                      outSize, nullptr, utf8 ? nullptr : &lost);
    if (lost) written = 0;
    if (written == 0 && outSize > 0) out[0] = '\0';
    return written;
}

void ReadSystemCodePage() {
    CPINFO info;
    if (GetCPInfo(CP_ACP, &info))
        memcpy(g_codePage.leadByteRanges, info.LeadByte, sizeof g_codePage.leadByteRanges);
    static const WCHAR kSuperscripts[] = {0x00B9, 0x00B2, 0x00B3};
    for (int i = 0; i < 3; ++i) {
        char* digit = g_codePage.superscriptDigits[i];
        digit[SpellInCodePage(&kSuperscripts[i], 1, digit, 2)] = '\0';
    }
}
