#include "extract/install_plan.h"

#include "core/product_files.h"

PlanAction PlanEntry(const FileEntry& entry, bool exists, bool earlierInstallation) {
    if (!exists) return kPlanWrite;
    if (entry.flags & kAlwaysOverwrite) return kPlanReplace;
    const bool cleanedUp = earlierInstallation && !(entry.flags & kInWindowsFolder) &&
                           !IsDataFile(entry.fileName);
    return cleanedUp ? kPlanReplace : kPlanKeep;
}

PlanAction PlanRetiredFile(const char* relativePath, bool exists, bool earlierInstallation) {
    if (!exists || !earlierInstallation || IsDataFile(relativePath)) return kPlanKeep;
    return kPlanRemove;
}

bool ChangesTarget(PlanAction action) { return action == kPlanReplace || action == kPlanRemove; }
