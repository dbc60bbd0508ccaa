// The whole installation, walked from the welcome page to the closing
// message, and what the run left behind; the read-me in Notepad; cancelling.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/app.h"
#include "core/config.h"
#include "resources/ids.h"
#include "tests/support/programs_folder_at.h"
#include "tests/support/system_notepad.h"
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

// Copies setup.exe into a folder of its own, a downloads folder, beside a
// recording Notepad.exe that must never run.
std::string SetupBesideNotepad(const TempFolder& folder) {
    const std::string setup = folder / "setup.exe";
    // The recorder is built beside this test program; setup.exe may come
    // from elsewhere (PORTAVO_SETUP_EXE).
    const bool copied = CopyFileA(SetupPath().c_str(), setup.c_str(), FALSE) &&
                        CopyFileA((TestProgramFolder() + "notepad-recorder.exe").c_str(),
                                  (folder / "Notepad.exe").c_str(), FALSE);
    return copied ? setup : "";
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
    Installation Expect(const std::string& folder, const std::string& group = "Trovado Pro") {
        made_.push_back(ExpectedInstallation(folder, group));
        RemoveInstallation(made_.back());  // whatever an earlier run, the demo say, left there
        return made_.back();
    }
    void InstallWithNamesOfTheCodePage(UINT codePage, const std::string& top,
                                       const std::string& parent, const std::string& group);
    std::vector<Installation> made_;
};

// The names in a folder, to tell what a run made there.
std::set<std::string> NamesIn(const std::string& folder) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
    return ::NamesIn(std::wstring(wide));
}

std::set<std::string> Added(const std::set<std::string>& before, const std::set<std::string>& after) {
    std::set<std::string> added;
    for (const std::string& name : after)
        if (!before.count(name)) added.insert(name);
    return added;
}

// A whole installation into parent (the folder C:\top and below) and a
// group, all named in characters of an East Asian code page whose second byte
// is a backslash, '|' or a letter; then nothing may have been made anywhere
// but in the install folder and the group.
void CompletionTest::InstallWithNamesOfTheCodePage(UINT codePage, const std::string& top,
                                                   const std::string& parent,
                                                   const std::string& group) {
    ASSERT_EQ(GetACP(), codePage) << "scripts/wine-locale runs this walk in its locale";
    const Installation expected = Expect(parent + "\\Trovado Pro", group);
    RemoveTree("C:\\" + top);
    const std::set<std::string> drive = NamesIn("C:"), programs = NamesIn(expected.programsFolder);
    Walk walk("cp" + std::to_string(codePage));
    ASSERT_TRUE(StartSetup(&walk.run));
    ASSERT_TRUE(WalkWholeInstallation(walk, parent, ReportFailedStep, group));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);

    ExpectFilesInstalled(expected, false);
    ExpectRegistryEntries(expected);
    ExpectShortcuts(expected);
    EXPECT_EQ(Added(drive, NamesIn("C:")), std::set<std::string>{top});
    EXPECT_EQ(Added(programs, NamesIn(expected.programsFolder)), std::set<std::string>{group});
    RemoveTree("C:\\" + top);
}

