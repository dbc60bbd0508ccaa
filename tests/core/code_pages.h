// The code-page tables of the text rules for the code pages the tests speak,
// as Windows reports them, and a guard that puts one in force for a scope.
#pragma once

#include "core/code_page.h"

inline CodePage CodePageTable(int number) {
    switch (number) {
    case 932:
        return {{0x81, 0x9F, 0xE0, 0xFC}, {"", "", ""}};
    case 936:
    case 950:
        return {{0x81, 0xFE}, {"", "", ""}};
    case 949:
        return {{0x81, 0xFE}, {"\xA9\xF6", "\xA9\xF7", "\xA9\xF8"}};
    default:
        return {{0}, {"\xB9", "\xB2", "\xB3"}};  // 1252
    }
}

struct InCodePage {
    explicit InCodePage(int number) : saved(g_codePage) { g_codePage = CodePageTable(number); }
    ~InCodePage() { g_codePage = saved; }
    InCodePage(const InCodePage&) = delete;
    InCodePage& operator=(const InCodePage&) = delete;
    CodePage saved;
};
