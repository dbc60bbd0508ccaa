#include "pages/group_name.h"

GroupNameFault CheckGroupName(const char* name) {
    const bool drive = ((name[0] | 0x20) >= 'a' && (name[0] | 0x20) <= 'z') && name[1] == ':';
    if (drive || name[0] == '\\') return kGroupNameOutside;
    return static_cast<GroupNameFault>(CheckPathLevels(name));
}
