// The uninstaller's removal of itself: a copy in the temporary folder waits
// for the original to end and deletes it, and is itself deleted at the next
// restart; where no copy can run, the original is queued for the restart.
#pragma once

// The option that starts the copy: "/REMOVEAFTER pid path".
extern const char kRemoveAfterOption[];

// Starts the copy for self, the running uninstaller; false when the copy
// could not be started and self was queued for the restart instead.
bool RemoveSelfAfterExit(const char* self);

// The copy's work, with the text after the option: waits for the process,
// deletes the file (the product's uninstaller only) and queues itself.
int FinishSelfRemoval(const char* arguments);
