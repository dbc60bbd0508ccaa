// `make demo`: installs the product unattended in the real setup.exe, one
// screenshot per step, and prints what the run produced.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "core/config.h"
#include "core/text.h"
#include "tests/walk/walk.h"

namespace {

const char kFolderTyped[] = "C:\\Demo Programs";

void Step(const char* what, bool ok) {
    printf("%-34s %s\n", what, ok ? "done" : "did not appear");
    fflush(stdout);
}

std::string RegistryText(HKEY root, const char* key, const char* value) {
    char data[512] = "";
    DWORD size = sizeof data;
    if (RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return "(none)";
    return data;
}

void PrintFiles(const std::string& installFolder, const std::string& windowsFolder) {
    printf("\nInstalled files\n");
    for (int i = 0; i < g_product.fileCount; ++i) {
        const FileEntry& entry = g_product.files[i];
        const std::string folder = (entry.flags & kInWindowsFolder) ? windowsFolder : installFolder;
        const std::string path = folder + "\\" + entry.fileName;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
            printf("  %-48s missing\n", path.c_str());
            continue;
        }
        FILETIME local;
        SYSTEMTIME t;
        FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
        FileTimeToSystemTime(&local, &t);
        char size[kThousandsTextSize];
        FormatThousands(data.nFileSizeLow, size);
        printf("  %-48s %9s  %04u-%02u-%02u %02u:%02u:%02u\n", path.c_str(), size, t.wYear, t.wMonth,
               t.wDay, t.wHour, t.wMinute, t.wSecond);
    }
}

void PrintRegistry() {
    struct Value {
        HKEY root;
        const char* key;
        const char* name;
    } values[] = {
        {HKEY_LOCAL_MACHINE, "Software\\Velmora Utilities", "Trovado Pro"},
        {HKEY_LOCAL_MACHINE, "Software\\Velmora Utilities\\Programs\\Trovado Pro\\Current Version",
         "Program Version"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovado Pro",
         "DisplayName"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovado Pro",
         "DisplayVersion"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovado Pro",
         "Publisher"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovado Pro",
         "UninstallString"},
        {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovado Pro",
         "HelpLink"},
        {HKEY_CLASSES_ROOT, "CLSID\\{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}\\InProcServer32", nullptr},
        {HKEY_LOCAL_MACHINE,
         "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\Trovado",
         nullptr},
    };
    printf("\nRegistry\n");
    for (const Value& v : values)
        printf("  %s\\%s [%s] = %s\n", v.root == HKEY_CLASSES_ROOT ? "HKCR" : "HKLM", v.key,
               v.name ? v.name : "(default)", RegistryText(v.root, v.key, v.name).c_str());
}

void PrintShortcuts(const std::string& groupFolder) {
    printf("\nShortcuts in %s\n", groupFolder.c_str());
    CoInitialize(nullptr);
    for (int i = 0; i < g_product.shortcutCount; ++i) {
        const std::string link = groupFolder + "\\" + g_product.files[i].shortcutName + ".lnk";
        IShellLinkA* shellLink = nullptr;
        IPersistFile* file = nullptr;
        char target[MAX_PATH] = "(unreadable)";
        wchar_t wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&shellLink)))) {
            if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
                if (FAILED(file->Load(wide, STGM_READ)) ||
                    FAILED(shellLink->GetPath(target, sizeof target, nullptr, 0)))
                    lstrcpyA(target, "(missing)");
                file->Release();
            }
            shellLink->Release();
        }
        printf("  %-24s -> %s\n", (std::string(g_product.files[i].shortcutName) + ".lnk").c_str(), target);
    }
    CoUninitialize();
}

}  // namespace

int main() {
    ForgetEarlierRuns();
    ProvideFindExtensionsKey();
    Walk walk("demo");
    if (!StartSetup(&walk.run)) {
        printf("setup.exe could not be started\n");
        return 2;
    }
    bool ok = PassWelcome(walk);
    Step("Welcome: Continue", ok);
    ok = ok && PassLicense(walk);
    Step("License Agreement: I Agree", ok);
    ok = ok && PassLocation(walk, kFolderTyped);
    Step("Program Location: C:\\Demo Programs", ok);
    ok = ok && PassInstalling(walk);
    Step("Installing Files", ok);
    ok = ok && PassGroup(walk, "");
    Step("Program Group and Shortcuts", ok);
    ok = ok && PassCompletion(walk, IDNO);
    Step("Read Me: No; Finished: OK", ok);
    const int code = WaitForExit(&walk.run, ok ? 20000 : 5000);
    printf("setup.exe exit code %d\n", code);

    const std::string installFolder = RegistryText(HKEY_LOCAL_MACHINE, "Software\\Velmora Utilities",
                                                   "Trovado Pro");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
    if (installFolder != "(none)") {
        PrintFiles(installFolder, windows);
        PrintRegistry();
        PrintShortcuts(std::string(programs) + "\\Trovado Pro");
    }
    if (!ok) printf("the run stopped where the wizard is not built yet or did not go on\n");
    return code == 1 ? 0 : 1;
}
