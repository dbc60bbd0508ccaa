// The install step on real folders, with the real payload resources of this
// test program: where each file lands and what it holds, the meter and the
// page's counters, the time stamps, the clean-up of an earlier installation,
// the overwrite rule, and every way the step can end early.
#include "extract/install.h"
#include "extract/transaction.h"
#include "pages/installing.h"

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
#include "tests/support/tree_snapshot.h"

namespace {

const char kCannotCreate[] = "Unable to create destination file!\r\nInstallation will now be aborted.";
const char kCannotWrite[] = "Unable to write destination file!\r\nInstallation will now be aborted.";
const RetiredFiles kNoneRetired = {nullptr, 0};

enum { kUninstaller = 0, kUpdater = 1, kProgram = 2, kReadMe = 6, kOrder = 7, kRegInfo = 8, kContext = 9 };

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
        RollBackTransaction();  // a test that left its run open
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

    int Install(const ProductConfig& product) { return InstallFileTable(InstallingPageSink(page_), product, kNoneRetired); }

    // Both folders as the run would leave them.
    TreeSnapshot Machine() const {
        TreeSnapshot both = SnapshotTree(install_);
        for (const auto& entry : SnapshotTree(windows_)) both["Windows\\" + entry.first] = entry.second;
        return both;
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
    EXPECT_EQ(InstallFiles(InstallingPageSink(page_)), 1);
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

// An earlier installation in a folder the user also keeps files in: only
// the product's own files (those of its table, and those earlier versions
// installed) change; everything else stays, at every depth.
TEST_F(InstallTest, UpgradeReplacesOnlyTheProductsOwnFilesAndKeepsEveryOtherFile) {
    CreateFolderPath((install_ + "\\Exports").c_str());
    CreateFolderPath((install_ + "\\Help").c_str());
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Read Me.txt", "old version"));  // the earlier installation
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Old Help.hlp", "retired"));
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Help\\Gone.hlp", "retired too"));
    SetFileAttributesA((install_ + "\\Read Me.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const char* own[] = {"Trovado.ini", "Exports\\results.csv", "Search.KEY", "words.dat",
                         "Help\\Notes.txt", "Help\\Old.KEY"};
    for (const char* name : own) ASSERT_TRUE(WriteWholeFile(install_ + "\\" + name, name));
    const char* retiredNames[] = {"Old Help.hlp", "Help\\Gone.hlp", "Help\\Old.KEY", "Never There.txt"};
    const RetiredFiles retired = {retiredNames, 4};

    EXPECT_EQ(InstallFileTable(InstallingPageSink(page_), Table({kReadMe, kOrder}), retired), 1);
    CommitTransaction();

    for (const char* name : own) {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(install_ + "\\" + name, &contents)) << name;
        EXPECT_EQ(contents, name);
    }
    EXPECT_FALSE(FileExists(install_ + "\\Old Help.hlp"));
    EXPECT_FALSE(FileExists(install_ + "\\Help\\Gone.hlp"));
    ExpectPayload(install_ + "\\Read Me.txt", g_product.files[kReadMe]);
    ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
    // Nothing of the transaction is left: no earlier copy, no temporary file,
    // no journal.
    TreeSnapshot left = Machine();
    for (const auto& entry : left)
        EXPECT_EQ(entry.first.find(".pv-"), std::string::npos) << entry.first;
    EXPECT_EQ(left.size(), 10u) << ::testing::PrintToString(left);
}

TEST_F(InstallTest, FolderOfTheUsersOwnKeepsAllItsFiles) {
    CreateFolderPath((install_ + "\\Photos").c_str());
    const char* own[] = {"Budget.xls", "Trovado Notes.txt", "Photos\\cat.jpg", "Uprella.exe.bak"};
    for (const char* name : own) ASSERT_TRUE(WriteWholeFile(install_ + "\\" + name, name));

    EXPECT_EQ(Install(Table({kOrder})), 1);

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

    EXPECT_EQ(Install(product), 1);

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

// A program that holds a file to be replaced (a running one, say) is named
// before anything changes: Cancel leaves everything as it was, Retry after it
// let go installs.
TEST_F(InstallTest, FileInUseIsAskedAboutBeforeAnythingChanges) {
    CreateFolderPath(install_.c_str());
    const std::string held = install_ + "\\Read Me.txt";
    ASSERT_TRUE(WriteWholeFile(held, "earlier"));
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Order.txt", "earlier order"));
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const TreeSnapshot before = Machine();
    {
        MessageBoxCatcher cancel(IDCANCEL);
        EXPECT_EQ(Install(Table({kOrder, kReadMe, kRegInfo})), -1);
        ASSERT_EQ(cancel.boxes().size(), 1u);
        EXPECT_NE(cancel.boxes()[0].text.find("in use:\r\n\r\n" + held + "\r\n"), std::string::npos)
            << cancel.boxes()[0].text;
        EXPECT_EQ(cancel.boxes()[0].icon, UINT(MB_ICONWARNING));
        EXPECT_EQ(cancel.boxes()[0].owner, page_);
    }
    RollBackTransaction();
    EXPECT_EQ(Machine(), before);
    EXPECT_TRUE(ProgressLog().empty());

    MessageBoxCatcher retry([&](const CaughtBox&) {
        CloseHandle(file);
        return IDRETRY;
    });
    EXPECT_EQ(Install(Table({kOrder, kReadMe, kRegInfo})), 1);
    EXPECT_EQ(retry.boxes().size(), 1u);
    ExpectPayload(held, g_product.files[kReadMe]);
    ExpectPayload(install_ + "\\RegInfo.txt", g_product.files[kRegInfo]);
}

// The search extension in the Windows folder, loaded by a program (Explorer,
// which the user cannot close): not asked about but moved aside, the new one
// put in its place, and the earlier one deleted at the next restart.
TEST_F(InstallTest, LibraryInUseInTheWindowsFolderIsReplacedAndTheEarlierOneGoesAtTheRestart) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string loadable = std::string(self, strrchr(self, '\\')) + "\\planted\\comctl32.dll";
    const std::string library = windows_ + "\\TrovadoCtx.dll";
    ASSERT_TRUE(CopyFileA(loadable.c_str(), library.c_str(), TRUE)) << loadable;
    HMODULE loaded = LoadLibraryA(library.c_str());
    ASSERT_NE(loaded, nullptr);
    DeleteFileA((windows_ + "\\comctl32-loaded.txt").c_str());  // the library's own mark
    const char kPending[] = "System\\CurrentControlSet\\Control\\Session Manager";
    HKEY session;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPending, 0, KEY_ALL_ACCESS, &session), ERROR_SUCCESS);
    std::string pendingBefore(32768, '\0');
    DWORD sizeBefore = static_cast<DWORD>(pendingBefore.size());
    const bool hadPending =
        RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&pendingBefore[0]), &sizeBefore) == ERROR_SUCCESS;

    EXPECT_EQ(Install(Table({kContext})), 1);
    CommitTransaction();

    EXPECT_TRUE(boxes_.boxes().empty());
    ExpectPayload(library, g_product.files[kContext]);
    EXPECT_TRUE(RestartCompletesInstallation());
    const std::string aside = library + kAsideSuffix;
    std::string pending(32768, '\0');
    DWORD size = static_cast<DWORD>(pending.size());
    EXPECT_EQ(RegQueryValueExA(session, "PendingFileRenameOperations", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&pending[0]), &size), ERROR_SUCCESS);
    pending.resize(size);
    EXPECT_NE(pending.find(aside), std::string::npos) << aside;

    FreeLibrary(loaded);
    DeleteFileA(aside.c_str());
    if (hadPending)
        RegSetValueExA(session, "PendingFileRenameOperations", 0, REG_MULTI_SZ,
                       reinterpret_cast<const BYTE*>(pendingBefore.data()), sizeBefore);
    else
        RegDeleteValueA(session, "PendingFileRenameOperations");
    RegCloseKey(session);
}

