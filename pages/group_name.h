// Text rules of the program group: which names the group page takes, and where
// a shortcut's link file goes. No Win32 here, so the rules are tested natively.
#pragma once

#include <cstddef>

#include "core/config.h"

enum GroupNameFault {
    kGroupNameFine,
    // A drive ("C:"), a leading backslash, a level made only of dots and
    // spaces, or an empty level: the links would not land in a folder of its
    // own below the Programs folder.
    kGroupNameOutside,
    // One of / : * ? " < > | or a control character, which no folder name holds.
    kGroupNameBadCharacter,
    // A level that ends in a space or a dot: the folder would be created
    // without it and the links saved under a folder that does not exist.
    kGroupNameTrailing,
    // A level named like a device, such as CON or nul.txt.
    kGroupNameDevice,
};

// Checks a non-empty group name by the path level rule; a backslash inside
// names nested folders, and one trailing backslash is allowed.
GroupNameFault CheckGroupName(const char* name);

// True when the link of each of the product's shortcuts, below programs and
// group, fits a path buffer (259 characters).
bool GroupLinksFit(const char* programs, const char* group, const ProductConfig& product);

// Programs folder, group and shortcut name followed by ".lnk", with exactly one
// backslash where a folder ends. Writes at most outSize bytes with the NUL;
// false, leaving an empty string, when the path does not fit.
bool MakeShortcutPath(char* out, size_t outSize, const char* programs, const char* group,
                      const char* name);
