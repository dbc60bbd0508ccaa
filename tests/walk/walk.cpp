#include "tests/walk/walk.h"

#include <cstdio>

#include "resources/ids.h"
#include "tests/walk/screen.h"

HWND WaitForWelcome(const Walk& walk, DWORD timeoutMs) {
    return WaitForWindow(walk.run, "InstallDlg", "Portavo", timeoutMs);
}

HWND WaitForBackdrop(const Walk& walk, DWORD timeoutMs) {
    return WaitForWindow(walk.run, "InstallApp", "Portavo", timeoutMs);
}

HWND WaitForPage(const Walk& walk, const char* caption, DWORD timeoutMs) {
    return WaitForWindow(walk.run, "#32770", caption, timeoutMs);
}

std::string Snap(Walk& walk, const std::string& step) {
    char number[8];
    snprintf(number, sizeof number, "%02d", ++walk.shots);
    const std::string path = ShotPath(walk.name + "-" + number + "-" + step + ".png");
    SavePng(CaptureScreen(), path);
    return path;
}

void ForgetEarlierRuns() {
    const char* const machineKeys[] = {
        "Software\\Velmora Utilities",
        "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trovado Pro",
        "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Static\\Trovado",
        "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\AlwaysUnloadDll",
    };
    for (const char* key : machineKeys) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "CLSID\\{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}");
}

bool PassWelcome(Walk& walk) {
    HWND page = WaitForWelcome(walk);
    if (!page) return false;
    Snap(walk, "welcome");
    Click(page, IDOK);
    return WaitUntilGone(page, 5000);
}

bool PassLicense(Walk& walk) {
    HWND page = WaitForPage(walk, "Trovado Pro License Agreement");
    if (!page) return false;
    Snap(walk, "license");
    Click(page, IDOK);
    return WaitUntilGone(page, 5000);
}
