#include "system/registry.h"

#include <windows.h>

#include <cstring>

#include "core/config.h"
#include "core/log.h"
#include "core/product_files.h"
#include "core/text.h"
#include "system/registry_keys.h"

namespace {

// How the log names the two roots.
const char kMachine[] = "HKLM";
const char kClasses[] = "HKCR\\CLSID";

// One REG_SZ value: a null name is the key's default value; null data means
// the value is left out.
struct StringValue {
    const char* name;
    const char* data;
};

void SetString(HKEY key, const char* name, const char* data) {
    // The stored length counts the terminating NUL.
    if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                       static_cast<DWORD>(strlen(data) + 1)) == ERROR_SUCCESS)
        LogLine("Registry value: %s = %s", name ? name : "(Default)", data);
}

void SetNumber(HKEY key, const char* name, DWORD number) {
    char text[12];
    wsprintfA(text, "%lu", number);
    if (RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number) == ERROR_SUCCESS)
        LogLine("Registry value: %s = %s", name, text);
}

// Creates parent\path (or opens it when it exists, with any missing
// intermediate keys created on the way) and writes the values; the open key,
// which the caller closes, or nullptr. A key that cannot be created gets
// none of its values. shown names parent in the log.
HKEY CreateKey(HKEY parent, const char* shown, const char* path, const StringValue* values, size_t count) {
    char noClass[] = "";
    HKEY key;
    if (RegCreateKeyExA(parent, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    LogLine("Registry key: %s\\%s", shown, path);
    for (size_t i = 0; i < count; ++i)
        if (values[i].data) SetString(key, values[i].name, values[i].data);
    return key;
}

void WriteKey(HKEY parent, const char* shown, const char* path, const StringValue* values, size_t count) {
    if (HKEY key = CreateKey(parent, shown, path, values, count)) RegCloseKey(key);
}

// The uninstaller in the Windows folder. A path with a space is enclosed in
// double quotes, so that Windows cannot run a program named by a leading part
// of it. False when the path does not fit a path buffer.
bool FormUninstallCommand(char* out) {
    const char* name = g_product.files[kUninstallerEntry].fileName;
    if (!JoinPath(out, kPathBufferSize, g_windowsFolder, name, 0)) return false;
    return strchr(out, ' ') == nullptr || JoinPath(out, kPathBufferSize, g_windowsFolder, name, 1);
}

// The product's own program, for the Apps list's icon: the install-folder
// entry whose shortcut carries the product's name; else the uninstaller.
void ProgramIcon(char* out) {
    int program = kUninstallerEntry;
    for (int i = 0; i < FileCount(g_product); ++i)
        if ((g_product.files[i].flags & kInInstallFolder) &&
            strcmp(g_product.files[i].shortcutName, g_product.productName) == 0)
            program = i;
    const FileEntry& entry = g_product.files[program];
    if (!JoinPath(out, kPathBufferSize, EntryFolder(entry, g_installFolder, g_windowsFolder), entry.fileName, 0))
        out[0] = '\0';
}

DWORD InstalledBytes() {
    DWORD total = 0;
    for (int i = 0; i < FileCount(g_product); ++i) total += g_product.files[i].unpackedSize;
    return total;
}

void WriteInstallFolder() {
    const StringValue folder = {g_product.productName, g_installFolder};
    WriteKey(HKEY_LOCAL_MACHINE, kMachine, g_registration.companyKey, &folder, 1);
}

void WriteVersion() {
    const StringValue version = {"Program Version", g_product.version};
    WriteKey(HKEY_LOCAL_MACHINE, kMachine, g_registration.versionKey, &version, 1);
}

void WriteUninstallEntry() {
    HKEY uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &uninstall) !=
        ERROR_SUCCESS)
        return;
    char displayVersion[kVersionSize + 1];
    FormatText(displayVersion, sizeof displayVersion, "v%s", g_product.version);
    // An uninstaller path too long for a path buffer is left out rather than
    // written cut short.
    char command[kPathBufferSize];
    char quietCommand[kPathBufferSize + 16];
    const bool commandKnown = FormUninstallCommand(command);
    FormatText(quietCommand, sizeof quietCommand, "%s /VERYSILENT", command);
    // Where the links went, for the uninstaller: the group folder in full.
    // A run without links (/NOICONS) names no group.
    char groupFolder[kPathBufferSize];
    const bool groupKnown = g_groupName[0] && g_programsFolder[0] &&
                            JoinPath(groupFolder, sizeof groupFolder, g_programsFolder, g_groupName, 0);
    char icon[kPathBufferSize];
    ProgramIcon(icon);
    char date[12];
    SYSTEMTIME today;
    GetLocalTime(&today);
    wsprintfA(date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    const StringValue values[] = {
        {"DisplayName", g_product.productName},
        {"DisplayVersion", displayVersion},
        {kUninstallCommandValue, commandKnown ? command : nullptr},
        {kInstallFolderValue, g_installFolder},
        {kGroupValue, g_groupName[0] ? g_groupName : nullptr},
        {"Publisher", g_product.companyName},
        {"HelpLink", g_product.helpLink},
        {kGroupFolderValue, groupKnown ? groupFolder : nullptr},
        {kToolValues[0], commandKnown ? quietCommand : nullptr},
        {kToolValues[1], g_installFolder},
        {kToolValues[2], icon[0] ? icon : nullptr},
        {kToolValues[4], date},
    };
    char shown[sizeof kUninstallKey + 8];
    FormatText(shown, sizeof shown, "%s\\%s", kMachine, kUninstallKey);
    if (HKEY entry = CreateKey(uninstall, shown, g_product.productName, values, sizeof values / sizeof values[0])) {
        SetNumber(entry, kToolValues[3], (InstalledBytes() + 1023) / 1024);
        SetNumber(entry, kToolValues[5], 1);
        SetNumber(entry, kToolValues[6], 1);
        RegCloseKey(entry);
    }
    RegCloseKey(uninstall);
}

void WriteClassRegistration() {
    if (g_registration.classId[0] == '\0') return;
    HKEY classes;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_ALL_ACCESS, &classes) != ERROR_SUCCESS)
        return;
    const StringValue name = {nullptr, g_product.productName};
    WriteKey(classes, kClasses, g_registration.classId, &name, 1);
    const StringValue server[] = {{nullptr, g_registration.serverFile}, {"ThreadingModel", "Apartment"}};
    WriteKey(classes, kClasses, g_registration.serverKey, server, 2);
    RegCloseKey(classes);
}

