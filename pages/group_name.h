// Text rules of the program group: which names the group page takes. No Win32
// here, so the rules are tested natively.
#pragma once

#include "core/path_level.h"

// Why a group name is refused: the path level rule's fault, where a level
// made only of dots and spaces, an empty level, a drive ("C:") or a leading
// backslash all mean that the links would not land in a folder of its own
// below the Programs folder.
enum GroupNameFault {
    kGroupNameFine = kPathLevelFine,
    kGroupNameOutside = kPathLevelEmpty,
    kGroupNameBadCharacter = kPathLevelCharacter,  // / : * ? " < > | or a control character
    kGroupNameTrailing = kPathLevelTrailing,       // Windows would drop the space or dot
    kGroupNameDevice = kPathLevelDevice,           // such as CON or nul.txt
    kGroupNameBroken = kPathLevelBroken,           // ends in half a character
};

// Checks a non-empty group name by the path level rule; a backslash inside
// names nested folders, and one trailing backslash is allowed.
GroupNameFault CheckGroupName(const char* name);