// A run that ends early puts back every earlier file byte for byte, with its
// times and attributes, and removes what it made, folders included.
TEST_F(InstallTest, FileThatCannotBeCreatedEndsTheStepAndRollingBackRestoresTheEarlierFiles) {
    CreateFolderPath(install_.c_str());
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Order.txt", "earlier order"));
    ASSERT_TRUE(WriteWholeFile(install_ + "\\Read Me.txt", "earlier read-me"));
    SYSTEMTIME old = {2001, 5, 2, 1, 12, 0, 0, 0};
    FILETIME oldTime;
    ASSERT_TRUE(SystemTimeToFileTime(&old, &oldTime));
    ASSERT_TRUE(SetFileTimes(install_ + "\\Order.txt", oldTime));
    SetFileAttributesA((install_ + "\\Order.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    // A folder in the way of the temporary file: the new read-me cannot be created.
    ASSERT_TRUE(CreateDirectoryA((install_ + "\\Read Me.txt" + kNewSuffix).c_str(), nullptr));
    const TreeSnapshot before = Machine();
    ProductConfig product = Table({kOrder, kUninstaller, kReadMe, kRegInfo});
    product.files[1].flags = kInWindowsFolder | kAlwaysOverwrite;

    EXPECT_EQ(Install(product), -1);

    ExpectOneErrorBox(kCannotCreate);
    ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
    EXPECT_TRUE(FileExists(windows_ + "\\Parvunin.exe"));
    EXPECT_EQ(ControlText(page_, 404), "3");
    RollBackTransaction();
    EXPECT_EQ(Machine(), before);
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

        EXPECT_EQ(Install(*product), -1);

        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, kCannotCreate);
        EXPECT_EQ(boxes.boxes()[0].icon, UINT(MB_ICONERROR));
        ExpectPayload(install_ + "\\Order.txt", g_product.files[kOrder]);
        EXPECT_EQ(ProgressLogTotal(), 1976u);
        RollBackTransaction();
    }
}

