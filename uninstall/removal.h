// What the uninstaller removes: the product's files, links, empty folders and
// registry entries, as its uninstall entry and record name them.
#pragma once

#include "core/config.h"

// Where the installation is, read from its uninstall entry.
struct InstalledProduct {
    char installFolder[kPathBufferSize];  // "" when the entry names none
    char windowsFolder[kPathBufferSize];
    char groupFolder[kPathBufferSize];  // the links' folder; "" when unknown
    int groupLevels;                    // folders of the group name ("A\B": 2)
};

// What a removal left behind, for the closing box.
struct RemovalReport {
    char kept[4][kPathBufferSize];  // folders kept because something else is in them
    int keptCount;
    bool restartNeeded;             // a held file is queued for the next restart
    char failed[kPathBufferSize];   // a file that could be neither removed nor queued
};

// Reads the product's uninstall entry; false when there is none.
bool ReadInstalledProduct(InstalledProduct* out);

// Removes the files of the file table (never a data file, never the running
// program itself), the links, the folders left empty and, last, the
// registry entries. What is already gone is no failure. step is called
// before each part, with a short text for the progress window.
void RemoveProduct(const InstalledProduct& product, const char* self, RemovalReport* report,
                   void (*step)(const char* what));

// Removes the product's registry entries, each key only when nothing else
// is left in it; the uninstall entry last. Explorer's unload switch stays.
void RemoveRegistryEntries();
