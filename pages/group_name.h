// Text rules of the program group: which names the group page takes, and where
// a shortcut's link file goes. No Win32 here, so the rules are tested natively.
#pragma once

#include <cstddef>

enum GroupNameFault {
    kGroupNameFine,
    // A drive ("C:"), a leading backslash, a level made only of dots and
    // spaces, or an empty level: the links would not land in a folder of its
    // own below the Programs folder.
    kGroupNameOutside,
    // One of / : * ? " < > | or a control character, which no folder name holds.
    kGroupNameBadCharacter,
};

// Checks a non-empty group name; a backslash inside names nested folders, and
// one trailing backslash is allowed.
GroupNameFault CheckGroupName(const char* name);

// Programs folder, group and shortcut name followed by ".lnk", with exactly one
// backslash where a folder ends. Writes at most outSize bytes with the NUL;
// false, leaving an empty string, when the path does not fit.
bool MakeShortcutPath(char* out, size_t outSize, const char* programs, const char* group,
                      const char* name);
