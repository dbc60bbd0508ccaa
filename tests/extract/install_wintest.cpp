// The install step on real folders, with the real payload resources of this
// test program: where each file lands and what it holds, the meter and the
// page's counters, the time stamps, the clean-up of an earlier installation,
// the overwrite rule, and every way the step can end early.
#include "extract/install.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>

#include "core/app.h"
#include "core/config.h"
#include "tests/support/fixtures.h"
#include "tests/support/message_box_catcher.h"
#include "tests/extract/progress_log.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_page.h"

namespace {

const char kCannotCreate[] = "Unable to create destination file!\r\nInstallation will now be aborted.";
const char kCannotWrite[] = "Unable to write destination file!\r\nInstallation will now be aborted.";

enum { kUninstaller = 0, kUpdater = 1, kProgram = 2, kReadMe = 6, kOrder = 7, kRegInfo = 8 };

// The original of a payload file, as this tree packed it.
std::string PayloadFile(const char* name) {
    std::string contents;
    if (ReadWholeFile(WinePathOf(PORTAVO_TREE_GEN "/files/") + "\\" + name, &contents)) return contents;
    ADD_FAILURE() << "no payload file " << name;
    return "";
}

void ExpectPayload(const std::string& path, const FileEntry& entry) {
    std::string installed;
    ASSERT_TRUE(ReadWholeFile(path, &installed)) << path;
    EXPECT_EQ(installed.size(), entry.unpackedSize) << path;
    EXPECT_TRUE(installed == PayloadFile(entry.fileName)) << path << " differs from its payload file";
}

uint64_t Ticks(const FILETIME& t) { return (uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// The release time in UTC, worked out from the zone's bias rather than with
// the conversion the step uses.
uint64_t ReleaseTicksByBias() {
    const ReleaseTime& r = g_product.releaseTime;
    SYSTEMTIME local = {r.year, r.month, r.dayOfWeek, r.day, r.hour, r.minute, r.second, r.milliseconds};
    FILETIME asIfUtc;
    EXPECT_TRUE(SystemTimeToFileTime(&local, &asIfUtc));
    TIME_ZONE_INFORMATION zone;
    const DWORD which = GetTimeZoneInformation(&zone);
    const LONG bias = zone.Bias + (which == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightBias : zone.StandardBias);
    return Ticks(asIfUtc) + int64_t(bias) * 60 * 10000000;
}

void ExpectReleaseTime(const std::string& path) {
    FileTimes times;
    ASSERT_TRUE(GetFileTimes(path, &times)) << path;
    const uint64_t expected = ReleaseTicksByBias();
    EXPECT_EQ(Ticks(times.creation), expected) << path;
    EXPECT_EQ(Ticks(times.lastAccess), expected) << path;
    EXPECT_EQ(Ticks(times.lastWrite), expected) << path;
    const char* zone = getenv("TZ");
    if (zone && strcmp(zone, "Asia/Tokyo") == 0) {  // set by CTest: UTC+9, no summer time
        SYSTEMTIME utc;
        ASSERT_TRUE(FileTimeToSystemTime(&times.lastWrite, &utc));
        EXPECT_EQ(utc.wYear, 2006);
        EXPECT_EQ(utc.wMonth, 12);
        EXPECT_EQ(utc.wDay, 22);
        EXPECT_EQ(utc.wHour, 19);
        EXPECT_EQ(utc.wMinute, 2);
        EXPECT_EQ(utc.wSecond, 0);
    }
}

class InstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        ClearProgressLog();
        page_ = CreateTestPage();
        ASSERT_NE(page_, nullptr);
        windows_ = root_ / "Windows";
        ASSERT_TRUE(CreateDirectoryA(windows_.c_str(), nullptr));
        SetInstallFolder(root_ / "Velmora Utilities\\Trovado Pro");
        SetSlot(g_windowsFolder, windows_);
    }
    void TearDown() override {
        DestroyWindow(page_);
        strcpy(g_installFolder, ".");
        strcpy(g_windowsFolder, ".");
    }

    static void SetSlot(char* slot, const std::string& value) {
        ASSERT_LT(value.size(), size_t(kSlotSize));
        strcpy(slot, value.c_str());
    }
    void SetInstallFolder(const std::string& folder) {
        install_ = folder;
        SetSlot(g_installFolder, install_);
    }

    // A product with some of the shipped entries, in the order given.
    static ProductConfig Table(std::initializer_list<int> entries) {
        ProductConfig product = g_product;
        product.fileCount = 0;
        for (int i : entries) product.files[product.fileCount++] = g_product.files[i];
        return product;
    }

    void ExpectOneErrorBox(const char* text) {
        ASSERT_EQ(boxes_.boxes().size(), 1u);
        const CaughtBox& box = boxes_.boxes()[0];
        EXPECT_EQ(box.caption, "Portavo");
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.icon, UINT(MB_ICONERROR));
        EXPECT_EQ(box.owner, page_);
    }

