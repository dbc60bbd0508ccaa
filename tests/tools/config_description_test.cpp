// Reading the product description: the shipped one gives the shipped record's
// values, and every description that cannot make a valid record is refused
// with a message that names the field and its limit.
#include "tools/config/description.h"

#include "tools/config/generate.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::string, std::string>> Keys;

// A valid description of seven entries (the fewest that have an uninstaller
// and a read-me entry) that the tests change one key at a time.
struct Builder {
    Keys product = {{"name", "Trovado Pro"},          {"version", "4.02"},
                    {"tagline", "Find anything"},     {"company", "Velmora Utilities"},
                    {"help_link", "http://x.example/"}, {"release_time", "2006,12,6,23,4,2,0,0"},
                    {"shortcut_count", "2"}};
    std::vector<Keys> entries;

    Builder() {
        for (int i = 0; i < 7; ++i)
            entries.push_back({{"file", "File" + std::to_string(i) + ".txt"},
                               {"flags", i == 0 ? "0x12" : "0x11"},
                               {"resource", "RES" + std::to_string(i)},
                               {"shortcut", i < 2 ? "Shortcut " + std::to_string(i) : "-"}});
    }
    static void Set(Keys& keys, const std::string& key, const std::string& value) {
        for (auto& kv : keys)
            if (kv.first == key) {
                kv.second = value;
                return;
            }
        keys.push_back({key, value});
    }
    static void Drop(Keys& keys, const std::string& key) {
        for (size_t i = 0; i < keys.size(); ++i)
            if (keys[i].first == key) keys.erase(keys.begin() + i);
    }
    std::string Text() const {
        std::string s = "; test product\r\n[product]\r\n";
        for (const auto& kv : product) s += kv.first + " = " + kv.second + "\r\n";
        for (const Keys& e : entries) {
            s += "\r\n[entry]\r\n";
            for (const auto& kv : e) s += kv.first + " = " + kv.second + "\r\n";
        }
        return s;
    }
};

// The resource names that the program's own resource script reserves, with
// the macro listings that the build made of it.
const std::vector<ReservedName>& Reserved() {
    static std::vector<ReservedName> names;
    if (names.empty()) {
        std::vector<std::string> errors;
        EXPECT_TRUE(ReadReservedResourceNames(PORTAVO_SOURCE_DIR "/resources/setup.rc",
                                              {PORTAVO_GEN_DIR "/resource-macros-i686-w64-mingw32.i",
                                               PORTAVO_GEN_DIR "/resource-macros-x86_64-w64-mingw32.i"},
                                              &names, &errors));
    }
    return names;
}

// All messages of reading the text, joined by newlines; "" when it was valid.
std::string Errors(const std::string& text, ProductDescription* out = nullptr) {
    ProductDescription d;
    std::vector<std::string> errors;
    bool ok = ReadDescription(text, "test.ini", Reserved(), &d, &errors);
    EXPECT_EQ(ok, errors.empty());
    if (out) *out = d;
    std::string joined;
    for (const std::string& e : errors) joined += e + "\n";
    return joined;
}

#define EXPECT_MENTIONS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)

