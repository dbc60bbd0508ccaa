// The installing page in the real setup.exe: where it opens, what it shows
// while the files go in, that it cannot be closed, that it closes itself a
// second after the last file, and the end of the run when a file is held.
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
#include "tests/walk/screen.h"
#include "tests/walk/walk.h"

namespace {

const char kCaption[] = "Installing Trovado Pro Program Files";
const char kCannotCreate[] = "Unable to create destination file!\r\nInstallation will now be aborted.";


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

    const Watched seen = WatchPage(page);

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
    // About a second; Wine without a window manager may take up to two more
    // to take a window off the screen.
    const DWORD lingered = seen.goneTick - seen.countDoneTick;
    EXPECT_GE(lingered, 800u);
    EXPECT_LE(lingered, 4000u);
    ExpectFilesInstalled(expected_, true);
    EXPECT_NE(WaitForPage(walk, "Trovado Pro Program Group", 10000), nullptr);
}

TEST_F(InstallingWalkTest, FileHeldOpenEndsTheRunWithTheErrorThenTheAbortNotice) {
    const std::string folder = "C:\\Portavo Installing Held";
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA((folder + "\\Trovado Pro").c_str(), nullptr);
    const std::string held = folder + "\\Trovado Pro\\Read Me.txt";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Walk walk("installing-held");
    HWND page = WalkToInstalling(walk, folder);

    BoxInfo error, notice;
    const bool errorShown = page && WaitForMessageBox(walk.run, &error, 30000);
    if (errorShown) {
        EXPECT_EQ(error.text, kCannotCreate);
        EXPECT_EQ(error.icon, UINT(MB_ICONERROR));
        EXPECT_EQ(error.owner, page);
        Snap(walk, "cannot-create");
        AnswerMessageBox(error, IDOK);
    }
    const bool noticeShown = errorShown && WaitForMessageBox(walk.run, &notice, 10000);
    if (noticeShown) {
        EXPECT_EQ(notice.text.rfind("Installation Aborted!", 0), 0u) << notice.text;
        EXPECT_EQ(notice.icon, UINT(MB_ICONWARNING));
        EXPECT_EQ(notice.owner, page);
        AnswerMessageBox(notice, IDOK);
    }
    const int exitCode = WaitForExit(&walk.run, 10000);
    CloseHandle(file);

    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(errorShown);
    ASSERT_TRUE(noticeShown);
    EXPECT_EQ(exitCode, 1);
    enum { kReadMe = 6 };
    for (int i = 0; i < g_product.fileCount; ++i)
        EXPECT_EQ(FileExists(TargetOf(expected_, i)), i <= kReadMe) << TargetOf(expected_, i);
}

}  // namespace