    TempFolder root_{"install"};
    std::string windows_, install_;
    HWND page_ = nullptr;
    MessageBoxCatcher boxes_;
};

TEST_F(InstallTest, ShippedTableLandsByteForByteInItsFoldersWithMeterCountersAndTimeStamps) {
    EXPECT_EQ(InstallFiles(page_), 1);
    EXPECT_TRUE(boxes_.boxes().empty());

    uint64_t expectedWrites = 0;
    for (int i = 0; i < g_product.fileCount; ++i) {
        const FileEntry& entry = g_product.files[i];
        const bool inWindows = (entry.flags & kInWindowsFolder) != 0;
        const std::string here = (inWindows ? windows_ : install_) + "\\" + entry.fileName;
        const std::string there = (inWindows ? install_ : windows_) + "\\" + entry.fileName;
        ExpectReleaseTime(here);  // before reading, which sets the access time
        ExpectPayload(here, entry);
        EXPECT_FALSE(FileExists(there)) << there;
        expectedWrites += (entry.unpackedSize + 1023) / 1024;
    }

    EXPECT_EQ(g_grandTotal, 947817u);
    EXPECT_EQ(ProgressLogTotal(), 947817u);
    EXPECT_EQ(ProgressLog().size(), expectedWrites);
    for (const ProgressCall& call : ProgressLog()) {
        EXPECT_EQ(call.page, page_);
        ASSERT_GE(call.bytes, 1u);
        ASSERT_LE(call.bytes, 1024u);
    }
    EXPECT_EQ(ControlText(page_, 401), "947,817");
    EXPECT_EQ(ControlText(page_, 403), "10");
    EXPECT_EQ(ControlText(page_, 404), "10");
    EXPECT_EQ(ControlText(page_, 400), windows_ + "\\TrovadoCtx.dll");
}

TEST_F(InstallTest, EarlierInstallationIsCleanedOutButDataFilesAndFoldersStay) {
    CreateFolderPath((install_ + "\\Index\\Old").c_str());
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Read Me.txt", "old version"));  // the earlier installation
    const char* stale[] = {"Trovado Pro.exe", "Index\\temp.tmp", "Index\\Old\\log"};
    const char* data[] = {"Search.KEY", "words.dat", "Index\\main.Fnd", "Index\\Old\\ids.FID"};
    for (const char* name : stale) ASSERT_TRUE(WriteWholeFile(install_ + "\\" + name, "stale"));
    for (const char* name : data) ASSERT_TRUE(WriteWholeFile(install_ + "\\" + name, name));
    SetFileAttributesA((install_ + "\\Trovado Pro.exe").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(InstallFileTable(page_, Table({kReadMe, kOrder})), 1);

    for (const char* name : stale) EXPECT_FALSE(FileExists(install_ + "\\" + name)) << name;
    for (const char* name : data) {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(install_ + "\\" + name, &contents)) << name;
        EXPECT_EQ(contents, name);
    }
    EXPECT_TRUE(FolderExists(install_ + "\\Index\\Old"));
    ExpectPayload(install_ + "\\Read Me.txt", g_product.files[kReadMe]);
    ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
}