TEST(Description, ShippedDescriptionGivesTheShippedRecord) {
    std::ifstream in(PORTAVO_SOURCE_DIR "/resources/product.ini", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    ProductDescription d;
    ASSERT_EQ(Errors(text.str(), &d), "");
    EXPECT_EQ(d.name, "Trovado Pro");
    EXPECT_EQ(d.version, "4.02");
    EXPECT_EQ(d.company, "Velmora Utilities");
    EXPECT_FALSE(d.tagline.empty());
    // "Trovado Pro - " and the tagline must fit the backdrop comfortably.
    EXPECT_LT(d.tagline.size(), 25u);
    const uint16_t time[8] = {2006, 12, 6, 23, 4, 2, 0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(d.releaseTime[i], time[i]) << i;
    EXPECT_EQ(d.shortcutCount, 7);
    struct Row {
        const char *file, *resource, *shortcut;
        uint32_t flags;
    } rows[] = {{"Parvunin.exe", "UINSTALL", "Uninstall", 0x12},
                {"Uprella.exe", "UPDATER", "Update", 0x11},
                {"Trovado Pro.exe", "PROGRAM", "Trovado Pro", 0x11},
                {"Trovado Indexer.exe", "INDEXER", "Trovado Indexer", 0x11},
                {"Trovado Pro.hlp", "HELPFILE", "Help", 0x11},
                {"Trovado Indexer.hlp", "HLPIDXER", "Indexer Help", 0x11},
                {"Read Me.txt", "README", "Read Me", 0x11},
                {"Order.txt", "ORDER", "-", 0x11},
                {"RegInfo.txt", "REGINFO", "-", 0x11},
                {"TrovadoCtx.dll", "CONTEXT", "-", 0x12}};
    ASSERT_EQ(d.entries.size(), 10u);
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(d.entries[i].file, rows[i].file) << i;
        EXPECT_EQ(d.entries[i].resource, rows[i].resource) << i;
        EXPECT_EQ(d.entries[i].shortcut, rows[i].shortcut) << i;
        EXPECT_EQ(d.entries[i].flags, rows[i].flags) << i;
    }
}

TEST(Description, TextsMayFillTheirFieldButNotOverflowIt) {
    struct Field {
        bool entry;
        const char* key;
        size_t size;  // the record's char[size]
        char fill;
    } fields[] = {{false, "name", 20, 'n'},    {false, "version", 10, '4'},
                  {false, "tagline", 60, 't'}, {false, "company", 20, 'c'},
                  {false, "help_link", 60, 'h'}, {true, "file", 24, 'f'},
                  {true, "resource", 16, 'R'}, {true, "shortcut", 20, 's'}};
    for (const Field& f : fields) {
        for (size_t length : {f.size - 1, f.size}) {
            Builder b;
            // A one-letter name keeps the backdrop's title and tagline within
            // their buffers, so that only the field's own limit is tested.
            if (std::string(f.key) != "name") Builder::Set(b.product, "name", "T");
            Builder::Set(f.entry ? b.entries[1] : b.product, f.key, std::string(length, f.fill));
            std::string errors = Errors(b.Text());
            if (length < f.size) {
                EXPECT_EQ(errors, "") << f.key;
            } else {
                EXPECT_MENTIONS(errors, std::string(f.key) + ": ");
                EXPECT_MENTIONS(errors, "at most " + std::to_string(f.size - 1));
                EXPECT_MENTIONS(errors, "test.ini:");
            }
        }
    }
}

TEST(Description, BackdropTitleAndTaglineMustFitTheirBuffers) {
    // "name vversion" holds 29 characters, "name - tagline" 63.
    struct Case {
        const char* name;
        const char* version;
        size_t tagline;
        const char* refused;  // the key named, or nullptr
    } cases[] = {
        {"Trovado Pro", "4.02", 49, nullptr},
        {"Trovado Pro", "4.02", 50, "tagline: the backdrop's tagline"},
        {"Nineteen Characters", "123456789", 10, "version: the backdrop's title"},
        {"Eighteen Character", "123456789", 10, nullptr},
    };
    for (const Case& c : cases) {
        Builder b;
        Builder::Set(b.product, "name", c.name);
        Builder::Set(b.product, "version", c.version);
        Builder::Set(b.product, "tagline", std::string(c.tagline, 't'));
        std::string errors = Errors(b.Text());
        if (!c.refused) {
            EXPECT_EQ(errors, "") << c.name << " " << c.version;
        } else {
            EXPECT_MENTIONS(errors, c.refused);
            EXPECT_MENTIONS(errors, "test.ini:");
        }
    }
}

TEST(Description, TextsMustBePresentPrintableAndNamesUsableAsFileNames) {
    Builder b;
    Builder::Set(b.product, "tagline", "");
    EXPECT_MENTIONS(Errors(b.Text()), "tagline: empty");
    b = Builder();
    Builder::Set(b.product, "company", "Velm\xF6ra");
    EXPECT_MENTIONS(Errors(b.Text()), "company: only printable ASCII");
    b = Builder();
    Builder::Set(b.entries[3], "file", "sub\\file.txt");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 3: file: \"sub\\file.txt\" contains '\\'");
    b = Builder();
    Builder::Set(b.entries[1], "shortcut", "Help?");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 1: shortcut:");
    // The names become files, links and folders: each is held to the rule
    // the program holds folder names to, and the message gives the line, the
    // key and the value. (Line 3 is the product name, entry 3's file is on
    // line 30, entry 1's shortcut on line 21.)
    struct NameCase {
        int entry;  // -1: the product name
        const char* key;
        const char* value;
        const char* message;
    } names[] = {
        {3, "file", "AUX.txt", "test.ini:30: entry 3: file: \"AUX.txt\" names the device AUX"},
        {3, "file", "lpt1", "test.ini:30: entry 3: file: \"lpt1\" names the device lpt1"},
        {1, "shortcut", "LPT1", "test.ini:21: entry 1: shortcut: \"LPT1\" names the device LPT1"},
        {1, "shortcut", "Com9 .lnk", "entry 1: shortcut: \"Com9 .lnk\" names the device Com9"},
        {1, "shortcut", "CONOUT$", "entry 1: shortcut: \"CONOUT$\" names the device CONOUT$"},
        {3, "file", "com0.log", "entry 3: file: \"com0.log\" names the device com0"},
        {-1, "name", "Nul", "test.ini:3: name: \"Nul\" names the device Nul"},
        {3, "file", "Notes.", "entry 3: file: \"Notes.\" ends with a dot"},
        {-1, "name", "...", "name: \"...\" is only dots and spaces"},
        {3, "file", "a|b.txt", "entry 3: file: \"a|b.txt\" contains '|'"},
        {1, "shortcut", "Tab\x7F", "entry 1: shortcut: only printable ASCII"},
    };
    for (const NameCase& c : names) {
        b = Builder();
        Builder::Set(c.entry < 0 ? b.product : b.entries[c.entry], c.key, c.value);
        EXPECT_MENTIONS(Errors(b.Text()), c.message);
    }
    // Names that only look like devices are files like any other.
    b = Builder();
    Builder::Set(b.entries[3], "file", "AUXILIARY.txt");
    Builder::Set(b.entries[1], "shortcut", "COM10");
    Builder::Set(b.product, "name", "Console");
    EXPECT_EQ(Errors(b.Text()), "");
    b = Builder();
    Builder::Set(b.entries[2], "resource", "Lower");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 2: resource: \"Lower\" is not a resource name");
    // The program's own resources keep their names: the license text and the
    // checksum table; and every macro where the script includes payload.rc,
    // its own ids and Windows' alike, which the resource compiler replaces.
    struct ResourceCase {
        const char* value;
        const char* message;
    } resources[] = {
        {"LICENSE", "test.ini:26: entry 2: resource: \"LICENSE\" is reserved: "
                    "setup.rc has a resource of that name (RCDATA)"},
        {"CHECKSUMS", "entry 2: resource: \"CHECKSUMS\" is reserved: the build "
                      "stores the payload's checksum table"},
        {"IDD_WELCOME", "entry 2: resource: \"IDD_WELCOME\" is reserved: "
                        "resources/ids.h defines it"},
        {"IDOK", "test.ini:26: entry 2: resource: \"IDOK\" is reserved: <winuser.rh> defines it"},
        {"HELP", "entry 2: resource: \"HELP\" is reserved: it is a word of "
                 "the resource script's language"},
    };
    for (const ResourceCase& c : resources) {
        b = Builder();
        Builder::Set(b.entries[2], "resource", c.value);
        EXPECT_MENTIONS(Errors(b.Text()), c.message);
    }
    b = Builder();
    Builder::Drop(b.product, "version");
    EXPECT_MENTIONS(Errors(b.Text()), "version: missing");
    b = Builder();
    Builder::Drop(b.entries[4], "flags");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 4: flags: missing");
}

