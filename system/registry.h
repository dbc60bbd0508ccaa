// Every registry access of the program. Writes are best-effort: failures are
// neither reported nor rolled back.
#pragma once

// Sets Explorer's AlwaysUnloadDll switch; runs first thing at start-up.
void WriteUnloadSwitch();

// Copies the install folder remembered by an earlier run into buffer (at
// least kPathBufferSize bytes) and returns true. Only a string value that fits
// a path slot with its NUL counts; otherwise returns false and leaves buffer
// as it was.
bool ReadPreviousInstallFolder(char* buffer);

// Remembers the install folder, records the version, writes the uninstall
// entry and registers the search extension with COM and Explorer's find
// extensions. Reads the product record and the path slots as they are now.
void WriteRegistryEntries();