TEST_F(InstallTest, FolderOfTheUsersOwnKeepsAllItsFiles) {
    CreateFolderPath((install_ + "\\Photos").c_str());
    const char* own[] = {"Budget.xls", "Trovado Notes.txt", "Photos\\cat.jpg", "Uprella.exe.bak"};
    for (const char* name : own) ASSERT_TRUE(WriteWholeFile(install_ + "\\" + name, name));

    EXPECT_EQ(InstallFileTable(page_, Table({kOrder})), 1);

    for (const char* name : own) EXPECT_TRUE(FileExists(install_ + "\\" + name)) << name;
    ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
}

TEST_F(InstallTest, ExistingFileWithoutFlag0x10IsLeftAloneButCounted) {
    ProductConfig product = Table({kReadMe, kOrder});
    product.files[0].flags = kInWindowsFolder;  // no kAlwaysOverwrite
    product.files[1].flags = kInWindowsFolder;
    const std::string mine = windows_ + "\\Read Me.txt";
    ASSERT_TRUE(WriteWholeFile(mine, "the user's own"));
    SYSTEMTIME old = {2001, 5, 2, 1, 12, 0, 0, 0};
    FILETIME oldTime;
    ASSERT_TRUE(SystemTimeToFileTime(&old, &oldTime));
    ASSERT_TRUE(SetFileTimes(mine, oldTime));

    EXPECT_EQ(InstallFileTable(page_, product), 1);

    std::string contents;
    ASSERT_TRUE(ReadWholeFile(mine, &contents));
    EXPECT_EQ(contents, "the user's own");
    FileTimes times;
    ASSERT_TRUE(GetFileTimes(mine, &times));
    EXPECT_EQ(Ticks(times.lastWrite), Ticks(oldTime));
    EXPECT_EQ(Ticks(times.creation), Ticks(oldTime));
    // The absent one is written, and both went to the Windows folder only.
    ExpectPayload(windows_ + "\\Order.txt", g_product.files[kOrder]);
    EXPECT_FALSE(FileExists(install_ + "\\Read Me.txt"));
    EXPECT_FALSE(FileExists(install_ + "\\Order.txt"));

    ASSERT_FALSE(ProgressLog().empty());
    EXPECT_EQ(ProgressLog()[0].bytes, 4089u);  // the skipped entry, in one report
    EXPECT_EQ(ProgressLogTotal(), g_grandTotal);
    EXPECT_EQ(g_grandTotal, 4089u + 1976u);
}

TEST_F(InstallTest, TargetThatCannotBeCreatedEndsTheStepKeepingWhatWasWritten) {
    CreateFolderPath(install_.c_str());
    const std::string held = install_ + "\\Read Me.txt";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    const int result = InstallFileTable(page_, Table({kOrder, kReadMe, kRegInfo}));
    CloseHandle(file);

    EXPECT_EQ(result, -1);
    ExpectOneErrorBox(kCannotCreate);
    ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
    EXPECT_FALSE(FileExists(install_ + "\\RegInfo.txt"));
    EXPECT_EQ(ProgressLogTotal(), 1976u);
    EXPECT_EQ(ControlText(page_, 404), "2");
}

TEST_F(InstallTest, MissingOrShortPayloadResourceEndsTheStepLikeAFileThatCannotBeCreated) {
    ProductConfig missing = Table({kOrder, kReadMe});
    strcpy(missing.files[1].resourceName, "NOSUCHFILE");
    ProductConfig shorter = Table({kOrder, kReadMe});
    shorter.files[1].packedSize += 1;  // more than the resource holds
    for (const ProductConfig* product : {&missing, &shorter}) {
        SCOPED_TRACE(product == &missing ? "missing" : "shorter");
        TempFolder install("install", root_.path().c_str());
        SetInstallFolder(install.path());
        ASSERT_TRUE(WriteWholeFile(install_ + "\\Read Me.txt", "kept"));
        ClearProgressLog();
        MessageBoxCatcher boxes;

        EXPECT_EQ(InstallFileTable(page_, *product), -1);

        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, kCannotCreate);
        EXPECT_EQ(boxes.boxes()[0].icon, UINT(MB_ICONERROR));
        ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
        EXPECT_EQ(ProgressLogTotal(), 1976u);
    }
}