TEST_F(InstallTest, TargetPathThatDoesNotFitEndsTheStepBeforeAnythingChanges) {
    const std::string longWindows = root_.path() + "\\" + std::string(kSlotSize - 2 - root_.path().size(), 'w');
    SetSlot(g_windowsFolder, longWindows);
    ProductConfig product = Table({kOrder, kReadMe});
    product.files[1].flags = kInWindowsFolder | kAlwaysOverwrite;

    EXPECT_EQ(Install(product), -1);

    ExpectOneErrorBox(kCannotCreate);
    EXPECT_EQ(ControlText(page_, 400), "Read Me.txt");
    EXPECT_EQ(ControlText(page_, 404), "2");
    EXPECT_TRUE(ProgressLog().empty());
    // Nothing was written, under a cut path or otherwise: the root holds only
    // what the test made.
    int entries = 0;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((root_ / "*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, "..")) ++entries;
    } while (FindNextFileA(find, &found));
    FindClose(find);
    EXPECT_EQ(entries, 1);  // Windows
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

        const int result = Install(product);
        SetCurrentDirectoryA(previous);

        EXPECT_EQ(result, -1);
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, kCannotCreate);
        EXPECT_EQ(boxes.boxes()[0].icon, UINT(MB_ICONERROR));
        EXPECT_FALSE(FileExists(written));  // ended before anything changed
        EXPECT_TRUE(ProgressLog().empty());
        EXPECT_EQ(ControlText(page_, 400), lost);
        EXPECT_EQ(ControlText(page_, 404), "2");
        EXPECT_FALSE(FileExists(current / lost));
        EXPECT_FALSE(FileExists(driveRoot + lost));
        EXPECT_FALSE(FileExists(install_ + "\\" + lost));
        EXPECT_FALSE(FileExists(windows_ + "\\" + lost));
    }
}

TEST_F(InstallTest, DriveWithoutRoomIsNamedBeforeAnythingChanges) {
    std::string why;
    const std::string disk = SmallDisk(&why);
    if (disk.empty()) GTEST_SKIP() << why;
    TempFolder onDisk("install", disk.c_str());
    SetInstallFolder(onDisk / "Trovado Pro");
    MessageBoxCatcher boxes(IDCANCEL);

    EXPECT_EQ(Install(Table({kReadMe, kProgram})), -1);  // the disk holds 64 KiB

    ASSERT_EQ(boxes.boxes().size(), 1u);
    const std::string& text = boxes.boxes()[0].text;
    EXPECT_EQ(text.find("Not enough free disk space on drive " + disk.substr(0, 2) + "!"), 0u) << text;
    EXPECT_NE(text.find("Needed: 417,792 bytes"), std::string::npos) << text;  // whole clusters
    EXPECT_FALSE(FolderExists(install_));
    EXPECT_TRUE(ProgressLog().empty());
}

// The disk fills while the files go in (another program writes to it): the
// step ends with its error, and rolling back leaves the earlier installation
// as it was.
std::string g_filler;

void CALLBACK FillDisk(HWND page, UINT, UINT_PTR id, DWORD) {
    KillTimer(page, id);
    HANDLE file = CreateFileA(g_filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string block(4096, 'f');
    DWORD written = 1;
    while (written && WriteFile(file, block.data(), 4096, &written, nullptr)) {}
    CloseHandle(file);
}

TEST_F(InstallTest, DiskThatFillsHalfWayLeavesTheEarlierInstallationAsItWas) {
    std::string why;
    const std::string disk = SmallDisk(&why);
    if (disk.empty()) GTEST_SKIP() << why;
    TempFolder onDisk("install", disk.c_str());
    SetInstallFolder(onDisk / "Trovado Pro");
    CreateFolderPath(install_.c_str());
    for (const char* name : {"Read Me.txt", "Order.txt", "RegInfo.txt"})
        ASSERT_TRUE(WriteWholeFile(install_ + "\\" + name, std::string("earlier ") + name));
    const TreeSnapshot before = Machine();
    g_filler = onDisk / "filler";
    // During the pause before the second file the disk runs full.
    SetTimer(page_, 1, 700, FillDisk);

    EXPECT_EQ(Install(Table({kReadMe, kOrder, kRegInfo})), -1);

    ExpectOneErrorBox(kCannotWrite);
    ExpectPayload(install_ + "\\Read Me.txt", g_product.files[kReadMe]);
    RollBackTransaction();
    DeleteFileA(g_filler.c_str());
    EXPECT_EQ(Machine(), before);
}

}  // namespace