TEST(Description, FileTableHoldsAtMostTenEntriesAndTheRoleEntries) {
    Builder b;
    for (int i = 7; i < 10; ++i) b.entries.push_back(b.entries[6]);
    for (int i = 7; i < 10; ++i) {
        Builder::Set(b.entries[i], "file", "Extra" + std::to_string(i));
        Builder::Set(b.entries[i], "resource", "EXTRA" + std::to_string(i));
    }
    EXPECT_EQ(Errors(b.Text()), "");
    b.entries.push_back(b.entries[9]);
    Builder::Set(b.entries[10], "file", "Eleventh");
    Builder::Set(b.entries[10], "resource", "ELEVENTH");
    std::string errors = Errors(b.Text());
    EXPECT_MENTIONS(errors, "11 [entry] sections, the file table holds at most 10");

    b = Builder();
    b.entries.pop_back();
    EXPECT_MENTIONS(Errors(b.Text()), "6 [entry] sections, at least 7 are needed");

    b = Builder();
    Builder::Set(b.entries[0], "flags", "0x11");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 0: flags: the uninstaller entry must go to the Windows folder");
    b = Builder();
    Builder::Set(b.entries[6], "flags", "0x02");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 6: flags: the read-me entry must go to the install folder");

    b = Builder();
    Builder::Set(b.entries[5], "file", "FILE1.TXT");  // entry 1's, in another case
    Builder::Set(b.entries[4], "resource", "RES3");
    errors = Errors(b.Text());
    EXPECT_MENTIONS(errors, "entry 5: file: \"FILE1.TXT\" is also entry 1's file");
    EXPECT_MENTIONS(errors, "entry 4: resource: \"RES3\" is also entry 3's resource");
}