// Started from a downloads folder that holds a planted COMCTL32.DLL, in that
// folder: the run never loads it and still draws the folder icons and the
// progress bar with the system's library.
TEST_F(CompletionTest, WholeInstallationIntoATypedFolder) {
    ASSERT_TRUE(WineOverrides("comctl32=n,b"))
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

// Started from a downloads folder that holds a Notepad.exe: the read-me opens
// in the system folder's notepad.exe all the same, and only that one runs.
TEST_F(CompletionTest, ReadMeOpensInTheSystemNotepadWhileTheBackdropWaitsMinimised) {
    TempFolder folder("portavo-notepad");
    const std::string setup = SetupBesideNotepad(folder);
    ASSERT_FALSE(setup.empty()) << "setup.exe and the recorder in " << folder.path();
    SystemNotepad system;
    ASSERT_TRUE(system.planted()) << system.path();
    const std::string log = folder / "notepad.log";
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_LOG", log.c_str());
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_HOLD", "1");
    const Installation expected = Expect("C:\\Portavo Walk With Spaces\\Trovado Pro");

    Walk walk("readme");
    ASSERT_TRUE(StartSetup(&walk.run, setup, folder.path().c_str()));
    WalkToCompletion(walk, "C:\\Portavo Walk With Spaces");
    HWND backdrop = WaitForBackdrop(walk);
    HWND notepad = AnswerYesAndWaitForNotepad(walk, "RecordedNotepad");
    std::string recorded;
    ASSERT_TRUE(notepad) << (ReadWholeFile(log, &recorded) ? recorded : "no record");
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

    ASSERT_TRUE(ReadWholeFile(log, &recorded));
    EXPECT_EQ(recorded, system.path() + "\n" + "Notepad.exe \"" + expected.installFolder +
                            "\\Read Me.txt\"\n" + expected.installFolder + "\n");
}

TEST_F(CompletionTest, NotepadThatCannotStartIsPassedOverSilently) {
    TempFolder folder("portavo-no-notepad");
    const std::string setup = SetupBesideNotepad(folder);
    SystemNotepad system("this is not a program\r\n");
    ASSERT_TRUE(system.planted()) << system.path();
    const std::string log = folder / "notepad.log";
    SetEnvironmentVariableA("PORTAVO_NOTEPAD_LOG", log.c_str());
    Expect("C:\\Portavo Walk\\Trovado Pro");
    Walk walk("no-notepad");
    ASSERT_TRUE(StartSetup(&walk.run, setup, folder.path().c_str()));
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
    EXPECT_FALSE(FileExists(log)) << "the Notepad.exe beside setup.exe ran in its stead";
}

// Code page 932: ソ is 0x83 0x5C, ポ 0x83 0x7C, 表 0x95 0x5C, ア 0x83 0x41.
TEST_F(CompletionTest, InstallsIntoNamesOfCodePage932) {
    const std::string top = "Acc \x83\x5C\x83\x74\x83\x67";  // Acc ソフト
    InstallWithNamesOfTheCodePage(
        932, top, "C:\\" + top + "\\\x83\x7C\x81\x5B\x83\x5E\x83\x75\x83\x8B\x83\x41\x95\x5C",  // ポータブルア表
        "\x83\x5C\x83\x74\x83\x67\x95\x5C");  // ソフト表
}

// Code page 950: 許 is 0xB3 0x5C, 功 0xA5 0x5C.
TEST_F(CompletionTest, InstallsIntoNamesOfCodePage950) {
    const std::string top = "Acc \xB3\x5C\xA5\x5C";  // Acc 許功
    InstallWithNamesOfTheCodePage(950, top, "C:\\" + top, "\xB3\x5C\xA5\x5C");
}

// A user whose profile name the code page cannot spell (Пётр on a Western
// system): the links go into the Programs folder by its short form.
TEST_F(CompletionTest, ShortcutsGoIntoAProgramsFolderTheCodePageCannotSpell) {
    const std::wstring folder = L"C:\\users\\\u041F\u0451\u0442\u0440 Programs";
    char spelled[MAX_PATH] = "";
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folder.c_str(), -1, spelled, MAX_PATH, nullptr, &lost);
    ASSERT_TRUE(lost) << "the code page spells the folder: " << spelled;
    CreateDirectoryW(folder.c_str(), nullptr);
    wchar_t shortForm[MAX_PATH] = L"";
    ASSERT_NE(GetShortPathNameW(folder.c_str(), shortForm, MAX_PATH), 0u);
    lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, shortForm, -1, spelled, MAX_PATH, nullptr, &lost);
    ASSERT_FALSE(lost) << "no short form in plain characters";
    ProgramsFolderAt programs(folder);
    Installation expected = Expect("C:\\Portavo Programs\\Trovado Pro");
    expected.programsFolder = spelled;
    made_.back().programsFolder = spelled;

    Walk walk("programs");
    ASSERT_TRUE(StartSetup(&walk.run));
    ASSERT_TRUE(WalkWholeInstallation(walk, "C:\\Portavo Programs", ReportFailedStep));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
    ExpectFilesInstalled(expected, false);
    ExpectShortcuts(expected);
    RemoveTree(folder);
}

