// The whole installation, walked from the welcome page to the closing
// message, and what the run left behind; the read-me in Notepad; cancelling.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/app.h"
#include "resources/ids.h"
#include "tests/support/temp_folder.h"
#include "tests/walk/installation.h"
#include "tests/support/screen.h"
#include "tests/walk/walk.h"

namespace {

const char kQuestion[] =
    "Trovado Pro was successfully installed.\r\n\r\nWould you like to view the Read Me file now?";
const char kClosing[] =
    "For other great software utilities be sure to\r\nstop by Velmora Utiltites home page at\r\n"
    "www.velmora.com\r\n\r\nIf you have any questions or comments you can\r\nemail support at "
    "support@velmora.com!";


// Walks from the welcome page through the group page, typing folder.
void WalkToCompletion(Walk& walk, const std::string& folder) {
    ASSERT_TRUE(PassWelcome(walk));
    ASSERT_TRUE(PassLicense(walk));
    ASSERT_TRUE(PassLocation(walk, folder));
    ASSERT_TRUE(PassInstalling(walk));
    ASSERT_TRUE(PassGroup(walk, ""));
}

// Answers Yes to the read-me question and returns Notepad's window (of the
// given class), or nullptr when none appeared.
HWND AnswerYesAndWaitForNotepad(Walk& walk, const char* notepadClass) {
    BoxInfo question;
    if (!WaitForMessageBox(walk.run, &question, 30000) || !AnswerMessageBox(question, IDYES))
        return nullptr;
    HWND notepad = nullptr;
    for (DWORD start = GetTickCount(); !notepad && GetTickCount() - start < Patience(15000); Sleep(50))
        notepad = FindWindowA(notepadClass, nullptr);
    return notepad;
}

// The folder of this test program, with its closing backslash.
std::string TestProgramFolder() {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, sizeof module);
    std::string self = module;
    self.resize(self.find_last_of('\\') + 1);
    return self;
}

// Whether Wine prefers a COMCTL32.DLL beside the program to its own, as
// Windows does for a DLL that is not a known DLL. Wine reads the setting from
// the environment it was started with, which the child inherits; the
// project's Wine scripts set it for every run.
bool WinePrefersLibraryBesideProgram() {
    char overrides[512] = "";
    GetEnvironmentVariableA("WINEDLLOVERRIDES", overrides, sizeof overrides);
    return strstr(overrides, "comctl32=n,b") != nullptr;
}

// Copies setup.exe into a folder of its own beside a planted COMCTL32.DLL,
// which records any process that loads it; "" when either is missing.
std::string SetupBesidePlantedLibrary(const TempFolder& folder) {
    const std::string setup = folder / "setup.exe";
    const bool copied =
        CopyFileA(SetupPath().c_str(), setup.c_str(), FALSE) &&
        CopyFileA((TestProgramFolder() + "planted\\comctl32.dll").c_str(),
                  (folder / "comctl32.dll").c_str(), FALSE);
    return copied ? setup : "";
}

// Distinct colours in the 16 by 16 icon square of a Folder list item on the
// screen (8 pixels of indentation a level); a drawn icon has several. The
// page may not have painted yet, so it looks again for a while.
size_t IconColours(HWND list, int item, int indent) {
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    POINT origin = {8 * indent + 1, item * height};
    ClientToScreen(list, &origin);
    size_t colours = 0;
    for (DWORD start = GetTickCount(); colours <= 2 && GetTickCount() - start < Patience(2000);
         Sleep(50)) {
        const Image icon = CaptureRect({origin.x, origin.y, origin.x + 16, origin.y + 16});
        colours = std::set<COLORREF>(icon.pixels.begin(), icon.pixels.end()).size();
    }
    return colours;
}

// Copies setup.exe into a folder of its own with a stand-in Notepad.exe.
std::string SetupBesideNotepad(const TempFolder& folder, const std::string& notepad) {
    const std::string setup = folder / "setup.exe";
    CopyFileA(SetupPath().c_str(), setup.c_str(), FALSE);
    if (notepad.empty()) {
        // The recorder is built beside this test program; setup.exe may come
        // from elsewhere (PORTAVO_SETUP_EXE).
        CopyFileA((TestProgramFolder() + "notepad-recorder.exe").c_str(),
                  (folder / "Notepad.exe").c_str(), FALSE);
    } else {
        WriteWholeFile(folder / "Notepad.exe", notepad);
    }
    return setup;
}

class CompletionTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        ForgetEarlierRuns();
        ProvideFindExtensionsKey();
    }
    void TearDown() override {
        SetEnvironmentVariableA("PORTAVO_NOTEPAD_LOG", nullptr);
        SetEnvironmentVariableA("PORTAVO_NOTEPAD_HOLD", nullptr);
        for (const Installation& i : made_) RemoveInstallation(i);
    }
    Installation Expect(const std::string& folder) {
        made_.push_back(ExpectedInstallation(folder));
        RemoveInstallation(made_.back());  // whatever an earlier run, the demo say, left there
        return made_.back();
    }
    std::vector<Installation> made_;
};

