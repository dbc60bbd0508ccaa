// What the location page's tests look at besides its controls.
#pragma once

#include <windows.h>

// Entries of the indentation table: the Folder list holds at most this many
// items.
enum { kIndentEntries = 500 };

// Item data of the Folder list's items.
enum FolderItemKind { kRootItem = 1, kDriveItem = 2, kFolderItem = 4 };

// Indentation level (8 pixels each) of the Folder list item at index.
int FolderIndent(int index);

// The label (kPathBufferSize bytes) and the system image list icon a Folder
// list item is drawn with; current asks for the open-folder icon.
int DescribeFolderItem(const char* text, ULONG_PTR kind, bool current, char* label);

// The folder the page proposes (kPathBufferSize bytes): the one an earlier
// run remembered, else the product's folder below the maker's.
void ProposeInstallFolder(char* folder);
