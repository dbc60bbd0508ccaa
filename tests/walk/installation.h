// What a finished installation must have left behind, read back from disk,
// the registry and the shell links, with GoogleTest expectations.
#pragma once

#include <string>

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
