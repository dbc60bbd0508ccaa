#include "system/registry.h"

#include <windows.h>

#include <cstring>

#include "core/config.h"
#include "core/text.h"
#include "system/registry_keys.h"

namespace {

// One REG_SZ value: a null name is the key's default value; null data means
// the value is left out.
struct StringValue {
    const char* name;
    const char* data;
};

void SetString(HKEY key, const char* name, const char* data) {
    // The stored length counts the terminating NUL.
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                   static_cast<DWORD>(strlen(data) + 1));
}

// Creates parent\path (or opens it when it exists, with any missing
// intermediate keys created on the way), writes the values and closes it. A
// key that cannot be created gets none of its values.
void WriteKey(HKEY parent, const char* path, const StringValue* values, size_t count) {
    char noClass[] = "";
    HKEY key;
    if (RegCreateKeyExA(parent, path, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (size_t i = 0; i < count; ++i)
        if (values[i].data) SetString(key, values[i].name, values[i].data);
    RegCloseKey(key);
}

// The uninstaller in the Windows folder. A path with a space is enclosed in
// double quotes, so that Windows cannot run a program named by a leading part
// of it. False when the path does not fit a path buffer.
bool FormUninstallCommand(char* out) {
    const char* name = g_product.files[kUninstallerEntry].fileName;
    if (!JoinPath(out, kPathBufferSize, g_windowsFolder, name, 0)) return false;
    return strchr(out, ' ') == nullptr || JoinPath(out, kPathBufferSize, g_windowsFolder, name, 1);
}

void WriteInstallFolder() {
    const StringValue folder = {g_product.productName, g_installFolder};
    WriteKey(HKEY_LOCAL_MACHINE, g_registration.companyKey, &folder, 1);
}

void WriteVersion() {
    const StringValue version = {"Program Version", g_product.version};
    WriteKey(HKEY_LOCAL_MACHINE, g_registration.versionKey, &version, 1);
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
    // Where the links went, for the uninstaller: the group folder in full.
    char groupFolder[kPathBufferSize];
    const bool groupKnown = JoinPath(groupFolder, sizeof groupFolder, g_programsFolder, g_groupName, 0);
    const StringValue values[] = {
        {"DisplayName", g_product.productName},
        {"DisplayVersion", displayVersion},
        {kUninstallCommandValue, FormUninstallCommand(command) ? command : nullptr},
        {kInstallFolderValue, g_installFolder},
        {kGroupValue, g_groupName},
        {"Publisher", g_product.companyName},
        {"HelpLink", g_product.helpLink},
        {kGroupFolderValue, groupKnown ? groupFolder : nullptr},
    };
    WriteKey(uninstall, g_product.productName, values, sizeof values / sizeof values[0]);
    RegCloseKey(uninstall);
}

void WriteClassRegistration() {
    if (g_registration.classId[0] == '\0') return;
    HKEY classes;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID", 0, KEY_ALL_ACCESS, &classes) != ERROR_SUCCESS)
        return;
    const StringValue name = {nullptr, g_product.productName};
    WriteKey(classes, g_registration.classId, &name, 1);
    const StringValue server[] = {{nullptr, g_registration.serverFile}, {"ThreadingModel", "Apartment"}};
    WriteKey(classes, g_registration.serverKey, server, 2);
    RegCloseKey(classes);
}

void WriteFindExtension() {
    if (g_registration.findExtension[0] == '\0') return;
    HKEY extensions;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFindExtensionsKey, 0, KEY_ALL_ACCESS, &extensions) !=
        ERROR_SUCCESS)
        return;
    const StringValue handler = {nullptr, g_registration.classId};
    WriteKey(extensions, g_registration.findExtension, &handler, 1);
    const StringValue menuText = {nullptr, g_registration.menuText};
    WriteKey(extensions, g_registration.menuKey, &menuText, 1);
    const StringValue icon = {nullptr, g_registration.iconText};
    WriteKey(extensions, g_registration.iconKey, &icon, 1);
    RegCloseKey(extensions);
}

}  // namespace

void WriteUnloadSwitch() {
    const StringValue on = {nullptr, "1"};
    WriteKey(HKEY_LOCAL_MACHINE, kUnloadSwitchKey, &on, 1);
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
