// Text rules of the program group: which names the group page takes, and where
// a shortcut's link file goes. No Win32 here, so the rules are tested natively.
#pragma once

#include <cstddef>

#include "core/config.h"
#include "core/path_level.h"

// Why a group name is refused: the path level rule's fault, where a level
// made only of dots and spaces, an empty level, a drive ("C:") or a leading
// backslash all mean that the links would not land in a folder of its own
// below the Programs folder.
enum GroupNameFault {
    kGroupNameFine = kPathLevelFine,
    kGroupNameOutside = kPathLevelEmpty,
    kGroupNameBadCharacter = kPathLevelCharacter,  // / : * ? " < > |, a control or broken character
    kGroupNameTrailing = kPathLevelTrailing,       // Windows would drop the space or dot
    kGroupNameDevice = kPathLevelDevice,           // such as CON or nul.txt
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