TEST_F(InstallTest, TargetPathThatDoesNotFitEndsTheStepLikeAFileThatCannotBeCreated) {
    const std::string longWindows = root_.path() + "\\" + std::string(kSlotSize - 2 - root_.path().size(), 'w');
    SetSlot(g_windowsFolder, longWindows);
    ProductConfig product = Table({kOrder, kReadMe});
    product.files[1].flags = kInWindowsFolder | kAlwaysOverwrite;

    EXPECT_EQ(InstallFileTable(page_, product), -1);

    ExpectOneErrorBox(kCannotCreate);
    ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
    EXPECT_EQ(ProgressLogTotal(), 1976u);
    // Nothing was written under a cut path: the root holds only what the test made.
    int entries = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((root_ / "*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, "..")) ++entries;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_EQ(entries, 2);  // Windows and Velmora Utilities
}

// A slot left empty by a folder the system could not name: the entries that
// belong there end the step, never landing in the current folder or the root.
TEST_F(InstallTest, EntryWhoseFolderSlotIsEmptyEndsTheStepLikeAFileThatCannotBeCreated) {
    char previous[MAX_PATH];
    ASSERT_NE(GetCurrentDirectoryA(sizeof previous, previous), 0u);
    for (const bool windowsLost : {true, false}) {
        // Order.txt goes first, into the folder that is still known.
        ProductConfig product = Table({kOrder, windowsLost ? kUninstaller : kReadMe});
        if (!windowsLost) product.files[0].flags = kInWindowsFolder | kAlwaysOverwrite;
        const std::string written = (windowsLost ? install_ : windows_) + "\\Order.txt";
        const char* lost = product.files[1].fileName;
        SCOPED_TRACE(lost);
        TempFolder current("current", root_.path().c_str());
        ASSERT_TRUE(SetCurrentDirectoryA(current.path().c_str()));
        const std::string driveRoot = current.path().substr(0, 3);
        ASSERT_FALSE(FileExists(driveRoot + lost));
        SetSlot(g_installFolder, install_);
        SetSlot(g_windowsFolder, windows_);
        (windowsLost ? g_windowsFolder : g_installFolder)[0] = '\0';
        ClearProgressLog();
        MessageBoxCatcher boxes;

        const int result = InstallFileTable(page_, product);
        SetCurrentDirectoryA(previous);

        EXPECT_EQ(result, -1);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, kCannotCreate);
        EXPECT_EQ(boxes.boxes()[0].icon, UINT(MB_ICONERROR));
        ExpectPayload(written, g_product.files[kOrder]);
        EXPECT_EQ(ProgressLogTotal(), 1976u);
        EXPECT_EQ(ControlText(page_, 400), lost);
        EXPECT_EQ(ControlText(page_, 404), "2");
        EXPECT_FALSE(FileExists(current / lost));
        EXPECT_FALSE(FileExists(driveRoot + lost));
        EXPECT_FALSE(FileExists(install_ + "\\" + lost));
        EXPECT_FALSE(FileExists(windows_ + "\\" + lost));
    }
}

TEST_F(InstallTest, FullDiskEndsTheStepWithAnErrorAndLeavesNoTruncatedFile) {
    std::string why;
    const std::string disk = SmallDisk(&why);
    if (disk.empty()) GTEST_SKIP() << why;
    TempFolder onDisk("install", disk.c_str());
    SetInstallFolder(onDisk / "Trovado Pro");
    const ProductConfig product = Table({kReadMe, kProgram});  // the disk holds 64 KiB

    EXPECT_EQ(InstallFileTable(page_, product), -1);

    ExpectOneErrorBox(kCannotWrite);
    ExpectPayload(install_ + "\\Read Me.txt", g_product.files[kReadMe]);
    EXPECT_FALSE(FileExists(install_ + "\\Trovado Pro.exe"));
    EXPECT_LT(ProgressLogTotal(), g_grandTotal);
    EXPECT_GT(ProgressLogTotal(), 4089u);  // part of the program was written before
}

}  // namespace
