#include "system/shortcut_scope.h"

bool LinksForAllUsers(DesktopUser desktop) {
    return desktop == kDesktopUserIsOther || desktop == kNoDesktopUser;
}
