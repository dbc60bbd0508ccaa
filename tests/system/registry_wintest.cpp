#include "system/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/config.h"
#include "tests/support/program_keys.h"
#include "tests/system/registry_tree.h"
#include "uninstall/removal.h"

namespace {

#define CLASS_ID "{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}"
#define CURRENT_VERSION "Software\\Microsoft\\Windows\\CurrentVersion"
#define FIND_EXTENSIONS CURRENT_VERSION "\\explorer\\FindExtensions"

const char kUninstallKey[] = CURRENT_VERSION "\\Uninstall";
const char kEntryKey[] = CURRENT_VERSION "\\Uninstall\\Trovado Pro";
const char kClassKey[] = "CLSID\\" CLASS_ID;
const char kServerKey[] = "CLSID\\" CLASS_ID "\\InProcServer32";
const char kStaticKey[] = FIND_EXTENSIONS "\\Static";
const char kExtensionKey[] = FIND_EXTENSIONS "\\Static\\Trovado";
const char kMenuKey[] = FIND_EXTENSIONS "\\Static\\Trovado\\0";
const char kIconKey[] = FIND_EXTENSIONS "\\Static\\Trovado\\0\\DefaultIcon";
const char kUnloadKey[] = CURRENT_VERSION "\\explorer\\AlwaysUnloadDll";

const char kInstallFolder[] = "D:\\Tools\\Finder";
const char kGroupName[] = "Search Tools";
const char kProgramsFolder[] = "C:\\Users\\me\\Start Menu\\Programs";

// Saves every key the routines touch (with the parents the tests add or
// remove) and the path slots; puts all of it back afterwards. Each test then
// starts from a machine without the product's keys.
class Registry : public ::testing::Test {
protected:
    void SetUp() override {
        const std::pair<HKEY, const char*> touched[] = {
            {HKEY_LOCAL_MACHINE, kCompanyKey}, {HKEY_LOCAL_MACHINE, kUninstallKey},
            {HKEY_CLASSES_ROOT, kClassKey},    {HKEY_LOCAL_MACHINE, FIND_EXTENSIONS},
            {HKEY_LOCAL_MACHINE, kUnloadKey},
        };
        for (const auto& key : touched) saved_.push_back({key.first, SaveKeyTree(key.first, Wide(key.second))});
        memcpy(slots_[0], g_installFolder, kSlotSize);
        memcpy(slots_[1], g_windowsFolder, kSlotSize);
        memcpy(slots_[2], g_groupName, kSlotSize);
        memcpy(slots_[3], g_programsFolder, kSlotSize);
        strcpy(g_programsFolder, kProgramsFolder);

        RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kCompanyKey));
        RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kEntryKey));
        RemoveKeyTree(HKEY_CLASSES_ROOT, Wide(kClassKey));
        RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kExtensionKey));
        RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kUnloadKey));
        ASSERT_TRUE(MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey));
        ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID"));
        ASSERT_TRUE(MakeKey(HKEY_LOCAL_MACHINE, kStaticKey));
        SetSlots(kInstallFolder, "C:\\Windows", kGroupName);
    }

    void TearDown() override {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) RestoreKeyTree(it->first, it->second);
        memcpy(g_installFolder, slots_[0], kSlotSize);
        memcpy(g_windowsFolder, slots_[1], kSlotSize);
        memcpy(g_groupName, slots_[2], kSlotSize);
        memcpy(g_programsFolder, slots_[3], kSlotSize);
    }

    static void SetSlots(const char* install, const char* windows, const char* group) {
        strcpy(g_installFolder, install);
        strcpy(g_windowsFolder, windows);
        strcpy(g_groupName, group);
    }

    std::vector<std::pair<HKEY, SavedKey>> saved_;
    char slots_[4][kSlotSize];
};

ReadBack Machine(const char* path, const char* name) { return GetValue(HKEY_LOCAL_MACHINE, path, name); }
ReadBack Classes(const char* path, const char* name) { return GetValue(HKEY_CLASSES_ROOT, path, name); }

size_t ValueCount(HKEY root, const char* path) {
    return SaveKeyTree(root, Wide(path)).values.size();
}

void ExpectGroupsOneToFourWritten() {
    EXPECT_EQ(Machine(kCompanyKey, "Trovado Pro"), Sz(kInstallFolder));
    EXPECT_EQ(Machine(kVersionKey, "Program Version"), Sz("4.02"));
    EXPECT_EQ(Machine(kEntryKey, "DisplayName"), Sz("Trovado Pro"));
    EXPECT_EQ(Classes(kClassKey, nullptr), Sz("Trovado Pro"));
    EXPECT_EQ(Classes(kServerKey, "ThreadingModel"), Sz("Apartment"));
}

