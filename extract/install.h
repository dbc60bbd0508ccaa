// The install step: prepares the install folder and turns the file table into
// files on disk, reporting to the installing page's controls and meter.
#pragma once

#include <windows.h>
#include <cstdint>

#include "core/config.h"

// Sum of the unpacked sizes of the file table, set before the first file is
// written; the progress meter clamps its running count to it.
extern uint32_t g_grandTotal;

// Installs the shipped file table. Returns 1 on success, -1 when a file could
// not be created or written (after an error box owned by page).
int InstallFiles(HWND page);

// The same for any file table: the install step reads nothing else of product.
int InstallFileTable(HWND page, const ProductConfig& product);

// True when entry index of the shipped table must be written to target.
bool ShouldWriteFile(const char* target, int index);
bool ShouldWriteEntry(const char* target, const FileEntry& entry);

// True when folder holds a file of an earlier installation of product: one of
// the table's install-folder files.
bool HoldsEarlierInstallation(const char* folder, const ProductConfig& product);

// Deletes every deletable file in folder and its subfolders, read-only ones
// too; folders stay, and junctions and symbolic links to folders are not
// entered. Returns false when folder could not be listed.
bool CleanFolder(const char* folder);

// False for names with one of the product's data extensions (".KEY", ".DAT",
// ".FND", ".FID", any letter case), which survive a clean-up.
bool IsDeletable(const char* name);

// Creates every missing level of a folder path below its drive root ("C:\").
// A path that does not fit the 256-byte work buffer creates nothing.
void CreateFolderPath(const char* path);
