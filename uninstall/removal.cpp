#include "uninstall/removal.h"

#include <windows.h>
#include <shlobj.h>

#include "core/log.h"
#include "core/product_files.h"
#include "core/text.h"
#include "system/registry_keys.h"

namespace {

enum { kKeyPathSize = 512 };

// A string value of key that fits a path buffer with its NUL; "" otherwise.
void ReadString(HKEY key, const char* name, char* out) {
    DWORD type = REG_NONE;
    DWORD size = kPathBufferSize;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out), &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0 ||
        out[size - 1] != '\0')
        out[0] = '\0';
}

// Folders in a path or levels in a key path: one more than its backslashes.
int Levels(const char* path) {
    int levels = 1;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') ++levels;
    return levels;
}

// Cuts path before its last backslash; false when it has none.
bool CutLastLevel(char* path) {
    char* last = nullptr;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') last = p;
    if (!last) return false;
    *last = '\0';
    return true;
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Folders that are Windows' or the user's own, never removed even when empty.
bool IsSystemFolder(const char* folder) {
    static const int kFolders[] = {
        CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,       CSIDL_PERSONAL,
        CSIDL_DESKTOPDIRECTORY, CSIDL_WINDOWS,    CSIDL_APPDATA,         CSIDL_LOCAL_APPDATA,
        CSIDL_COMMON_APPDATA, CSIDL_COMMON_DOCUMENTS, CSIDL_PROGRAMS,   CSIDL_COMMON_PROGRAMS,
        CSIDL_STARTMENU,     CSIDL_COMMON_STARTMENU};
    for (int id : kFolders) {
        char path[MAX_PATH];
        if (SUCCEEDED(SHGetFolderPathA(nullptr, id, nullptr, 0, path)) && lstrcmpiA(path, folder) == 0)
            return true;
    }
    return false;
}

void NoteKept(RemovalReport* report, const char* folder) {
    if (report->keptCount < 4) lstrcpynA(report->kept[report->keptCount++], folder, kPathBufferSize);
}

// Removes folder and then each parent, at most levels folders, while they
// are empty; a drive's root and Windows' own folders stay. The first folder
// kept because something else is in it is noted.
void RemoveEmptyFolders(const char* start, int levels, RemovalReport* report) {
    char folder[kPathBufferSize];
    lstrcpynA(folder, start, sizeof folder);
    for (int level = 0; level < levels && Levels(folder) > 1 && !IsSystemFolder(folder); ++level) {
        const bool removed = RemoveDirectoryA(folder);
        const DWORD error = GetLastError();
        if (removed) {
            LogLine("Folder removed: %s", folder);
        } else if (Exists(folder)) {
            if (error == ERROR_DIR_NOT_EMPTY) LogLine("Folder kept: %s (not empty)", folder);
            else LogError("removing", folder, error);
            if (level == 0) NoteKept(report, folder);
            return;
        }
        if (!CutLastLevel(folder)) return;
    }
}

// Deletes one file. Gone already is fine. A file that Windows holds is
// renamed aside in its folder and deleted at the next restart, or, where it
// cannot be renamed, queued under its own name.
void RemoveFile(const char* path, RemovalReport* report) {
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path)) {
        LogLine("File removed: %s", path);
        return;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return;
    char folder[kPathBufferSize];
    char aside[MAX_PATH];
    lstrcpynA(folder, path, sizeof folder);
    bool queued = false;
    if (CutLastLevel(folder) && GetTempFileNameA(folder, "del", 0, aside)) {
        queued = MoveFileExA(path, aside, MOVEFILE_REPLACE_EXISTING) &&
                 MoveFileExA(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        if (!queued) DeleteFileA(aside);
    }
    if (queued || MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
        report->restartNeeded = true;
        LogLine("File queued for restart: %s", path);
    } else {
        lstrcpynA(report->failed, path, kPathBufferSize);
        LogError("removing", path, error);
    }
}

void RemoveFiles(const InstalledProduct& product, const char* self, RemovalReport* report) {
    for (int i = 0; i < FileCount(g_product); ++i) {
        const FileEntry& entry = g_product.files[i];
        char path[kPathBufferSize];
        if (!EntryTarget(path, sizeof path, entry, product.installFolder, product.windowsFolder) ||
            lstrcmpiA(path, self) == 0)
            continue;
        if (!IsDataFile(entry.fileName)) RemoveFile(path, report);
        else if (Exists(path)) LogLine("File kept: %s (data file)", path);
    }
}

void RemoveLinks(const InstalledProduct& product) {
    if (product.groupFolder[0] == '\0') return;
    for (int i = 0; i < g_product.shortcutCount && i < FileCount(g_product); ++i) {
        char joined[kPathBufferSize];
        char link[kPathBufferSize];
        if (!JoinPath(joined, sizeof joined, product.groupFolder, g_product.files[i].shortcutName, 0) ||
            !FormatText(link, sizeof link, "%s.lnk", joined))
            continue;
        if (DeleteFileA(link)) {
            LogLine("Link removed: %s", link);
            continue;
        }
        const DWORD error = GetLastError();
        if (Exists(link)) LogError("removing", link, error);
    }
}

// Registry: a value deleted, and keys deleted from the deepest up while
// nothing is left in them, keeping the first keepLevels levels of path.
void DeleteValue(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

bool IsEmptyKey(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD keys = 1, values = 1;
    const bool empty = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values,
                                        nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
                       keys == 0 && values == 0;
    RegCloseKey(key);
    return empty;
}

void DeleteEmptyKeys(HKEY root, const char* start, int keepLevels) {
    const char* rootName = root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT" : "HKEY_LOCAL_MACHINE";
    char path[kKeyPathSize];
    lstrcpynA(path, start, sizeof path);
    while (Levels(path) > keepLevels) {
        HKEY key;
        const bool present = RegOpenKeyExA(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
        if (present) RegCloseKey(key);
        if (present) {
            if (!IsEmptyKey(root, path)) return;
            const LONG result = RegDeleteKeyA(root, path);
            if (result != ERROR_SUCCESS) {
                LogError("removing", path, static_cast<DWORD>(result));
                return;
            }
            LogLine("Registry key removed: %s\\%s", rootName, path);
        }
        if (!CutLastLevel(path)) return;
    }
}

// path of at most kKeyPathSize bytes: first\second.
void KeyPath(char* out, const char* first, const char* second) {
    FormatText(out, kKeyPathSize, "%s\\%s", first, second);
}

void RemoveClassRegistration() {
    if (g_registration.classId[0] == '\0') return;
    char classKey[kKeyPathSize];
    char serverKey[kKeyPathSize];
    KeyPath(classKey, "CLSID", g_registration.classId);
    KeyPath(serverKey, "CLSID", g_registration.serverKey);
    DeleteValue(HKEY_CLASSES_ROOT, serverKey, nullptr);
    DeleteValue(HKEY_CLASSES_ROOT, serverKey, "ThreadingModel");
    DeleteValue(HKEY_CLASSES_ROOT, classKey, nullptr);
    DeleteEmptyKeys(HKEY_CLASSES_ROOT, serverKey, 1);
}

void RemoveFindExtension() {
    if (g_registration.findExtension[0] == '\0') return;
    char base[kKeyPathSize];
    char menu[kKeyPathSize];
    char icon[kKeyPathSize];
    KeyPath(base, kFindExtensionsKey, g_registration.findExtension);
    KeyPath(menu, kFindExtensionsKey, g_registration.menuKey);
    KeyPath(icon, kFindExtensionsKey, g_registration.iconKey);
    DeleteValue(HKEY_LOCAL_MACHINE, icon, nullptr);
    DeleteValue(HKEY_LOCAL_MACHINE, menu, nullptr);
    DeleteValue(HKEY_LOCAL_MACHINE, base, nullptr);
    DeleteEmptyKeys(HKEY_LOCAL_MACHINE, icon, Levels(kFindExtensionsKey));
}

void RemoveUninstallEntry() {
    static const char* const kValues[] = {"DisplayName", "DisplayVersion",      kUninstallCommandValue,
                                          kInstallFolderValue, kGroupValue, "Publisher",
                                          "HelpLink",    kGroupFolderValue};
    char entry[kKeyPathSize];
    KeyPath(entry, kUninstallKey, g_product.productName);
    for (const char* value : kValues) DeleteValue(HKEY_LOCAL_MACHINE, entry, value);
    for (const char* value : kToolValues) DeleteValue(HKEY_LOCAL_MACHINE, entry, value);
    DeleteEmptyKeys(HKEY_LOCAL_MACHINE, entry, Levels(kUninstallKey));
}

}  // namespace

bool ReadInstalledProduct(InstalledProduct* out) {
    char entry[kKeyPathSize];
    KeyPath(entry, kUninstallKey, g_product.productName);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, entry, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    char group[kPathBufferSize];
    ReadString(key, kInstallFolderValue, out->installFolder);
    ReadString(key, kGroupFolderValue, out->groupFolder);
    ReadString(key, kGroupValue, group);
    RegCloseKey(key);
    out->groupLevels = group[0] ? Levels(group) : 1;
    // An entry from before the group folder was recorded: the group in this
    // user's Programs folder.
    char programs[MAX_PATH];
    if (out->groupFolder[0] == '\0' && group[0] &&
        SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs)) &&
        !JoinPath(out->groupFolder, kPathBufferSize, programs, group, 0))
        out->groupFolder[0] = '\0';
    const UINT length = GetWindowsDirectoryA(out->windowsFolder, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize) out->windowsFolder[0] = '\0';
    return true;
}