TEST_F(Registry, EveryValueOfTheFiveGroupsReadsBackAsAString) {
    WriteRegistryEntries();

    EXPECT_EQ(Machine(kCompanyKey, "Trovado Pro"), Sz(kInstallFolder));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kCompanyKey), 1u);
    EXPECT_EQ(Machine(kVersionKey, "Program Version"), Sz("4.02"));

    EXPECT_EQ(Machine(kEntryKey, "DisplayName"), Sz("Trovado Pro"));
    EXPECT_EQ(Machine(kEntryKey, "DisplayVersion"), Sz("v4.02"));
    EXPECT_EQ(Machine(kEntryKey, "UninstallString"), Sz("C:\\Windows\\Parvunin.exe"));
    EXPECT_EQ(Machine(kEntryKey, "Program Path"), Sz(kInstallFolder));
    EXPECT_EQ(Machine(kEntryKey, "Program Group"), Sz(kGroupName));
    EXPECT_EQ(Machine(kEntryKey, "Publisher"), Sz("Velmora Utilities"));
    EXPECT_EQ(Machine(kEntryKey, "HelpLink"), Sz(g_product.helpLink));
    EXPECT_EQ(Machine(kEntryKey, "Program Group Folder"),
              Sz("C:\\Users\\me\\Start Menu\\Programs\\Search Tools"));
    EXPECT_EQ(Machine(kEntryKey, "QuietUninstallString"), Sz("C:\\Windows\\Parvunin.exe /VERYSILENT"));
    EXPECT_EQ(Machine(kEntryKey, "InstallLocation"), Sz(kInstallFolder));
    EXPECT_EQ(Machine(kEntryKey, "DisplayIcon"), Sz(std::string(kInstallFolder) + "\\Trovado Pro.exe"));
    EXPECT_EQ(Machine(kEntryKey, "EstimatedSize"), Dword(926));  // 947,817 bytes
    EXPECT_EQ(Machine(kEntryKey, "InstallDate").data.size(), 9u);  // YYYYMMDD
    EXPECT_EQ(Machine(kEntryKey, "NoModify"), Dword(1));
    EXPECT_EQ(Machine(kEntryKey, "NoRepair"), Dword(1));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kEntryKey), 15u);

    EXPECT_EQ(Classes(kClassKey, nullptr), Sz("Trovado Pro"));
    EXPECT_EQ(Classes(kServerKey, nullptr), Sz("TrovadoCtx.dll"));
    EXPECT_EQ(Classes(kServerKey, "ThreadingModel"), Sz("Apartment"));

    EXPECT_EQ(Machine(kExtensionKey, nullptr), Sz(CLASS_ID));
    EXPECT_EQ(Machine(kMenuKey, nullptr), Sz("&Trovado Fast..."));
    EXPECT_EQ(Machine(kIconKey, nullptr), Sz("TrovadoCtx.dll,0"));
}

TEST_F(Registry, SlotsAreReadWhenWrittenAndASecondRunOverwritesInPlace) {
    WriteRegistryEntries();
    SetSlots("E:\\Elsewhere", "C:\\WinNT", "Other Group");
    WriteRegistryEntries();

    EXPECT_EQ(Machine(kCompanyKey, "Trovado Pro"), Sz("E:\\Elsewhere"));
    EXPECT_EQ(Machine(kEntryKey, "Program Path"), Sz("E:\\Elsewhere"));
    EXPECT_EQ(Machine(kEntryKey, "Program Group"), Sz("Other Group"));
    EXPECT_EQ(Machine(kEntryKey, "UninstallString"), Sz("C:\\WinNT\\Parvunin.exe"));
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kEntryKey), 15u);
}

TEST_F(Registry, UninstallStringIsQuotedOnlyWhenThePathHasASpace) {
    SetSlots(kInstallFolder, "C:\\Program Files\\Win Dir", kGroupName);
    WriteRegistryEntries();
    EXPECT_EQ(Machine(kEntryKey, "UninstallString"),
              Sz("\"C:\\Program Files\\Win Dir\\Parvunin.exe\""));

    SetSlots(kInstallFolder, "C:\\", kGroupName);
    WriteRegistryEntries();
    EXPECT_EQ(Machine(kEntryKey, "UninstallString"), Sz("C:\\Parvunin.exe"));
}

