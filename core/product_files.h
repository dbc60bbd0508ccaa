// What the product installs, asked in one place: by the install step's
// clean-up and check before an upgrade, and by the uninstaller. Plain C++.
#pragma once

#include <cstddef>

#include "core/config.h"

// The valid entries of product's file table: 0 to kMaxFiles.
int FileCount(const ProductConfig& product);

// True for names with one of the product's data extensions (".KEY", ".DAT",
// ".FND", ".FID", ASCII letters in any case): the user's indexes, databases
// and keys, which neither an upgrade nor a removal deletes.
bool IsDataFile(const char* name);

// The folder an entry is installed into: the Windows folder for flag 0x02,
// else the install folder.
const char* EntryFolder(const FileEntry& entry, const char* installFolder,
                        const char* windowsFolder);

// The entry's installed path. False, leaving out empty, when its folder is
// unknown (an empty slot) or the path does not fit outSize bytes.
bool EntryTarget(char* out, size_t outSize, const FileEntry& entry, const char* installFolder,
                 const char* windowsFolder);

