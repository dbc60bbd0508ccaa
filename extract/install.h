// The install step: prepares the install folder and turns the file table into
// files on disk, reporting to the installing page's controls and meter.
#pragma once

#include <windows.h>
#include <cstdint>

#include "core/config.h"

// Sum of the unpacked sizes of the file table, set before the first file is
// written; the progress meter clamps its running count to it.
extern uint32_t g_grandTotal;

// Files that earlier versions installed, relative to the install folder.
struct RetiredFiles {
    const char* const* names;
    int count;
};

// Installs the shipped file table. Returns 1 on success, -1 when the user
// cancelled at a file in use or a full drive, or a file could not be created
// or written (after an error box owned by page). Every change is part of the
// run's transaction (extract/transaction.h): the caller commits it when the
// run completes and rolls it back otherwise.
int InstallFiles(HWND page);

// The same for any file table: the install step reads nothing else of product.
int InstallFileTable(HWND page, const ProductConfig& product, const RetiredFiles& retired);

// True when folder holds a file of an earlier installation of product: one of
// the table's install-folder files.
bool HoldsEarlierInstallation(const char* folder, const ProductConfig& product);

// Calls visit for every level of a folder path below its drive root ("C:"),
// from the outermost. A path that does not fit the 256-byte work buffer
// visits nothing.
void ForEachFolderLevel(const char* path, void (*visit)(const char* level));

// Creates every missing level of a folder path below its drive root.
void CreateFolderPath(const char* path);
