// `make demo`: installs the product unattended in the real setup.exe, one
// screenshot per step, and prints what the run produced. Every text, count
// and name of the product comes from the product record linked in, the one
// setup.exe was built with; a step that does not go on is named with what
// the run showed then.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "core/config.h"
#include "core/text.h"
#include "tests/support/program_keys.h"
#include "tests/support/screen.h"
#include "tests/walk/walk.h"

namespace {

const char kFolderTyped[] = "C:\\Demo Programs";

void Step(const Walk& walk, const std::string& what, bool done) {
    printf("%-34s %s\n", what.c_str(), done ? "done" : "did not go on");
    if (!done) printf("what the run showed then:\n%s", DescribeRunWindows(walk.run).c_str());
    fflush(stdout);
}

std::string RegistryText(HKEY root, const char* key, const char* value) {
    char data[512] = "";
    DWORD size = sizeof data;
    if (RegGetValueA(root, key, value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return "(none)";
    return data;
}

void PrintFiles(const std::string& installFolder, const std::string& windowsFolder,
                const char* title = "Installed files") {
    printf("\n%s\n", title);
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
    const std::string product = g_product.productName;
    const std::string uninstall = UninstallKey();
    struct Value {
        HKEY root;
        std::string key;
        const char* name;
    } values[] = {
        {HKEY_LOCAL_MACHINE, kCompanyKey, product.c_str()},
        {HKEY_LOCAL_MACHINE, g_registration.versionKey, "Program Version"},
        {HKEY_LOCAL_MACHINE, uninstall, "DisplayName"},
        {HKEY_LOCAL_MACHINE, uninstall, "DisplayVersion"},
        {HKEY_LOCAL_MACHINE, uninstall, "Publisher"},
        {HKEY_LOCAL_MACHINE, uninstall, "UninstallString"},
        {HKEY_LOCAL_MACHINE, uninstall, "Program Group"},
        {HKEY_LOCAL_MACHINE, uninstall, "Program Group Folder"},
        {HKEY_LOCAL_MACHINE, uninstall, "HelpLink"},
        {HKEY_CLASSES_ROOT, std::string("CLSID\\") + g_registration.serverKey, nullptr},
        {HKEY_LOCAL_MACHINE,
         std::string("Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\") +
             g_registration.findExtension,
         nullptr},
    };
    printf("\nRegistry\n");
    for (const Value& v : values) {
        if (v.key.back() == '\\') continue;  // no class or find extension: nothing registered
        printf("  %s\\%s [%s] = %s\n", v.root == HKEY_CLASSES_ROOT ? "HKCR" : "HKLM", v.key.c_str(),
               v.name ? v.name : "(default)", RegistryText(v.root, v.key.c_str(), v.name).c_str());
    }
}

// Runs the uninstall entry's command as a user does: Yes to its question,
// a screenshot of each box; prints the closing box and what is left. True
// when it ran to its closing box.
bool Uninstall(const std::string& command, const std::string& installFolder, const std::string& windows) {
    printf("\nUninstalling: %s\n", command.c_str());
    Walk walk("uninstall");
    BoxInfo box;
    if (!StartCommand(&walk.run, command) ||
        !WaitForCaptionedBox(walk.run, g_product.productName, &box, 15000)) {
        printf("the uninstaller showed no question\n");
        return false;
    }
    printf("question: %s\n", box.text.c_str());
    Snap(walk, "question");
    AnswerMessageBox(box, IDYES);
    if (!WaitForCaptionedBox(walk.run, g_product.productName, &box, 30000)) {
        printf("the uninstaller showed no closing box\n");
        return false;
    }
    printf("closing box: %s\n", box.text.c_str());
    Snap(walk, "finished");
    AnswerMessageBox(box, IDOK);
    printf("uninstaller exit code %d\n", WaitForExit(&walk.run, 20000));
    Sleep(1500);  // its copy in the temporary folder deletes it
    PrintFiles(installFolder, windows, "The product's files after the uninstall");
    return true;
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
    printf("Walking the setup program of %s %s by %s: %d files, %d shortcuts\n\n", g_product.productName,
           g_product.version, g_product.companyName, g_product.fileCount, g_product.shortcutCount);
    Walk walk("demo");
    if (!StartSetup(&walk.run)) {
        printf("%s could not be started\n", SetupPath().c_str());
        return 2;
    }
    bool ok = WalkWholeInstallation(walk, kFolderTyped, Step);
    const int code = WaitForExit(&walk.run, ok ? 20000 : 5000);
    printf("setup.exe exit code %d%s\n", code, code == 1 ? "" : " (1 is a finished or cancelled run)");

    const std::string installFolder = RegistryText(HKEY_LOCAL_MACHINE, kCompanyKey, g_product.productName);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE);
    const std::string group = RegistryText(HKEY_LOCAL_MACHINE, UninstallKey().c_str(), "Program Group");
    if (installFolder != "(none)") {
        PrintFiles(installFolder, windows);
        PrintRegistry();
        PrintShortcuts(std::string(programs) + "\\" + (group != "(none)" ? group : g_product.productName));
        const std::string command = RegistryText(
            HKEY_LOCAL_MACHINE, ("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                                 std::string(g_product.productName)).c_str(), "UninstallString");
        if (ok && !Uninstall(command, installFolder, windows)) ok = false;
    } else {
        printf("\nNothing was installed: the registry holds no install folder under %s [%s]\n", kCompanyKey,
               g_product.productName);
    }
    // The virtual desktop that the demo runs in does not pass an exit code
    // on; scripts/demo reads it from here.
    const int result = ok && code == 1 ? 0 : 1;
    if (FILE* file = fopen(ShotPath("result.txt").c_str(), "w")) {
        fprintf(file, "%d\n", result);
        fclose(file);
    }
    return result;
}