// The same where the short form does not fit a path either, as on a volume
// that keeps no 8.3 names: levels named Ж below C:\Portavo Deep, each of
// which Wine shortens to about eight characters, until the short form is
// longer than a path. The folder is kept in UTF-16, and the group and its
// links go into it.
TEST_F(CompletionTest, ShortcutsGoIntoAProgramsFolderNeitherFormOfWhichFits) {
    const std::wstring top = L"C:\\Portavo Deep";
    RemoveTree(top);
    std::wstring folder = top;
    CreateDirectoryW(folder.c_str(), nullptr);
    // Too small a buffer gives the size needed, the NUL included.
    for (DWORD length = 0; length < MAX_PATH;) {
        CreateDirectoryW((folder += L"\\\u0416").c_str(), nullptr);
        wchar_t shortForm[MAX_PATH];
        length = GetShortPathNameW(folder.c_str(), shortForm, MAX_PATH);
        ASSERT_NE(length, 0u);
    }
    ProgramsFolderAt programs(folder);
    const Installation expected = Expect("C:\\Portavo Programs\\Trovado Pro");

    Walk walk("programs-deep");
    ASSERT_TRUE(StartSetup(&walk.run));
    ASSERT_TRUE(WalkWholeInstallation(walk, "C:\\Portavo Programs", ReportFailedStep));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
    ExpectFilesInstalled(expected, false);
    std::set<std::string> links;
    for (int i = 0; i < g_product.shortcutCount; ++i)
        links.insert(std::string(g_product.files[i].shortcutName) + ".lnk");
    EXPECT_EQ(::NamesIn(folder + L"\\Trovado Pro"), links);
    RemoveTree(top);
}

// The search extension loaded, as Explorer holds it once it has used it: a
// copy of a loadable library in its place, loaded by this process.
struct LoadedExtension {
    explicit LoadedExtension(const std::string& path) : path(path) {
        CopyFileA((TestProgramFolder() + "planted\\comctl32.dll").c_str(), path.c_str(), FALSE);
        module = LoadLibraryA(path.c_str());
        DeleteFileA((path.substr(0, path.rfind('\\')) + "\\comctl32-loaded.txt").c_str());
    }
    ~LoadedExtension() {
        if (module) FreeLibrary(module);
        DeleteFileA((path + ".pv-old").c_str());
    }
    std::string path;
    HMODULE module = nullptr;
};

std::string PendingRenames() {
    std::string pending(65536, '\0');
    DWORD size = static_cast<DWORD>(pending.size());
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return "";
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&pending[0]), &size) != ERROR_SUCCESS)
        size = 0;
    RegDeleteValueA(key, "PendingFileRenameOperations");  // nothing of the test's for a restart
    RegCloseKey(key);
    pending.resize(size);
    return pending;
}

