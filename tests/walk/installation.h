// What a finished installation must have left behind, read back from disk,
// the registry and the shell links, with GoogleTest expectations.
#pragma once

#include <string>

#include "tests/support/tree_snapshot.h"

struct Installation {
    std::string installFolder;  // as accepted by the location page
    std::string windowsFolder;
    std::string programsFolder;
    std::string group;
};

// The folders of this machine, with the given install folder and group ("":
// the product name, which the group page offers).
Installation ExpectedInstallation(const std::string& installFolder, const std::string& group = "");

// The product's files byte for byte, as the program's build found them in
// PORTAVO_PAYLOAD_SOURCE and PORTAVO_PAYLOAD_MADE (the test program's compile
// definitions), each in its folder, stamped with the release
// time. Access times only mean something until anything reads the files: the
// link object reads its target under Wine, and this check reads them all.
void ExpectFilesInstalled(const Installation& installation, bool accessTimes);
// Every value of the five registry groups.
void ExpectRegistryEntries(const Installation& installation);
// One link per shortcut entry, with target, working folder and description.
void ExpectShortcuts(const Installation& installation);

// After an uninstall: no file of the file table but the uninstaller, and
// its data files still there, no link of the product, none of its registry entries; the
// unload switch stays.
void ExpectProductRemoved(const Installation& installation);
// Waits up to ten seconds for the uninstaller to be deleted after its run;
// false when it is still there.
bool WaitUntilUninstallerGone(const Installation& installation);

// The uninstall entry's command, or "" when there is none.
std::string UninstallCommand();

// The install folder remembered in the registry, or "" when there is none.
std::string RememberedFolder();

// Removes the files, the group folder and the registry entries of a run.
void RemoveInstallation(const Installation& installation);

// An earlier installation of the product as a user's machine holds it: every
// file of the table with earlier contents and an old time stamp, the group
// with an earlier link of each shortcut, and a link of the user's own.
void MakeEarlierInstallation(const Installation& installation);

// What the product has on this machine: the install folder and the group
// folder whole, and the table's files in the Windows folder with anything an
// unfinished run could leave beside them (earlier copies, temporary files,
// the journal). Two equal snapshots: the machine is as it was.
TreeSnapshot SnapshotInstallation(const Installation& installation);
