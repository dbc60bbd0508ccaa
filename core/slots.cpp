#include "core/config.h"

char g_installFolder[kSlotSize] = ".";
char g_windowsFolder[kSlotSize] = ".";
char g_programsFolder[kSlotSize] = ".";
char g_groupName[kSlotSize] = ".";
