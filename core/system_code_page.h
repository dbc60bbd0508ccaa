// The system's ANSI code page, asked of Windows.
#pragma once

#include <windows.h>

// Fills the text rules' code-page table (core/code_page.h) from the system.
void ReadSystemCodePage();

// Spells length UTF-16 characters of wide (-1: up to and with its NUL) in the
// system's ANSI code page. Returns the bytes written; 0, with out empty, when
// they do not fit outSize or a character has no exact spelling there (no
// "best fit" look-alikes, which would name another file).
int SpellInCodePage(const WCHAR* wide, int length, char* out, int outSize);
