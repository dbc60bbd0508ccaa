// The installing page in the real setup.exe: where it opens, what it shows
// while the files go in, that it cannot be closed, that it closes itself a
// second after the last file; an upgrade while the program runs, and one
// that is killed half-way.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/app.h"
#include "core/config.h"
#include "core/text.h"
#include "resources/ids.h"
#include "tests/support/temp_folder.h"
#include "tests/walk/installation.h"
#include "tests/support/screen.h"
#include "tests/walk/walk.h"

namespace {

const char kCaption[] = "Installing Trovado Pro Program Files";


// The path the page shows for an entry: the Windows folder title-cased, as
// its slot holds it.
std::string TargetOf(const Installation& installation, int entry) {
    const FileEntry& e = g_product.files[entry];
    std::string folder = installation.installFolder;
    if (e.flags & kInWindowsFolder) {
        folder = installation.windowsFolder;
        NormalizeFolderCase(&folder[0]);
    }
    return folder + "\\" + e.fileName;
}

// What the page showed, read every few milliseconds until it went away.
struct Watched {
    std::vector<std::string> targets, fileNumbers;  // each new text once
    std::string totalSize, currentSize, totalFiles;  // the last seen
    DWORD countDoneTick = 0, goneTick = 0;            // 402 reached 401; the page went
};

Watched WatchPage(HWND page) {
    Watched w;
    const DWORD start = GetTickCount();
    while (IsWindow(page) && IsWindowVisible(page) && GetTickCount() - start < 60000) {
        const std::string target = ItemText(page, IDC_TARGET_PATH);
        const std::string number = ItemText(page, IDC_CURRENT_FILE);
        if (!target.empty() && (w.targets.empty() || w.targets.back() != target)) w.targets.push_back(target);
        if (!number.empty() && (w.fileNumbers.empty() || w.fileNumbers.back() != number))
            w.fileNumbers.push_back(number);
        // A page on its way out has no texts left to read.
        for (auto kept : {std::make_pair(IDC_TOTAL_SIZE, &w.totalSize),
                          std::make_pair(IDC_CURRENT_SIZE, &w.currentSize),
                          std::make_pair(IDC_TOTAL_FILES, &w.totalFiles)}) {
            const std::string text = ItemText(page, kept.first);
            if (!text.empty()) *kept.second = text;
        }
        if (!w.countDoneTick && !w.totalSize.empty() && w.currentSize == w.totalSize)
            w.countDoneTick = GetTickCount();
        Sleep(5);
    }
    w.goneTick = GetTickCount();
    return w;
}

class InstallingWalkTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        ForgetEarlierRuns();
    }
    void TearDown() override { RemoveInstallation(expected_); }

    // Starts setup.exe and walks it to the installing page, typing folder.
    HWND WalkToInstalling(Walk& walk, const std::string& folder) {
        expected_ = ExpectedInstallation(folder + "\\Trovado Pro");
        if (!StartSetup(&walk.run) || !PassWelcome(walk) || !PassLicense(walk) ||
            !PassLocation(walk, folder))
            return nullptr;
        return WaitForPage(walk, kCaption);
    }

    Installation expected_;
};

TEST_F(InstallingWalkTest, ShowsEachFileAndTheCountsThenClosesItselfAndTheChainGoesOn) {
    Walk walk("installing");
    HWND page = WalkToInstalling(walk, "C:\\Portavo Installing Walk");
    ASSERT_NE(page, nullptr);

    const RECT r = ScreenRect(page);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - w + 150) / 2) << "centred beside the panel";
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
    EXPECT_EQ(HighlightedStep(2), 2) << "only \"- Installing Files\"";
    // No way to close it: Escape, the cancel command and the close command.
    PressKey(page, VK_ESCAPE);
    PostMessageA(page, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);

    const DWORD opened = GetTickCount();
    const Watched seen = WatchPage(page);
    // Up to 100% the page's fixed pauses (the first 250 ms, 500 ms before
    // each file, 10 ms after each of 200 meter steps) come to 7.25 s;
    // anything beyond is the work itself.
    printf("installing page: 100%% after %lu ms, gone after %lu ms\n",
           static_cast<unsigned long>(seen.countDoneTick - opened),
           static_cast<unsigned long>(seen.goneTick - opened));

    std::vector<std::string> targets, numbers;
    for (int i = 0; i < g_product.fileCount; ++i) {
        targets.push_back(TargetOf(expected_, i));
        numbers.push_back(std::to_string(i + 1));
    }
    EXPECT_EQ(seen.targets, targets);
    EXPECT_EQ(seen.fileNumbers, numbers);
    EXPECT_EQ(seen.totalSize, "947,817");
    EXPECT_EQ(seen.currentSize, "947,817");
    EXPECT_EQ(seen.totalFiles, "10");
    ASSERT_NE(seen.countDoneTick, 0u);
    // About a second; Wine without a window manager may take a few more to
    // take a window off the screen (once six in a whole walk-through run).
    const DWORD lingered = seen.goneTick - seen.countDoneTick;
    EXPECT_GE(lingered, 800u);
    EXPECT_LE(lingered, 8000u);
    ExpectFilesInstalled(expected_, true);
    EXPECT_NE(WaitForPage(walk, "Trovado Pro Program Group", 10000), nullptr);
}

