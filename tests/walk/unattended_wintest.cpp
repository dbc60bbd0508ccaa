// The real setup.exe as a deployment tool runs it: /VERYSILENT shows no
// window at all and /SILENT only its progress; the exit code says how the
// run ended, a failed run changes nothing, and the log tells what it did.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/config.h"
#include "tests/support/fixtures.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"
#include "tests/walk/installation.h"
#include "tests/walk/walk.h"

namespace {

struct Outcome {
    int exitCode = -1;
    std::vector<std::string> windows;  // each different set of visible windows seen
};

// Runs setup.exe with switches and watches its windows until it ends; the
// screen is saved as shot (a file name) when the first window shows.
Outcome RunSetup(const std::string& switches, const char* shot = nullptr) {
    Outcome outcome;
    SetupRun run;
    if (!StartCommand(&run, "\"" + SetupPath() + "\" " + switches)) {
        ADD_FAILURE() << "setup.exe did not start";
        return outcome;
    }
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(run.process.hProcess, 2) == WAIT_TIMEOUT &&
           GetTickCount() - start < Patience(60000)) {
        const std::string seen = DescribeRunWindows(run);
        // A window read as the process ends answers with no text.
        const bool running = WaitForSingleObject(run.process.hProcess, 0) == WAIT_TIMEOUT;
        if (running && seen.rfind("  window ", 0) == 0 &&
            std::find(outcome.windows.begin(), outcome.windows.end(), seen) == outcome.windows.end())
        {
            if (shot && outcome.windows.empty()) {
                Sleep(200);  // painted
                SavePng(CaptureScreen(), ShotPath(shot));
            }
            outcome.windows.push_back(seen);
        }
    }
    outcome.exitCode = WaitForExit(&run, Patience(1000));
    CloseRun(&run);
    return outcome;
}

std::vector<std::string> LogLines(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, &text)) << path;
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

class UnattendedWalkTest : public ::testing::Test {
protected:
    void SetUp() override { ProvideFindExtensionsKey(); }
    void TearDown() override { RemoveInstallation(expected_); }
    Installation expected_;
};

// A fresh installation, then the same command line while the product runs,
// then refused switches: each with its exit code and never a window.
TEST_F(UnattendedWalkTest, VerySilentInstallsWithoutAWindowAndFailsWithoutAChange) {
    const std::string folder = "C:\\Portavo Unattended";
    expected_ = ExpectedInstallation(folder + "\\Trovado Pro", "Deployed Tools");
    RemoveInstallation(expected_);
    TempFolder logs("unattended");
    const std::string log = logs / "setup.log";
    const std::string switches = "/VERYSILENT /DIR=" + Quoted(folder) + " /GROUP=\"Deployed Tools\"";

    Outcome outcome = RunSetup(switches + " /LOG=" + Quoted(log));
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.windows.empty()) << outcome.windows.front();
    ExpectFilesInstalled(expected_, false);
    ExpectRegistryEntries(expected_);
    ExpectShortcuts(expected_);
    const std::vector<std::string> lines = LogLines(log);
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines.front(), std::string(g_product.productName) + " " + g_product.version + " Setup log");
    EXPECT_EQ(lines.back(), "Exit code: 0");
    for (int i = 0; i < g_product.fileCount; ++i) {
        const FileEntry& entry = g_product.files[i];
        const std::string& in = entry.flags & kInWindowsFolder ? expected_.windowsFolder : expected_.installFolder;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), "File written: " + in + "\\" + entry.fileName), 1)
            << entry.fileName;
    }

    // The program runs: nobody is there to close it, so nothing changes.
    const std::string program = expected_.installFolder + "\\" + g_product.productName + ".exe";
    const TreeSnapshot before = SnapshotInstallation(expected_);
    HANDLE held = CreateFileA(program.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    outcome = RunSetup(switches);
    CloseHandle(held);
    EXPECT_EQ(outcome.exitCode, 32);
    EXPECT_TRUE(outcome.windows.empty()) << outcome.windows.front();
    EXPECT_EQ(SnapshotInstallation(expected_), before);

    // Refused switches write nothing.
    for (const char* refused : {"/S /DIR=\"C:\\Portavo Refused.\"", "/S /DIR=C:\\", "/S /GROUP=\"A|B\"",
                                "/S /QUIET"}) {
        SCOPED_TRACE(refused);
        outcome = RunSetup(refused);
        EXPECT_EQ(outcome.exitCode, 87);
        EXPECT_TRUE(outcome.windows.empty()) << outcome.windows.front();
        EXPECT_EQ(SnapshotInstallation(expected_), before);
    }
    EXPECT_FALSE(FileExists("C:\\Portavo Refused."));
}

// /SILENT shows its progress window and nothing else; /NOICONS makes no group.
TEST_F(UnattendedWalkTest, SilentShowsOnlyItsProgressWindow) {
    const std::string folder = "C:\\Portavo Silent";
    expected_ = ExpectedInstallation(folder + "\\Trovado Pro");
    RemoveInstallation(expected_);
    const Outcome outcome = RunSetup("-silent -noicons -dir=" + Quoted(folder), "unattended-silent.png");
    EXPECT_EQ(outcome.exitCode, 0);
    ASSERT_FALSE(outcome.windows.empty());
    for (const std::string& seen : outcome.windows)
        EXPECT_EQ(seen, "  window #32770 \"Installing " + std::string(g_product.productName) + "\"\n");
    ExpectFilesInstalled(expected_, false);
    EXPECT_FALSE(FileExists(expected_.programsFolder + "\\" + expected_.group));
}

// /? lists the switches and ends with 0; another copy running, or a drive
// without room, ends the run at once with its code and changes nothing.
TEST_F(UnattendedWalkTest, HelpSecondCopyAndFullDriveEndWithTheirCodes) {
    expected_ = ExpectedInstallation("C:\\Portavo Unattended Second\\Trovado Pro");
    RemoveInstallation(expected_);
    {
        Walk help("unattended-help");
        ASSERT_TRUE(StartCommand(&help.run, Quoted(SetupPath()) + " /?"));
        BoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(help.run, &box, Patience(20000)));
        EXPECT_EQ(box.text.rfind("/VERYSILENT or /S: ", 0), 0u) << box.text;
        Snap(help, "switches");
        AnswerMessageBox(box, IDOK);
        EXPECT_EQ(WaitForExit(&help.run, Patience(10000)), 0);
    }
    {
        Walk first("unattended-second");
        ASSERT_TRUE(StartSetup(&first.run));
        HWND welcome = WaitForWelcome(first);
        ASSERT_NE(welcome, nullptr);
        const Outcome outcome = RunSetup("/VERYSILENT /DIR=\"C:\\Portavo Unattended Second\"");
        EXPECT_EQ(outcome.exitCode, 1618);
        EXPECT_TRUE(outcome.windows.empty()) << outcome.windows.front();
        Click(welcome, IDCANCEL);
        EXPECT_EQ(WaitForExit(&first.run, Patience(10000)), 1);
    }
    EXPECT_FALSE(FileExists(expected_.installFolder));

    std::string why;
    const std::string disk = SmallDisk(&why);
    if (disk.empty()) GTEST_SKIP() << "the full drive is not checked: " << why;
    const Outcome outcome = RunSetup("/S /DIR=" + Quoted(disk));
    EXPECT_EQ(outcome.exitCode, 112);
    EXPECT_FALSE(FileExists(disk + "\\Trovado Pro"));
}

}  // namespace