// A folder typed with the product's name in it holds the user's own files;
// the second run, at the remembered folder, replaces the product's files and
// keeps every other file, and the search extension that Explorer holds is
// replaced with the earlier one queued for the restart.
TEST_F(CompletionTest, SecondRunOffersTheRememberedFolderAndKeepsTheUsersFiles) {
    const Installation expected = Expect("C:\\Portavo Again\\My Trovado Pro Projects");
    CreateDirectoryA("C:\\Portavo Again", nullptr);
    CreateDirectoryA(expected.installFolder.c_str(), nullptr);
    CreateDirectoryA((expected.installFolder + "\\Client A").c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\plan.xls", "plan"));
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\Client A\\contract.doc", "contract"));
    {
        Walk first("again-1");
        ASSERT_TRUE(StartSetup(&first.run));
        WalkToCompletion(first, expected.installFolder);
        ASSERT_TRUE(PassCompletion(first, IDNO));
        ASSERT_EQ(WaitForExit(&first.run, 10000), 1);
    }
    // What the user made since, and a file of the first run changed.
    CreateDirectoryA((expected.installFolder + "\\Exports").c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\index.DAT", "data"));
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\Trovado.ini", "settings"));
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\Exports\\results.csv", "results"));
    ASSERT_TRUE(WriteWholeFile(expected.installFolder + "\\Order.txt", "changed"));
    const std::string library = expected.windowsFolder + "\\TrovadoCtx.dll";
    LoadedExtension explorer(library);
    ASSERT_NE(explorer.module, nullptr);

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
    EXPECT_EQ(closing.text, std::string(kClosing) + "\r\n\r\nRestart your computer to complete the update.");
    Sleep(500);
    Snap(second, "restart");
    ASSERT_TRUE(AnswerMessageBox(closing, IDOK));
    EXPECT_EQ(WaitForExit(&second.run, 10000), 1);

    const char* kept[][2] = {{"index.DAT", "data"}, {"Trovado.ini", "settings"},
                             {"Exports\\results.csv", "results"}, {"plan.xls", "plan"},
                             {"Client A\\contract.doc", "contract"}};
    for (const auto& file : kept) {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(expected.installFolder + "\\" + file[0], &contents)) << file[0];
        EXPECT_EQ(contents, file[1]);
    }
    ExpectFilesInstalled(expected, false);
    ExpectShortcuts(expected);
    EXPECT_NE(PendingRenames().find(library + ".pv-old"), std::string::npos);
    RemoveTree("C:\\Portavo Again");
}

TEST_F(CompletionTest, CancellingLeavesTheMachineAsItFoundIt) {
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
        // Escape on the group page after the files are in: an upgrade leaves
        // the earlier installation as it was, links and all.
        const Installation expected = Expect("C:\\Portavo Cancel\\Trovado Pro");
        CreateDirectoryA("C:\\Portavo Cancel", nullptr);
        MakeEarlierInstallation(expected);
        const TreeSnapshot before = SnapshotInstallation(expected);
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
        EXPECT_EQ(SnapshotInstallation(expected), before);
        EXPECT_EQ(RememberedFolder(), "") << "the registry is written only at the end";
        RemoveTree("C:\\Portavo Cancel");
    }
}


std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// Runs the command (the uninstall entry's, say) and answers its question
// box; returns the process's exit code and the closing box's text in
// closing ("" when none came).
int Uninstall(Walk& walk, const std::string& command, int answer, std::string* closing) {
    closing->clear();
    if (!StartCommand(&walk.run, command)) return -2;
    BoxInfo box;
    if (!WaitForCaptionedBox(walk.run, "Trovado Pro", &box, 15000)) return -3;
    if (box.hasYesNo) {
        EXPECT_EQ(box.text, "Remove Trovado Pro and all of its components?");
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONQUESTION));
        Snap(walk, "question");
        if (!AnswerMessageBox(box, answer)) return -4;
        if (answer == IDYES && !WaitForCaptionedBox(walk.run, "Trovado Pro", &box, 30000)) return -5;
    }
    if (answer == IDYES || !box.hasYesNo) {
        *closing = box.text;
        Snap(walk, "closing");
        AnswerMessageBox(box, IDOK);
    }
    return WaitForExit(&walk.run, 20000);
}

// Waits for the run to end while watching for any window it shows; returns
// its exit code (-1 when it did not end in time) and in shown the caption
// of the first window seen.
int WaitForExitUnseen(SetupRun* run, DWORD timeoutMs, std::string* shown) {
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(run->process.hProcess, 10) == WAIT_TIMEOUT &&
           GetTickCount() - start < Patience(timeoutMs)) {
        HWND window = FindRunWindow(*run, nullptr, nullptr);
        if (window && shown->empty()) *shown = "[" + TextOf(window) + "]";
    }
    return WaitForExit(run, 0);
}

// The log's lines, lower case, as counts.
std::multiset<std::string> LogLines(const std::string& path, std::string* first, std::string* last) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, &text)) << path;
    std::multiset<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = text.substr(start, end - start);
        if (lines.empty()) *first = line;
        *last = line;
        lines.insert(Lower(line));
    }
    return lines;
}