// /NOICONS made no links: no group is named, so the uninstaller never takes
// the Programs folder itself for the group.
TEST_F(Registry, ARunWithoutLinksNamesNoGroup) {
    SetSlots(kInstallFolder, "C:\\Windows", "");
    WriteRegistryEntries();
    EXPECT_FALSE(Machine(kEntryKey, "Program Group").found);
    EXPECT_FALSE(Machine(kEntryKey, "Program Group Folder").found);
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kEntryKey), 13u);
}

TEST_F(Registry, AnUninstallerPathTooLongForAPathBufferIsLeftOutAlone) {
    // 250 characters of folder, a backslash and "Parvunin.exe" need 264 bytes.
    const std::string longFolder = "C:\\" + std::string(247, 'w');
    SetSlots(kInstallFolder, longFolder.c_str(), kGroupName);
    WriteRegistryEntries();

    EXPECT_FALSE(Machine(kEntryKey, "UninstallString").found);
    EXPECT_FALSE(Machine(kEntryKey, "QuietUninstallString").found);
    EXPECT_EQ(ValueCount(HKEY_LOCAL_MACHINE, kEntryKey), 13u);
    EXPECT_EQ(Machine(kEntryKey, "HelpLink"), Sz(g_product.helpLink));
    ExpectGroupsOneToFourWritten();
}

TEST_F(Registry, WithoutTheStaticFindExtensionsKeyNothingOfGroupFiveIsWritten) {
    RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kStaticKey));
    WriteRegistryEntries();

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kStaticKey));
    ExpectGroupsOneToFourWritten();
}

TEST_F(Registry, WithoutTheUninstallKeyOnlyTheUninstallEntryIsSkipped) {
    RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kUninstallKey));
    WriteRegistryEntries();

    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_EQ(Machine(kCompanyKey, "Trovado Pro"), Sz(kInstallFolder));
    EXPECT_EQ(Machine(kVersionKey, "Program Version"), Sz("4.02"));
    EXPECT_EQ(Classes(kServerKey, nullptr), Sz("TrovadoCtx.dll"));
    EXPECT_EQ(Machine(kIconKey, nullptr), Sz("TrovadoCtx.dll,0"));
}

// The uninstaller's side: what setup wrote goes, each key only when nothing
// else is in it (another product of the same maker, another find extension),
// the unload switch stays, and a second removal finds nothing to fail on.
TEST_F(Registry, RemovalTakesWhatSetupWroteAndLeavesWhatOthersKeepThere) {
    WriteUnloadSwitch();
    WriteRegistryEntries();
    const std::string other = std::string(kCompanyKey) + "\\Programs\\Lumen Pro\\Current Version";
    ASSERT_TRUE(PutValue(HKEY_LOCAL_MACHINE, kCompanyKey, "Lumen Pro", REG_SZ, "D:\\Lumen", 9));
    ASSERT_TRUE(PutValue(HKEY_LOCAL_MACHINE, other.c_str(), "Program Version", REG_SZ, "1.0", 4));
    ASSERT_TRUE(PutValue(HKEY_CLASSES_ROOT, kServerKey, "Extra", REG_SZ, "x", 2));
    for (int run = 0; run < 2; ++run) {
        RemoveRegistryEntries();
        EXPECT_FALSE(Machine(kCompanyKey, "Trovado Pro").found);
        EXPECT_EQ(Machine(kCompanyKey, "Lumen Pro"), Sz("D:\\Lumen"));
        EXPECT_EQ(Machine(other.c_str(), "Program Version"), Sz("1.0"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Velmora Utilities\\Programs\\Trovado Pro"));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        // The server key keeps the value that is not setup's, and so its parent.
        EXPECT_FALSE(Classes(kServerKey, nullptr).found);
        EXPECT_EQ(Classes(kServerKey, "Extra"), Sz("x"));
        EXPECT_FALSE(Classes(kClassKey, nullptr).found);
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionKey));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kStaticKey));
        EXPECT_EQ(Machine(kUnloadKey, nullptr), Sz("1"));
    }
}

TEST_F(Registry, UnloadSwitchIsCreatedAndSetToOne) {
    WriteUnloadSwitch();
    EXPECT_EQ(Machine(kUnloadKey, nullptr), Sz("1"));

    ASSERT_TRUE(PutValue(HKEY_LOCAL_MACHINE, kUnloadKey, nullptr, REG_SZ, "0", 2));
    WriteUnloadSwitch();
    EXPECT_EQ(Machine(kUnloadKey, nullptr), Sz("1"));
}