TEST(Description, ShortcutCountLiesBetweenZeroAndTheFileCount) {
    Builder b;
    Builder::Set(b.product, "shortcut_count", "8");
    EXPECT_MENTIONS(Errors(b.Text()), "shortcut_count: 8 is above the file count 7");
    // Too high a count is the one complaint, not the entries it would ask
    // shortcut names of.
    Builder::Set(b.product, "shortcut_count", "9");
    EXPECT_EQ(Errors(b.Text()), "test.ini:9: shortcut_count: 9 is above the file count 7 (the [entry] sections below)\n");
    Builder::Set(b.product, "shortcut_count", "40000");
    EXPECT_MENTIONS(Errors(b.Text()), "shortcut_count: 40000 is above the file count");
    Builder::Set(b.product, "shortcut_count", "-1");
    EXPECT_MENTIONS(Errors(b.Text()), "shortcut_count: -1 is negative");
    Builder::Set(b.product, "shortcut_count", "seven");
    EXPECT_MENTIONS(Errors(b.Text()), "shortcut_count: \"seven\" is not a number");

    // The count, not the name, decides: names past it must be "-" or absent,
    // names within it must be real.
    b = Builder();
    Builder::Set(b.entries[4], "shortcut", "Extra");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 4: shortcut: \"Extra\" given, but entry 4 lies past the shortcut count 2");
    b = Builder();
    Builder::Set(b.entries[1], "shortcut", "-");
    EXPECT_MENTIONS(Errors(b.Text()), "entry 1: shortcut: missing");
    b = Builder();
    Builder::Drop(b.entries[5], "shortcut");
    ProductDescription d;
    ASSERT_EQ(Errors(b.Text(), &d), "");
    EXPECT_EQ(d.entries[5].shortcut, "-");
    Builder::Set(b.product, "shortcut_count", "0");
    Builder::Set(b.entries[0], "shortcut", "-");
    Builder::Set(b.entries[1], "shortcut", "-");
    EXPECT_EQ(Errors(b.Text()), "");
}