void RemoveProduct(const InstalledProduct& product, const char* self, RemovalReport* report,
                   void (*step)(const char* what)) {
    if (step) step("Removing files...");
    RemoveFiles(product, self, report);
    if (product.installFolder[0]) RemoveEmptyFolders(product.installFolder, Levels(product.installFolder), report);
    if (step) step("Removing shortcuts...");
    RemoveLinks(product);
    if (product.groupFolder[0]) RemoveEmptyFolders(product.groupFolder, product.groupLevels, report);
    if (step) step("Removing registry entries...");
    // With a file left that could not even be queued, the uninstall entry
    // stays, so that the user can run the removal again.
    if (report->failed[0] == '\0') RemoveRegistryEntries();
}

void RemoveRegistryEntries() {
    DeleteValue(HKEY_LOCAL_MACHINE, g_registration.versionKey, "Program Version");
    DeleteEmptyKeys(HKEY_LOCAL_MACHINE, g_registration.versionKey, Levels(g_registration.companyKey));
    DeleteValue(HKEY_LOCAL_MACHINE, g_registration.companyKey, g_product.productName);
    DeleteEmptyKeys(HKEY_LOCAL_MACHINE, g_registration.companyKey, 1);
    RemoveClassRegistration();
    RemoveFindExtension();
    RemoveUninstallEntry();
}