// A buffer the size the caller passes, filled with a pattern that no read
// should disturb.
struct Buffer {
    char bytes[kPathBufferSize];
    Buffer() { memset(bytes, '#', sizeof bytes); }
    bool Untouched() const {
        for (char c : bytes)
            if (c != '#') return false;
        return true;
    }
};

TEST_F(Registry, OnAFirstRunNoFolderIsRememberedAndTheBufferIsLeftAlone) {
    Buffer buffer;
    EXPECT_FALSE(ReadPreviousInstallFolder(buffer.bytes));
    EXPECT_TRUE(buffer.Untouched());

    // The company key alone, without the value, remembers nothing either.
    ASSERT_TRUE(MakeKey(HKEY_LOCAL_MACHINE, kCompanyKey));
    EXPECT_FALSE(ReadPreviousInstallFolder(buffer.bytes));
    EXPECT_TRUE(buffer.Untouched());
}

TEST_F(Registry, AfterACompletedRunTheInstallFolderIsRemembered) {
    WriteRegistryEntries();
    Buffer buffer;
    ASSERT_TRUE(ReadPreviousInstallFolder(buffer.bytes));
    EXPECT_STREQ(buffer.bytes, kInstallFolder);

    SetSlots("E:\\Elsewhere", "C:\\Windows", kGroupName);
    WriteRegistryEntries();
    ASSERT_TRUE(ReadPreviousInstallFolder(buffer.bytes));
    EXPECT_STREQ(buffer.bytes, "E:\\Elsewhere");
}

TEST_F(Registry, RemembersAnyStringThatFitsASlot) {
    // 255 characters and the NUL fill the 256-byte slot exactly.
    const std::string longest = "C:\\" + std::string(252, 'f');
    ASSERT_TRUE(PutValue(HKEY_LOCAL_MACHINE, kCompanyKey, "Trovado Pro", REG_SZ, longest.c_str(),
                         static_cast<DWORD>(longest.size() + 1)));
    Buffer buffer;
    ASSERT_TRUE(ReadPreviousInstallFolder(buffer.bytes));
    EXPECT_EQ(std::string(buffer.bytes), longest);

    // An expandable string is taken as stored.
    const char expandable[] = "%ProgramFiles%\\Trovado Pro";
    ASSERT_TRUE(PutValue(HKEY_LOCAL_MACHINE, kCompanyKey, "Trovado Pro", REG_EXPAND_SZ, expandable,
                         sizeof expandable));
    ASSERT_TRUE(ReadPreviousInstallFolder(buffer.bytes));
    EXPECT_STREQ(buffer.bytes, expandable);
}

TEST_F(Registry, AValueThatIsNoFittingStringIsNotRememberedAndLeavesTheBufferAlone) {
    struct Case {
        const char* what;
        DWORD type;
        std::string data;  // stored exactly, NUL only where present here
    };
    // The registry adds a NUL that a caller forgot to count when the byte
    // after the data is one; the text after the counted bytes prevents that.
    const std::string unterminated = "C:\\Remembered";
    const std::string fullSlot = "C:\\" + std::string(253, 'u');  // 256 bytes, no NUL
    const std::string tooLong = "C:\\" + std::string(253, 'l') + '\0';  // 257 bytes
    const DWORD one = 1;
    const Case cases[] = {
        {"short string without NUL", REG_SZ, unterminated},
        {"slot-sized string without NUL", REG_SZ, fullSlot},
        {"string too long for the slot", REG_SZ, tooLong},
        {"empty string", REG_SZ, std::string(1, '\0')},
        {"REG_DWORD", REG_DWORD, std::string(reinterpret_cast<const char*>(&one), sizeof one)},
        {"REG_BINARY holding a path", REG_BINARY, std::string("C:\\Folder\0", 10)},
        {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("C:\\Folder\0\0", 11)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string stored = c.data + "!guard";
        ASSERT_TRUE(PutValue(HKEY_LOCAL_MACHINE, kCompanyKey, "Trovado Pro", c.type, stored.data(),
                             static_cast<DWORD>(c.data.size())));
        const ReadBack back = Machine(kCompanyKey, "Trovado Pro");
        ASSERT_EQ(back.type, c.type);
        ASSERT_EQ(back.data, c.data);  // stored as meant, without an added NUL

        Buffer buffer;
        EXPECT_FALSE(ReadPreviousInstallFolder(buffer.bytes));
        EXPECT_TRUE(buffer.Untouched());
    }
}

}  // namespace