// The uninstall entry's command after a whole installation with a user's
// file, a data file and a user's link: No leaves everything; Yes removes what
// setup installed and keeps the user's, and the uninstaller itself is gone
// within seconds; a second uninstall says there is nothing; a new
// installation works, and /VERYSILENT removes it without a window, as its
// log says file by file, also when a restart must complete the removal.
TEST_F(CompletionTest, UninstallRemovesWhatSetupInstalledAndKeepsTheUsers) {
    const Installation expected = Expect("C:\\Portavo Remove\\Trovado Pro");
    RemoveTree("C:\\Portavo Remove");
    {
        Walk walk("remove-install");
        ASSERT_TRUE(StartSetup(&walk.run));
        ASSERT_TRUE(WalkWholeInstallation(walk, "C:\\Portavo Remove", ReportFailedStep));
        ASSERT_EQ(WaitForExit(&walk.run, 10000), 1);
    }
    const std::string group = expected.programsFolder + "\\" + expected.group;
    const std::string own = expected.installFolder + "\\My Notes.txt";
    const std::string data = expected.installFolder + "\\index.DAT";
    const std::string ownLink = group + "\\My Search.lnk";
    ASSERT_TRUE(WriteWholeFile(own, "mine") && WriteWholeFile(data, "data") && WriteWholeFile(ownLink, "link"));
    const std::string command = UninstallCommand();
    ASSERT_NE(command, "");
    std::string closing;
    {
        Walk no("remove-no");
        EXPECT_EQ(Uninstall(no, command, IDNO, &closing), 1602);
        ExpectFilesInstalled(expected, false);
        ExpectRegistryEntries(expected);
        ExpectShortcuts(expected);
    }
    {
        Walk yes("remove-yes");
        EXPECT_EQ(Uninstall(yes, command, IDYES, &closing), 0);
        EXPECT_EQ(closing,
                  "Trovado Pro has been removed from your computer.\r\n\r\nThese folders were kept because "
                  "they still hold your own files or data files:\r\n" +
                      expected.installFolder + "\r\n" + group);
    }
    ExpectProductRemoved(expected);
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(own, &contents) && contents == "mine");
    EXPECT_TRUE(ReadWholeFile(data, &contents) && contents == "data");
    EXPECT_TRUE(FileExists(ownLink));
    // The copy in the temporary folder deletes the uninstaller once it ends.
    EXPECT_TRUE(WaitUntilUninstallerGone(expected));
    {
        Walk again("remove-again");
        EXPECT_EQ(Uninstall(again, "\"" + TestProgramFolder() + "uninstall.exe\"", IDOK, &closing), 0);
        EXPECT_EQ(closing, "Trovado Pro is not installed.");
    }
    {
        Walk reinstall("remove-reinstall");
        ASSERT_TRUE(StartSetup(&reinstall.run));
        ASSERT_TRUE(WalkWholeInstallation(reinstall, "C:\\Portavo Remove", ReportFailedStep));
        ASSERT_EQ(WaitForExit(&reinstall.run, 10000), 1);
        ExpectFilesInstalled(expected, false);
        ExpectRegistryEntries(expected);
        ExpectShortcuts(expected);
    }
    TempFolder logs("uninstall-log");
    const std::string log = logs / "uninstall log.txt";
    std::string first, last;
    {
        DeleteFileA(own.c_str());
        DeleteFileA(data.c_str());
        DeleteFileA(ownLink.c_str());
        SetupRun refused;
        ASSERT_TRUE(StartCommand(&refused, UninstallCommand() + " /VERYSILENT /NORESTART"));
        EXPECT_EQ(WaitForExit(&refused, 20000), 87) << "a switch it does not know";
        CloseRun(&refused);
        ExpectFilesInstalled(expected, false);
        ExpectRegistryEntries(expected);
        Walk silent("remove-silent");
        ASSERT_TRUE(StartCommand(&silent.run, UninstallCommand() + " /VERYSILENT /LOG=\"" + log + "\""));
        std::string shown;
        EXPECT_EQ(WaitForExitUnseen(&silent.run, 20000, &shown), 0);
        EXPECT_EQ(shown, "") << "a window of the silent removal";
        EXPECT_TRUE(WaitUntilUninstallerGone(expected));
        ExpectProductRemoved(expected);
        EXPECT_FALSE(FolderExists("C:\\Portavo Remove"));
        EXPECT_FALSE(FolderExists(group));
        const std::multiset<std::string> lines = LogLines(log, &first, &last);
        EXPECT_EQ(first, std::string(g_product.productName) + " " + g_product.version + " Uninstall log");
        EXPECT_EQ(last, "Exit code: 0");
        for (int i = 0; i < g_product.fileCount; ++i) {
            const FileEntry& entry = g_product.files[i];
            const std::string& folder =
                entry.flags & kInWindowsFolder ? expected.windowsFolder : expected.installFolder;
            const std::string label = i == kUninstallerEntry ? "file removed after exit: " : "file removed: ";
            EXPECT_EQ(lines.count(Lower(label + folder + "\\" + entry.fileName)), 1u) << entry.fileName;
        }
    }
    {
        Walk reinstall("remove-reinstall-again");
        ASSERT_TRUE(StartSetup(&reinstall.run));
        ASSERT_TRUE(WalkWholeInstallation(reinstall, "C:\\Portavo Remove", ReportFailedStep));
        ASSERT_EQ(WaitForExit(&reinstall.run, 10000), 1);
    }
    {
        // The shell extension held, as Explorer holds it once it has loaded it.
        const std::string extension = expected.windowsFolder + "\\TrovadoCtx.dll";
        HMODULE held = LoadLibraryA(extension.c_str());
        ASSERT_TRUE(held);
        PendingRenames();  // from here on, only what this removal queues
        SetupRun silent;
        ASSERT_TRUE(StartCommand(&silent, UninstallCommand() + " -verysilent -log=\"" + log + "\""));
        EXPECT_EQ(WaitForExit(&silent, 20000), 3010) << "a restart completes the removal";
        EXPECT_EQ(LogLines(log, &first, &last).count(Lower("File queued for restart: " + extension)), 1u);
        EXPECT_EQ(last, "Exit code: 3010");
        CloseRun(&silent);
        FreeLibrary(held);
        // Queued: the held file renamed aside, and the uninstaller's copy in the
        // temporary folder, which deleted the uninstaller.
        EXPECT_TRUE(WaitUntilUninstallerGone(expected));
        const std::string queued = Lower(PendingRenames());
        char temp[MAX_PATH] = "";
        GetTempPathA(sizeof temp, temp);
        EXPECT_NE(queued.find(Lower(expected.windowsFolder + "\\del")), std::string::npos) << queued;
        EXPECT_NE(queued.find(Lower(std::string(temp) + "unp")), std::string::npos) << queued;
        EXPECT_FALSE(FileExists(extension));
        ExpectProductRemoved(expected);
        EXPECT_FALSE(FolderExists(expected.installFolder));
        EXPECT_FALSE(FolderExists("C:\\Portavo Remove")) << "the parent, empty now";
        EXPECT_FALSE(FolderExists(group));
    }
}

