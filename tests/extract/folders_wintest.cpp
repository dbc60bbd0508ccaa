// The install folder's preparation: what a clean-up deletes and spares, when
// an existing folder counts as an earlier installation, the creation of a
// folder path, and the overwrite rule.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/config.h"
#include "extract/install.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(IsDeletable, KeepsTheProductsDataFilesInAnyLetterCase) {
    for (const char* kept : {"Index.KEY", "index.key", "db.Dat", "x.FND", "y.fnd", "z.FiD", ".dat",
                             "archive.old.KEY"}) {
        EXPECT_FALSE(IsDeletable(kept)) << kept;
    }
    for (const char* gone : {"Trovado Pro.exe", "NoExtension", "Index.KEY.bak", "file.DATA",
                             "x.KE", "KEY", "x.", "Read Me.txt"}) {
        EXPECT_TRUE(IsDeletable(gone)) << gone;
    }
}

class FolderTest : public ::testing::Test {
protected:
    std::string Make(const std::string& relative, const std::string& contents = "x",
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::string path = root_ / relative;
        EXPECT_TRUE(WriteWholeFile(path, contents)) << path;
        if (attributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    void MakeFolder(const std::string& relative) {
        EXPECT_TRUE(CreateDirectoryA((root_ / relative).c_str(), nullptr)) << relative;
    }
    TempFolder root_{"folders"};
};

TEST_F(FolderTest, CleanUpDeletesFilesAtEveryDepthButSparesDataFilesAndFolders) {
    MakeFolder("Sub");
    MakeFolder("Sub\\Deeper");
    MakeFolder("Sub\\Empty");
    const char* deleted[] = {"Trovado Pro.exe", "NoExtension", "Index.KEY.bak",
                             "Sub\\Trovado Pro.hlp", "Sub\\Deeper\\notes.txt"};
    const char* kept[] = {"Index.KEY", "db.Dat", "words.fnd", "ids.FID", "Sub\\more.DAT",
                          "Sub\\Deeper\\deep.key"};
    for (const char* name : deleted) Make(name);
    for (const char* name : kept) Make(name, std::string("data of ") + name);
    Make("ReadOnly.txt", "r", FILE_ATTRIBUTE_READONLY);
    Make("Sub\\Deeper\\Hidden.exe", "h", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    Make("Sub\\Deeper\\Kept ReadOnly.fid", "k", FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(CleanFolder(root_.path().c_str()));

    for (const char* name : deleted) EXPECT_FALSE(FileExists(root_ / name)) << name;
    EXPECT_FALSE(FileExists(root_ / "ReadOnly.txt"));
    EXPECT_FALSE(FileExists(root_ / "Sub\\Deeper\\Hidden.exe"));
    for (const char* name : kept) {
        std::string contents;
        EXPECT_TRUE(ReadWholeFile(root_ / name, &contents)) << name;
        EXPECT_EQ(contents, std::string("data of ") + name);
    }
    EXPECT_TRUE(FileExists(root_ / "Sub\\Deeper\\Kept ReadOnly.fid"));
    for (const char* folder : {"Sub", "Sub\\Deeper", "Sub\\Empty"})
        EXPECT_TRUE(FolderExists(root_ / folder)) << folder;
}

TEST_F(FolderTest, CleanUpOfAFolderThatCannotBeListedReportsIt) {
    EXPECT_FALSE(CleanFolder((root_ / "Missing").c_str()));
    // A folder path too long for any joined path is not listed at all.
    const std::string tooLong = root_ / std::string(300, 'a');
    EXPECT_FALSE(CleanFolder(tooLong.c_str()));
}

// The \\?\ form of a path, which reaches past MAX_PATH with the wide calls.
std::wstring LongPath(const std::string& path) {
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

bool WriteLongFile(const std::string& path) {
    HANDLE file = CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool LongFileExists(const std::string& path) {
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// An entry whose full path does not fit a path buffer is skipped: cut or
// emptied, its path would name something else ("" joined with "*.*" is the
// root of the current drive). The current drive here is the fixture's scratch
// drive Q:, whose root holds a sentinel that such a clean-up would delete.
TEST(CleanUpOfLongPaths, EntriesWhosePathDoesNotFitAreSkipped) {
    std::string why;
    if (ExtractFixtures(&why).empty()) GTEST_SKIP() << why;
    if (!FolderExists("Q:\\")) GTEST_SKIP() << "the fixture could not make drive Q: (taken?)";
    TempFolder root("long", "Q:");
    const std::string sentinel = "Q:\\Sentinel.txt";
    const std::string install = root / std::string(240 - root.path().size(), 'i');
    const std::string deep = install + "\\" + std::string(40, 'd');
    const std::string longFile = install + "\\" + std::string(30, 'f') + ".txt";
    ASSERT_TRUE(WriteWholeFile(sentinel, "x"));
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(install + "\\plain.txt", "x"));
    ASSERT_TRUE(CreateDirectoryW(LongPath(deep).c_str(), nullptr));
    ASSERT_TRUE(WriteLongFile(deep + "\\inner.txt"));
    ASSERT_TRUE(WriteLongFile(longFile));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(root.path().c_str()));

    EXPECT_TRUE(CleanFolder(install.c_str()));

    SetCurrentDirectoryA(previous);
    EXPECT_FALSE(FileExists(install + "\\plain.txt"));
    EXPECT_TRUE(FileExists(sentinel));
    EXPECT_TRUE(LongFileExists(deep + "\\inner.txt"));
    EXPECT_TRUE(LongFileExists(longFile));
    // Paths this long are beyond RemoveTree: take them apart here.
    DeleteFileW(LongPath(deep + "\\inner.txt").c_str());
    RemoveDirectoryW(LongPath(deep).c_str());
    DeleteFileW(LongPath(longFile).c_str());
    DeleteFileA(sentinel.c_str());
}

// The link Escape inside links\install leads to links\outside (made by
// tests/extract/fixtures.sh, since Wine cannot make one).
TEST_F(FolderTest, CleanUpNeverFollowsASymbolicLinkOutOfTheFolder) {
    std::string why;
    const std::string fixtures = ExtractFixtures(&why);
    if (fixtures.empty()) GTEST_SKIP() << why;
    const std::string install = fixtures + "\\links\\install";
    const std::string outside = fixtures + "\\links\\outside";
    const DWORD link = GetFileAttributesA((install + "\\Escape").c_str());
    ASSERT_NE(link, INVALID_FILE_ATTRIBUTES) << "the fixture's link is missing";
    ASSERT_TRUE(link & FILE_ATTRIBUTE_REPARSE_POINT);

    CreateDirectoryA((outside + "\\Deeper").c_str(), nullptr);
    ASSERT_TRUE(WriteWholeFile(outside + "\\Precious.txt", "mine"));
    ASSERT_TRUE(WriteWholeFile(outside + "\\Deeper\\Also Precious.exe", "mine too"));
    ASSERT_TRUE(WriteWholeFile(install + "\\Read Me.txt", "old"));
    ASSERT_TRUE(FileExists(install + "\\Escape\\Precious.txt"));  // seen through the link

    EXPECT_TRUE(CleanFolder(install.c_str()));

    EXPECT_FALSE(FileExists(install + "\\Read Me.txt"));
    EXPECT_TRUE(FileExists(outside + "\\Precious.txt"));
    EXPECT_TRUE(FileExists(outside + "\\Deeper\\Also Precious.exe"));
    EXPECT_NE(GetFileAttributesA((install + "\\Escape").c_str()), INVALID_FILE_ATTRIBUTES);

    DeleteFileA((outside + "\\Deeper\\Also Precious.exe").c_str());
    RemoveDirectoryA((outside + "\\Deeper").c_str());
    DeleteFileA((outside + "\\Precious.txt").c_str());
}

TEST_F(FolderTest, AnEarlierInstallationIsRecognisedByAnInstallFolderFileOfTheTable) {
    const std::string folder = root_.path();
    EXPECT_FALSE(HoldsEarlierInstallation(folder.c_str(), g_product));  // empty

    Make("notes.txt");
    Make("Parvunin.exe");    // a Windows-folder entry's name does not count
    MakeFolder("Read Me.txt");  // nor does a folder of a file's name
    EXPECT_FALSE(HoldsEarlierInstallation(folder.c_str(), g_product));

    Make("Order.txt");
    EXPECT_TRUE(HoldsEarlierInstallation(folder.c_str(), g_product));
}

TEST_F(FolderTest, CreateFolderPathCreatesEveryMissingLevel) {
    MakeFolder("Exists");
    const std::string path = root_ / "Exists\\Velmora Utilities\\Trovado Pro\\Data";
    CreateFolderPath(path.c_str());
    EXPECT_TRUE(FolderExists(root_ / "Exists\\Velmora Utilities"));
    EXPECT_TRUE(FolderExists(root_ / "Exists\\Velmora Utilities\\Trovado Pro"));
    EXPECT_TRUE(FolderExists(path));

    const std::string slashed = root_ / "Other\\Level\\";
    CreateFolderPath(slashed.c_str());
    EXPECT_TRUE(FolderExists(root_ / "Other\\Level"));

    // A path longer than the work buffer creates nothing, not even its
    // first levels: a cut path would name other folders.
    const std::string tooLong = root_ / ("Cut\\" + std::string(260, 'b'));
    CreateFolderPath(tooLong.c_str());
    EXPECT_FALSE(FolderExists(root_ / "Cut"));
}

TEST_F(FolderTest, AnExistingFileIsOverwrittenOnlyWithFlag0x10) {
    FileEntry entry = g_product.files[kReadMeEntry];
    const std::string target = root_ / entry.fileName;

    entry.flags = kInInstallFolder;
    EXPECT_TRUE(ShouldWriteEntry(target.c_str(), entry));  // absent
    Make(entry.fileName);
    EXPECT_FALSE(ShouldWriteEntry(target.c_str(), entry));
    {
        // Present but not readable: written, which then fails and says so.
        HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(ShouldWriteEntry(target.c_str(), entry));
        CloseHandle(held);
    }
    entry.flags = kInInstallFolder | kAlwaysOverwrite;
    EXPECT_TRUE(ShouldWriteEntry(target.c_str(), entry));

    // Every shipped entry carries 0x10.
    for (int i = 0; i < g_product.fileCount; ++i)
        EXPECT_TRUE(ShouldWriteFile(target.c_str(), i)) << i;
}

}  // namespace
