// Opening the read-me: the command line handed to Notepad, and an install
// folder too long for it, which starts nothing rather than a cut command;
// and a program started by the desktop's shell.
#include "system/completion.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/config.h"
#include "system/desktop_shell.h"
#include "tests/support/system_notepad.h"
#include "tests/support/temp_folder.h"

namespace {

// Runs ViewReadMe with a recording notepad.exe in the system folder and
// returns the command line and working folder it recorded ("" when it was
// not started).
std::string ViewReadMeIn(const std::string& installFolder) {
    TempFolder notepad("portavo-notepad");
    SystemNotepad recorder;
    EXPECT_TRUE(recorder.planted()) << recorder.path();
    const std::string log = notepad / "notepad.log";
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_LOG", log.c_str());
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    SetCurrentDirectoryA(notepad.path().c_str());

    strcpy(g_installFolder, installFolder.c_str());
    HWND backdrop = CreateWindowExA(0, "STATIC", "backdrop", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                    nullptr, nullptr, nullptr, nullptr);
    ViewReadMe(backdrop);
    EXPECT_FALSE(IsIconic(backdrop)) << "restored in every case";
    DestroyWindow(backdrop);

    SetCurrentDirectoryA(previous);
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_LOG", nullptr);
    std::string recorded;
    ReadWholeFile(log, &recorded);
    if (recorded.compare(0, recorder.path().size() + 1, recorder.path() + "\n") != 0) return recorded;
    return recorded.substr(recorder.path().size() + 1);
}

// A folder whose path has exactly length characters.
std::string FolderOfLength(const TempFolder& parent, size_t length) {
    std::string path = parent.path() + "\\";
    path += std::string(length - path.size(), 'r');
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
}

TEST(ViewReadMe, NotepadGetsTheQuotedReadMeAndTheInstallFolder) {
    TempFolder install("portavo read me");
    EXPECT_EQ(ViewReadMeIn(install.path()),
              "Notepad.exe \"" + install.path() + "\\Read Me.txt\"\n" + install.path() + "\n");
}

TEST(ViewReadMe, AFolderTooLongForTheCommandLineStartsNothing) {
    TempFolder parent("portavo-long");
    // "Notepad.exe " and the quoted "<folder>\Read Me.txt" fill the 260-byte
    // command line at a 233-character folder.
    const std::string fits = FolderOfLength(parent, 233);
    const std::string tooLong = FolderOfLength(parent, 234);
    EXPECT_EQ(ViewReadMeIn(fits), "Notepad.exe \"" + fits + "\\Read Me.txt\"\n" + fits + "\n");
    EXPECT_EQ(ViewReadMeIn(tooLong), "") << "not started with a cut command line";
}

// Wine's shell takes the whole way through the desktop's folder view: the
// program runs, with its arguments, in the folder given.
TEST(StartAsDesktopUser, TheShellStartsTheProgramWithItsArgumentsInTheFolder) {
    TempFolder folder("portavo shell start");
    char cmd[MAX_PATH];
    ASSERT_NE(GetSystemDirectoryA(cmd, MAX_PATH), 0u);
    strcat(cmd, "\\cmd.exe");
    ASSERT_TRUE(StartAsDesktopUser(cmd, "/c cd > \"where it ran.txt\"", folder.path().c_str()));
    // It does not wait: the shell's process starts the program on its own.
    const std::string written = folder / "where it ran.txt";
    std::string recorded;
    for (int i = 0; i < 100 && !(ReadWholeFile(written, &recorded) && !recorded.empty()); ++i) Sleep(100);
    EXPECT_EQ(recorded, folder.path() + "\r\n");
}

}  // namespace
