// The system's ANSI code page as the text rules need it. In code pages 932,
// 936, 949 and 950 a character can be two bytes whose second byte is '\',
// '|' or an ASCII letter, so names are walked by character, never by byte.
// Plain C++: the program fills the table from the system at start-up, the
// native tests from a table per code page.
#pragma once

struct CodePage {
    // Pairs of first and last lead byte, ended by a zero pair, as Windows
    // reports them for the code page.
    unsigned char leadByteRanges[12];
    // The superscript digits 1, 2 and 3 as this code page spells them
    // (COM and LPT followed by one name a device); empty where it has none.
    char superscriptDigits[3][3];
};

// Starts as the Western code page 1252: no lead bytes, superscripts 0xB9,
// 0xB2 and 0xB3.
extern CodePage g_codePage;

bool IsLeadByte(char c);

// The character after the one at p. A lead byte right before the end of the
// string is a broken character of its own.
const char* NextChar(const char* p);
inline char* NextChar(char* p) { return const_cast<char*>(NextChar(static_cast<const char*>(p))); }

// Whether the last character of [begin, end) is a backslash; not a trail
// byte 0x5C of a two-byte character.
bool EndsInBackslash(const char* begin, const char* end);