// Started from a downloads folder that holds a planted COMCTL32.DLL, in that
// folder: the run never loads it and still draws the folder icons and the
// progress bar with the system's library.
TEST_F(CompletionTest, WholeInstallationIntoATypedFolder) {
    ASSERT_TRUE(WinePrefersLibraryBesideProgram())
        << "WINEDLLOVERRIDES must hold comctl32=n,b, as scripts/wine-env sets it";
    const Installation expected = Expect("C:\\Portavo Walk\\Trovado Pro");
    TempFolder downloads("portavo-downloads");
    const std::string setup = SetupBesidePlantedLibrary(downloads);
    ASSERT_FALSE(setup.empty()) << "setup.exe and the planted library in " << downloads.path();
    const std::string marker = downloads / "comctl32-loaded.txt";
    Walk walk("install");
    ASSERT_TRUE(StartSetup(&walk.run, setup, downloads.path().c_str()));
    const bool welcomed = PassWelcome(walk);
    EXPECT_FALSE(FileExists(marker)) << "the planted COMCTL32.DLL was loaded at start-up";
    ASSERT_TRUE(welcomed);
    ASSERT_TRUE(PassLicense(walk));
    HWND location = WaitForPage(walk, "Trovado Pro Program Location");
    ASSERT_TRUE(location);
    // The computer, then drive C: one level in.
    HWND list = GetDlgItem(location, IDC_FOLDER_LIST);
    EXPECT_GT(IconColours(list, 0, 0), 2u) << "the computer's icon";
    EXPECT_GT(IconColours(list, 1, 1), 2u) << "the drive's icon";
    ASSERT_TRUE(PassLocation(walk, "C:\\Portavo Walk"));
    ASSERT_TRUE(PassInstalling(walk));
    ExpectFilesInstalled(expected, true);

    int bar = 0;
    ASSERT_TRUE(PassGroup(walk, "", &bar));
    EXPECT_GE(bar, 20) << "the progress bar";

    BoxInfo question;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &question, 30000));
    // The registry is written before the question is asked.
    EXPECT_EQ(RememberedFolder(), expected.installFolder);
    EXPECT_EQ(question.text, kQuestion);
    EXPECT_EQ(question.icon, static_cast<UINT>(MB_ICONQUESTION));
    EXPECT_TRUE(question.hasYesNo);
    EXPECT_EQ(question.owner, WaitForBackdrop(walk));
    EXPECT_EQ(HighlightedStep(5), 5) << "- View Read Me";
    Snap(walk, "question");
    ASSERT_TRUE(AnswerMessageBox(question, IDNO));

    BoxInfo closing;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &closing, 10000));
    EXPECT_EQ(closing.text, kClosing);
    EXPECT_EQ(closing.icon, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(HighlightedStep(6), 6) << "- Finished";
    Snap(walk, "finished");
    ASSERT_TRUE(AnswerMessageBox(closing, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);

    ExpectFilesInstalled(expected, false);
    ExpectRegistryEntries(expected);
    ExpectShortcuts(expected);
    std::string loader;
    EXPECT_FALSE(ReadWholeFile(marker, &loader))
        << "the planted COMCTL32.DLL was loaded by " << loader;
}

TEST_F(CompletionTest, ReadMeOpensInNotepadWhileTheBackdropWaitsMinimised) {
    TempFolder folder("portavo-notepad");
    const std::string setup = SetupBesideNotepad(folder, "");
    const std::string log = folder / "notepad.log";
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_LOG", log.c_str());
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_HOLD", "1");
    const Installation expected = Expect("C:\\Portavo Walk With Spaces\\Trovado Pro");

    Walk walk("readme");
    ASSERT_TRUE(StartSetup(&walk.run, setup));
    WalkToCompletion(walk, "C:\\Portavo Walk With Spaces");
    HWND backdrop = WaitForBackdrop(walk);
    HWND notepad = AnswerYesAndWaitForNotepad(walk, "RecordedNotepad");
    ASSERT_TRUE(notepad);
    Sleep(500);
    EXPECT_TRUE(IsIconic(backdrop)) << "minimised while Notepad runs";
    EXPECT_EQ(FindRunWindow(walk.run, "#32770", "Portavo"), nullptr) << "closing box waits for Notepad";
    PostMessageA(notepad, WM_CLOSE, 0, 0);

    BoxInfo closing;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &closing, 10000));
    EXPECT_FALSE(IsIconic(backdrop)) << "restored before the closing box";
    EXPECT_EQ(closing.text, kClosing);
    ASSERT_TRUE(AnswerMessageBox(closing, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);

    std::string recorded;
    ASSERT_TRUE(ReadWholeFile(log, &recorded));
    EXPECT_EQ(recorded, "Notepad.exe \"" + expected.installFolder + "\\Read Me.txt\"\n" +
                            expected.installFolder + "\n");
}