// An upgrade while the program runs (its file held without sharing, as
// Windows holds a running program): the page names the file before anything
// changes; Cancel ends the run with the earlier installation as it was, and a
// second run, retried once the program let go, installs whole.
TEST_F(InstallingWalkTest, UpgradeWhileTheProgramRunsAsksFirstAndCancelChangesNothing) {
    const std::string folder = "C:\\Portavo Installing Held";
    expected_ = ExpectedInstallation(folder + "\\Trovado Pro");
    RemoveInstallation(expected_);
    CreateDirectoryA(folder.c_str(), nullptr);
    MakeEarlierInstallation(expected_);
    const std::string held = TargetOf(expected_, 2);  // Trovado Pro.exe
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const TreeSnapshot before = SnapshotInstallation(expected_);
    {
        Walk walk("installing-held");
        HWND page = WalkToInstalling(walk, folder);
        ASSERT_NE(page, nullptr);
        BoxInfo inUse, notice;
        ASSERT_TRUE(WaitForMessageBox(walk.run, &inUse, 30000));
        printf("the box for a file in use reads:\n%s\n", inUse.text.c_str());
        EXPECT_EQ(inUse.text.rfind("A file that must be replaced is in use:\r\n\r\n" + held + "\r\n", 0), 0u)
            << inUse.text;
        EXPECT_EQ(inUse.icon, UINT(MB_ICONWARNING));
        EXPECT_EQ(inUse.owner, page);
        Snap(walk, "in-use");
        ASSERT_TRUE(AnswerMessageBox(inUse, IDCANCEL));
        ASSERT_TRUE(WaitForMessageBox(walk.run, &notice, 10000));
        EXPECT_EQ(notice.text.rfind("Installation Aborted!", 0), 0u) << notice.text;
        AnswerMessageBox(notice, IDOK);
        EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
    }
    EXPECT_EQ(SnapshotInstallation(expected_), before);

    Walk again("installing-retry");
    HWND page = WalkToInstalling(again, folder);
    ASSERT_NE(page, nullptr);
    BoxInfo inUse;
    ASSERT_TRUE(WaitForMessageBox(again.run, &inUse, 30000));
    CloseHandle(file);
    ASSERT_TRUE(AnswerMessageBox(inUse, IDRETRY));
    ASSERT_TRUE(PassInstalling(again));
    ASSERT_TRUE(PassGroup(again, ""));
    ASSERT_TRUE(PassCompletion(again, IDNO));
    EXPECT_EQ(WaitForExit(&again.run, 10000), 1);
    ExpectFilesInstalled(expected_, false);
    ExpectShortcuts(expected_);
    const TreeSnapshot after = SnapshotInstallation(expected_);
    EXPECT_EQ(after.count("group\\My Notes.lnk"), 1u);
    for (const auto& entry : after)
        EXPECT_TRUE(entry.first.find(".pv-") == std::string::npos && entry.first.find(".jnl") == std::string::npos)
            << entry.first;
}

// A run killed while the files go in leaves its journal; the next run puts
// the earlier installation back before it shows anything, even when it is
// then cancelled at once.
TEST_F(InstallingWalkTest, RunKilledHalfWayIsUndoneByTheNextRun) {
    const std::string folder = "C:\\Portavo Installing Killed";
    expected_ = ExpectedInstallation(folder + "\\Trovado Pro");
    RemoveInstallation(expected_);
    CreateDirectoryA(folder.c_str(), nullptr);
    MakeEarlierInstallation(expected_);
    const TreeSnapshot before = SnapshotInstallation(expected_);
    {
        Walk walk("installing-killed");
        HWND page = WalkToInstalling(walk, folder);
        ASSERT_NE(page, nullptr);
        for (DWORD start = GetTickCount();
             ItemText(page, IDC_CURRENT_FILE) != "5" && GetTickCount() - start < Patience(20000);)
            Sleep(20);
        ASSERT_EQ(ItemText(page, IDC_CURRENT_FILE), "5");
        TerminateProcess(walk.run.process.hProcess, 9);
        WaitForExit(&walk.run, 10000);
    }
    EXPECT_NE(SnapshotInstallation(expected_), before) << "the run had begun to change things";

    Walk next("installing-after-kill");
    ASSERT_TRUE(StartSetup(&next.run));
    HWND welcome = WaitForWelcome(next);
    ASSERT_NE(welcome, nullptr);
    Click(welcome, IDCANCEL);
    EXPECT_EQ(WaitForExit(&next.run, 10000), 1);
    EXPECT_EQ(SnapshotInstallation(expected_), before);
}

}  // namespace
