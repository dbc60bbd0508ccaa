// What the read-me tests plant in the system folder: Notepad is started from
// there by its full path, so a recording notepad.exe stands in for it.
#pragma once

#include <string>

// The folder of this test program, with its closing backslash: the recorders
// are built beside it.
std::string TestProgramFolder();

// Whether Wine's DLL overrides hold setting. Wine reads them from the
// environment it was started with, which every child inherits; the project's
// Wine scripts set them for every run. "comctl32=n,b": a COMCTL32.DLL beside
// the program before Wine's own, as Windows takes a DLL that is not a known
// DLL. "notepad.exe=n,b": a native notepad.exe in the system folder.
bool WineOverrides(const char* setting);

// The system folder's notepad.exe, replaced for one test by the recorder (or
// by other contents) and put back afterwards.
class SystemNotepad {
public:
    explicit SystemNotepad(const std::string& contents = "");
    ~SystemNotepad() { Restore(); }
    SystemNotepad(const SystemNotepad&) = delete;
    SystemNotepad& operator=(const SystemNotepad&) = delete;

    // False when Wine would not run it (WINEDLLOVERRIDES without
    // notepad.exe=n, as scripts/wine-env sets it) or it could not be planted.
    bool planted() const { return planted_; }
    const std::string& path() const { return path_; }

private:
    void Restore();
    std::string path_, saved_;
    bool planted_ = false;
};