void WriteFindExtension() {
    if (g_registration.findExtension[0] == '\0') return;
    HKEY extensions;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFindExtensionsKey, 0, KEY_ALL_ACCESS, &extensions) !=
        ERROR_SUCCESS)
        return;
    const StringValue handler = {nullptr, g_registration.classId};
    char shown[sizeof kFindExtensionsKey + 8];
    FormatText(shown, sizeof shown, "%s\\%s", kMachine, kFindExtensionsKey);
    WriteKey(extensions, shown, g_registration.findExtension, &handler, 1);
    const StringValue menuText = {nullptr, g_registration.menuText};
    WriteKey(extensions, shown, g_registration.menuKey, &menuText, 1);
    const StringValue icon = {nullptr, g_registration.iconText};
    WriteKey(extensions, shown, g_registration.iconKey, &icon, 1);
    RegCloseKey(extensions);
}

}  // namespace

void WriteUnloadSwitch() {
    const StringValue on = {nullptr, "1"};
    WriteKey(HKEY_LOCAL_MACHINE, kMachine, kUnloadSwitchKey, &on, 1);
}

bool ReadPreviousInstallFolder(char* buffer) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, g_registration.companyKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return false;
    // Anyone can write this value, so it is read aside first: a value longer
    // than a slot fails here and leaves nothing behind.
    char folder[kSlotSize];
    DWORD type = REG_NONE;
    DWORD size = sizeof folder;
    const LONG result = RegQueryValueExA(key, g_product.productName, nullptr, &type,
                                         reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    // Stored data need not end with a NUL: the folder is taken only when a NUL
    // lies within the data returned, and an empty one is no folder.
    if (size > sizeof folder || memchr(folder, '\0', size) == nullptr || folder[0] == '\0')
        return false;
    memcpy(buffer, folder, strlen(folder) + 1);
    return true;
}

void WriteRegistryEntries() {
    // Each group stands alone: a failure in one never stops the later ones.
    WriteInstallFolder();
    WriteVersion();
    WriteUninstallEntry();
    WriteClassRegistration();
    WriteFindExtension();
}