TEST_F(CompletionTest, NotepadThatCannotStartIsPassedOverSilently) {
    TempFolder folder("portavo-no-notepad");
    const std::string setup = SetupBesideNotepad(folder, "this is not a program\r\n");
    Expect("C:\\Portavo Walk\\Trovado Pro");
    Walk walk("no-notepad");
    ASSERT_TRUE(StartSetup(&walk.run, setup));
    WalkToCompletion(walk, "C:\\Portavo Walk");
    BoxInfo question;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &question, 30000));
    ASSERT_TRUE(AnswerMessageBox(question, IDYES));
    BoxInfo closing;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &closing, 10000));
    EXPECT_EQ(closing.text, kClosing) << "nothing is reported between the two boxes";
    EXPECT_FALSE(IsIconic(WaitForBackdrop(walk)));
    ASSERT_TRUE(AnswerMessageBox(closing, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
}

TEST_F(CompletionTest, SecondRunOffersTheRememberedFolderAndKeepsDataFiles) {
    const Installation expected = Expect("C:\\Portavo Again\\Trovado Pro");
    {
        Walk first("again-1");
        ASSERT_TRUE(StartSetup(&first.run));
        WalkToCompletion(first, "C:\\Portavo Again");
        ASSERT_TRUE(PassCompletion(first, IDNO));
        ASSERT_EQ(WaitForExit(&first.run, 10000), 1);
    }
    // What the user made since, and a file of the first run changed.
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\index.DAT", "data"));
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\notes.txt", "gone"));
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\Order.txt", "changed"));

    Walk second("again-2");
    ASSERT_TRUE(StartSetup(&second.run));
    ASSERT_TRUE(PassWelcome(second));
    ASSERT_TRUE(PassLicense(second));
    HWND location = WaitForPage(second, "Trovado Pro Program Location");
    ASSERT_TRUE(location);
    EXPECT_EQ(ItemText(location, IDC_FOLDER_PATH), expected.installFolder) << "the remembered folder";
    ASSERT_TRUE(PassLocation(second, ""));
    ASSERT_TRUE(PassInstalling(second));
    ASSERT_TRUE(PassGroup(second, ""));
    // This time the read-me opens in Wine's own Notepad, which the test closes.
    HWND notepad = AnswerYesAndWaitForNotepad(second, "Notepad");
    ASSERT_TRUE(notepad);
    Sleep(500);
    const std::string title = TextOf(notepad);
    EXPECT_NE(title.find("Read Me"), std::string::npos) << title;
    Snap(second, "notepad");
    PostMessageA(notepad, WM_CLOSE, 0, 0);
    BoxInfo closing;
    ASSERT_TRUE(WaitForMessageBox(second.run, &closing, 15000));
    ASSERT_TRUE(AnswerMessageBox(closing, IDOK));
    EXPECT_EQ(WaitForExit(&second.run, 10000), 1);

    std::string data;
    EXPECT_TRUE(ReadWholeFile(expected.installFolder + "\\index.DAT", &data) && data == "data");
    EXPECT_FALSE(FileExists(expected.installFolder + "\\notes.txt"));
    ExpectFilesInstalled(expected, false);
    ExpectShortcuts(expected);
}

TEST_F(CompletionTest, CancellingWritesNothingAfterThePointOfCancel) {
    {
        const Installation expected = Expect("C:\\Velmora Utilities\\Trovado Pro");
        Walk walk("cancel-location");
        ASSERT_TRUE(StartSetup(&walk.run));
        ASSERT_TRUE(PassWelcome(walk));
        ASSERT_TRUE(PassLicense(walk));
        HWND page = WaitForPage(walk, "Trovado Pro Program Location");
        ASSERT_TRUE(page);
        Click(page, IDCANCEL);
        BoxInfo notice;
        ASSERT_TRUE(WaitForMessageBox(walk.run, &notice, 10000));
        EXPECT_EQ(notice.text.substr(0, 21), "Installation Aborted!");
        EXPECT_EQ(notice.icon, static_cast<UINT>(MB_ICONWARNING));
        ASSERT_TRUE(AnswerMessageBox(notice, IDOK));
        EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
        EXPECT_FALSE(FolderExists(expected.installFolder));
        EXPECT_EQ(RememberedFolder(), "");
    }
    {
        const Installation expected = Expect("C:\\Portavo Cancel\\Trovado Pro");
        Walk walk("cancel-group");
        ASSERT_TRUE(StartSetup(&walk.run));
        ASSERT_TRUE(PassWelcome(walk));
        ASSERT_TRUE(PassLicense(walk));
        ASSERT_TRUE(PassLocation(walk, "C:\\Portavo Cancel"));
        ASSERT_TRUE(PassInstalling(walk));
        HWND page = WaitForPage(walk, "Trovado Pro Program Group");
        ASSERT_TRUE(page);
        PressKey(page, VK_ESCAPE);
        BoxInfo notice;
        ASSERT_TRUE(WaitForMessageBox(walk.run, &notice, 10000));
        EXPECT_EQ(notice.text.substr(0, 21), "Installation Aborted!");
        ASSERT_TRUE(AnswerMessageBox(notice, IDOK));
        EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
        ExpectFilesInstalled(expected, true);
        EXPECT_FALSE(FolderExists(expected.programsFolder + "\\" + expected.group));
        EXPECT_EQ(RememberedFolder(), "") << "the registry is written only at the end";
    }
}

}  // namespace
