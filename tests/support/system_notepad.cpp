#include "tests/support/system_notepad.h"

#include <windows.h>

#include <cstring>

#include "tests/support/temp_folder.h"

std::string TestProgramFolder() {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string self = module;
    self.resize(self.find_last_of('\\') + 1);
    return self;
}

bool WineOverrides(const char* setting) {
    char overrides[512] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    return strstr(overrides, setting) != nullptr;
}

SystemNotepad::SystemNotepad(const std::string& contents) {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, sizeof folder);
    path_ = std::string(folder) + "\\notepad.exe";
    saved_ = path_ + ".portavo-saved";
    Restore();  // what a test that crashed left behind
    planted_ = WineOverrides("notepad.exe=n") && MoveFileA(path_.c_str(), saved_.c_str()) &&
               (contents.empty() ? CopyFileA((TestProgramFolder() + "notepad-recorder.exe").c_str(),
                                             path_.c_str(), FALSE)
                                 : WriteWholeFile(path_, contents));
}

void SystemNotepad::Restore() {
    if (FileExists(saved_)) {
        DeleteFileA(path_.c_str());
        MoveFileA(saved_.c_str(), path_.c_str());
    }
}