// The installed programs are the project's stand-ins: each one runs and shows
// a box naming the product, its version and the folder it runs from; the
// shell extension loads and offers no class.
TEST_F(CompletionTest, InstalledStandInsRun) {
    const Installation expected = Expect("C:\\Portavo Run\\Trovado Pro");
    {
        Walk walk("standin-install");
        ASSERT_TRUE(StartSetup(&walk.run));
        ASSERT_TRUE(WalkWholeInstallation(walk, "C:\\Portavo Run", ReportFailedStep));
        ASSERT_EQ(WaitForExit(&walk.run, 10000), 1);
    }
    Walk program("standin");
    ASSERT_TRUE(StartSetup(&program.run, expected.installFolder + "\\Trovado Pro.exe"));
    BoxInfo box;
    ASSERT_TRUE(WaitForCaptionedBox(program.run, "Trovado Pro 4.02", &box, 15000));
    EXPECT_NE(box.text.find("Trovado Pro.exe"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("It runs from " + expected.installFolder), std::string::npos) << box.text;
    Snap(program, "program");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_EQ(WaitForExit(&program.run, 10000), 0);

    HMODULE server = LoadLibraryA((expected.windowsFolder + "\\TrovadoCtx.dll").c_str());
    ASSERT_TRUE(server);
    typedef HRESULT(WINAPI * GetClassObject)(REFCLSID, REFIID, void**);
    const auto get = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void (*)()>(GetProcAddress(server, "DllGetClassObject")));
    ASSERT_TRUE(get);
    void* object = &server;
    const GUID none = {};
    EXPECT_EQ(get(none, none, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(GetProcAddress(server, "DllCanUnloadNow"));
    FreeLibrary(server);
}

}  // namespace
