// Path and text helpers shared by the install step, the pages and the
// registry code. Plain C strings in the system's 8-bit code page, walked by
// character (core/code_page.h).
#pragma once

#include <cstddef>
#include <cstdint>

// Joins folder and name with exactly one backslash between them, optionally
// enclosed in double quotes. Writes at most outSize bytes, NUL included.
// Returns false, leaving an empty string, when the joined path does not fit.
bool JoinPath(char* out, size_t outSize, const char* folder, const char* name, int quoted);

// Title-cases a folder path in place: "C:\WINDOWS" becomes "C:\Windows".
// Only single-byte ASCII letters change.
void NormalizeFolderCase(char* path);

// The upper-case letter for an ASCII lower-case one; any other byte as it is.
char FoldAscii(char c);

// Where word ends when it stands at the start of [text, end): compared by
// character, single-byte ASCII letters without case and every other byte
// exactly. nullptr when word is not there.
const char* MatchIgnoringCase(const char* text, const char* end, const char* word);

// The last "." in name (the extension with its dot), or nullptr.
const char* FindExtension(const char* name);

// Decimal digits with a comma after every third digit from the right
// ("1,234"). out needs kThousandsTextSize bytes; returns the length.
enum { kThousandsTextSize = 14 };
size_t FormatThousands(uint32_t value, char* out);

// Formats text whose only conversions are "%s" (replaced by first, then
// second; a missing argument gives nothing) and "%%", writing at most outSize
// bytes with the NUL. Returns false when the result had to be cut short; out
// then holds as much of it as fits.
bool FormatText(char* out, size_t outSize, const char* format, const char* first,
                const char* second = nullptr);

// Copies path into a path slot of slotSize bytes when it fits whole; a path
// that does not fit leaves the slot empty rather than cut, since a cut path
// names another folder. Returns whether it was copied.
bool FillSlot(char* slot, size_t slotSize, const char* path);
