// The registry keys and values that setup.exe writes and the uninstaller
// removes, named in one place.
#pragma once

constexpr char kUnloadSwitchKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\AlwaysUnloadDll";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr char kFindExtensionsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static";
// The COM class's server key, below HKCR\CLSID\{class id}.
constexpr char kServerKeyName[] = "InProcServer32";

// Values of the uninstall entry that the uninstaller reads.
constexpr char kUninstallCommandValue[] = "UninstallString";
constexpr char kInstallFolderValue[] = "Program Path";
constexpr char kGroupValue[] = "Program Group";
// The group folder in full (Programs folder and group), where the links are.
constexpr char kGroupFolderValue[] = "Program Group Folder";

// Values of the uninstall entry that deployment tools and the Apps list read;
// the uninstaller removes them with the others.
constexpr const char* kToolValues[] = {"QuietUninstallString", "InstallLocation", "DisplayIcon",
                                       "EstimatedSize",        "InstallDate",     "NoModify",
                                       "NoRepair"};
