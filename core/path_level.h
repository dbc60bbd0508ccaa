// The one rule for a level of a folder path (the text between two
// backslashes) that the install folder and the program group must obey, so
// that a name the pages take is a folder Windows can create and find again.
// Plain C strings in the system code page, walked by character
// (core/code_page.h), no Win32.
#pragma once

enum PathLevelFault {
    kPathLevelFine,
    // Empty, or only dots and spaces: "", ".", "..", " . " name no folder of
    // their own but this one or the one above.
    kPathLevelEmpty,
    // One of < > " | ? * : / or a control character.
    kPathLevelCharacter,
    // Ends in a space or a dot, which Windows drops when it creates the
    // folder but keeps in the longer paths below it.
    kPathLevelTrailing,
    // CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0 to COM9 or LPT0 to LPT9, or
    // COM and LPT followed by a superscript 1, 2 or 3, in any letter case and
    // with or without an extension: names a device, not a folder.
    kPathLevelDevice,
    // Ends in a lead byte with no second byte: a broken character, which only
    // the end of a name can hold, since the lead byte takes whatever follows.
    kPathLevelBroken,
};

// Checks the level [begin, end).
PathLevelFault CheckPathLevel(const char* begin, const char* end);

// Checks every level of path, split at backslashes; one trailing backslash
// ends the path without a level after it. The first fault found decides.
PathLevelFault CheckPathLevels(const char* path);
