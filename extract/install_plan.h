// What the install step does with each target, decided from what is on disk
// before anything changes. Plain C++, so that the rules are tested natively.
#pragma once

#include "core/config.h"

enum PlanAction {
    kPlanKeep,     // leave the file as it is (the meter still counts the entry)
    kPlanWrite,    // nothing there: write the new file
    kPlanReplace,  // move the earlier file aside, then write the new one
    kPlanRemove,   // a file an earlier version installed: move it aside
};

// A file table entry. exists: its target is a file now; earlierInstallation:
// the install folder holds a file of the product's table. An earlier
// installation's own files are written anew (its clean-up), except its data
// files; flag 0x10 always writes; anything else that exists is kept.
PlanAction PlanEntry(const FileEntry& entry, bool exists, bool earlierInstallation);

// A file that earlier versions installed and this one does not, relative to
// the install folder: removed from an earlier installation unless it is a
// data file.
PlanAction PlanRetiredFile(const char* relativePath, bool exists, bool earlierInstallation);

// Whether an action changes the target, so that it must be free to change.
bool ChangesTarget(PlanAction action);
