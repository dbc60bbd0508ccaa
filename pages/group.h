// What the group page and the unattended run share: which group names are
// taken, and the links made in the group.
#pragma once

#include "core/config.h"

// The warning for a group name the page refuses, or nullptr for one it
// takes: empty, against the path level rule, or too long for its links.
const char* GroupRefusal(const char* name);

// Makes one entry's link in g_groupName below the Programs folder; false
// when any part of it could not be made. COM is started by the caller.
bool CreateEntryShortcut(const FileEntry& entry);