TEST(Description, EachEntryGoesToExactlyOneFolder) {
    struct Case {
        const char* flags;
        const char* message;
    } cases[] = {
        {"0x10", "flags: 0x10 sets neither of the folder flags 0x01 (install folder) and 0x02"},
        {"0x13", "flags: 0x13 sets both of the folder flags"},
        {"0x03", "flags: 0x03 sets both"},
        {"0x41", "flags: 0x41 has unknown bits 0x40"},
        {"0x1G", "flags: \"0x1G\" is not an unsigned 32-bit number"},
        {"-1", "flags: \"-1\" is not an unsigned 32-bit number"},
        {"0x100000000", "flags: \"0x100000000\" is not an unsigned 32-bit number"},
    };
    for (const Case& c : cases) {
        Builder b;
        Builder::Set(b.entries[2], "flags", c.flags);
        std::string errors = Errors(b.Text());
        EXPECT_MENTIONS(errors, std::string("entry 2: ") + c.message);
    }
    Builder b;
    Builder::Set(b.entries[2], "flags", "18");  // decimal 0x12
    ProductDescription d;
    ASSERT_EQ(Errors(b.Text(), &d), "");
    EXPECT_EQ(d.entries[2].flags, 0x12u);
}

// The registrations: defaults from the names, and a class only with a GUID
// and a DLL of the Windows folder; the record's literals are generated whole.
TEST(Description, RegistrationsAreOptionalAndHeldToWhatTheyName) {
    {
        ProductDescription d;
        ASSERT_EQ(Errors(Builder().Text(), &d), "");
        EXPECT_FALSE(d.registration.builtUninstaller);
        EXPECT_EQ(d.registration.companyKey, "Software\\Velmora Utilities");
        EXPECT_EQ(d.registration.versionKey, "Software\\Velmora Utilities\\Programs\\Trovado Pro\\Current Version");
        EXPECT_EQ(d.registration.classId, "");
        EXPECT_MENTIONS(RegistrationSource(d), "\"\",  // class id");
    }
    struct Case {
        const char* key;
        const char* value;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {"class_id", "{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}", nullptr},
        {"class_id", "5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1", "is not a class id"},
        {"class_id", "{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92EG}", "is not a class id"},
        {"server_file", "File1.txt", "server_file: \"File1.txt\" is not the file of an entry in the Windows folder"},
        {"server_file", "Other.dll", "is not the file of an entry"},
        {"company_key", "Software\\\\Halden", "company_key: \"Software\\\\Halden\" has an empty level"},
        {"version_key", "Sorrel\\Clock", "contains '\\'; it names one key"},
        {"uninstaller", "maybe", "uninstaller: \"maybe\" is neither yes nor no"},
    };
    for (const Case& c : cases) {
        Builder b;
        Builder::Set(b.product, "class_id", "{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}");
        Builder::Set(b.product, "server_file", "File0.txt");
        Builder::Set(b.product, c.key, c.value);
        const std::string errors = Errors(b.Text());
        if (c.message) EXPECT_MENTIONS(errors, c.message);
        else EXPECT_EQ(errors, "");
    }
    Builder b;
    Builder::Set(b.product, "menu_text", "&Find...");
    EXPECT_MENTIONS(Errors(b.Text()), "menu_text: given without class_id");
    Builder::Set(b.product, "class_id", "{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}");
    Builder::Set(b.product, "server_file", "file0.TXT");
    Builder::Set(b.product, "find_extension", "Finder");
    Builder::Set(b.product, "uninstaller", "yes");
    ProductDescription d;
    ASSERT_EQ(Errors(b.Text(), &d), "");
    EXPECT_TRUE(d.registration.builtUninstaller);
    const std::string source = RegistrationSource(d);
    EXPECT_MENTIONS(source, "\"{5D3A7C21-4B8E-11D2-A6F0-00C04F7B92E1}\\\\InProcServer32\",  // its server key");
    EXPECT_MENTIONS(source, "\"File0.txt,0\",  // icon");
    EXPECT_MENTIONS(source, "\"Finder\\\\0\\\\DefaultIcon\",  // its icon key");
}

