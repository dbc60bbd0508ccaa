// Reads classic (not extended) dialog templates as the dialog manager does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// A name-or-ordinal field: 0x0000 (nothing), 0xFFFF and a number, or a
// NUL-terminated UTF-16 string.
struct NameOrOrdinal {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::wstring name;
};

struct ParsedControl {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    NameOrOrdinal cls, title;
    WORD extraBytes = 0;
};

struct ParsedDialog {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu, cls;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring face;
    std::vector<ParsedControl> controls;
};

// False when the bytes are not a complete classic template (an extended
// template, or a field running past `size`).
bool ParseDialogTemplate(const BYTE* data, size_t size, ParsedDialog* out);