// Files earlier versions installed: paths that stay inside the install
// folder, and never a file this version installs.
TEST(Description, RetiredFilesStayInsideTheInstallFolder) {
    struct Case {
        const char* retired;
        const char* message;  // nullptr: taken
    } cases[] = {
        {"Old.hlp | Help\\Gone.hlp", nullptr},
        {"..\\Windows\\win.ini", "retired: \"..\" is only dots and spaces"},
        {"C:\\Windows\\win.ini", "retired: \"C:\" contains ':'"},
        {"\\Windows\\win.ini", "retired: empty"},
        {"Help\\", "retired: empty"},
        {"Old.hlp ||", "retired: an empty path"},
        {"Help\\NUL.txt", "names the device NUL"},
        {"File3.txt", "retired: \"File3.txt\" is entry 3's file, which this version installs"},
    };
    for (const Case& c : cases) {
        Builder b;
        Builder::Set(b.product, "retired", c.retired);
        ProductDescription d;
        const std::string errors = Errors(b.Text(), &d);
        if (!c.message) {
            EXPECT_EQ(errors, "");
            EXPECT_EQ(d.retired, (std::vector<std::string>{"Old.hlp", "Help\\Gone.hlp"}));
        } else {
            EXPECT_MENTIONS(errors, c.message);
        }
    }
}

TEST(Description, ReleaseTimeIsAValidSystemTime) {
    struct Case {
        const char* value;
        const char* message;
    } cases[] = {
        {"2006,12,6,23,4,2,0", "expected 8 numbers"},
        {"2006,13,6,23,4,2,0,0", "month 13 is outside 1..12"},
        {"2006,12,6,23,24,2,0,0", "hour 24 is outside 0..23"},
        {"2006,12,6,23,4,2,0,1000", "milliseconds 1000 is outside 0..999"},
        {"2006,2,0,29,4,2,0,0", "day 29 is past the end of month 2 (28 days)"},
        {"2006,12,5,23,4,2,0,0", "day of week 5 does not match the date, which falls on day 6"},
        {"2006,12,six,23,4,2,0,0", "day of week: \"six\" is not a number"},
    };
    for (const Case& c : cases) {
        Builder b;
        Builder::Set(b.product, "release_time", c.value);
        EXPECT_MENTIONS(Errors(b.Text()), std::string("release_time: ") + c.message);
    }
    Builder b;
    Builder::Set(b.product, "release_time", "2004, 2, 0, 29, 0, 0, 0, 0");  // a leap day, a Sunday
    EXPECT_EQ(Errors(b.Text()), "");
}

TEST(Description, SyntaxErrorsNameTheLine) {
    std::string base = Builder().Text();
    std::string errors = Errors(base + "colour = blue\r\n");  // inside the last [entry]
    EXPECT_MENTIONS(errors, "unknown key \"colour\" in [entry] (known: file, flags, resource, shortcut)");
    errors = Errors("[product]\nname = A\nname = B\n");
    EXPECT_MENTIONS(errors, "test.ini:3: name: given twice (first at line 2)");
    errors = Errors("name = A\n[extras]\njust text\n");
    EXPECT_MENTIONS(errors, "test.ini:1: key \"name\" outside a [product] or [entry] section");
    EXPECT_MENTIONS(errors, "test.ini:2: unknown section [extras]");
    EXPECT_MENTIONS(errors, "test.ini:3: expected \"key = value\"");
    EXPECT_MENTIONS(errors, "section [product] is missing");
    errors = Errors(base + "[product]\r\n");
    EXPECT_MENTIONS(errors, "section [product] appears twice");
}

}  // namespace
