#include "pages/group_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(CheckGroupName, TakesPlainAndNestedNamesAndOneTrailingBackslash) {
    const char* fine[] = {"Trovado Pro",
                          "Velmora Utilities\\Trovado Pro",
                          "A\\B\\C",
                          "Trovado Pro\\",
                          "v4.02",
                          ".hidden",
                          "Tools...",
                          "a b",
                          "\xC4pfel \xE9t\xE9"};
    for (const char* name : fine) EXPECT_EQ(CheckGroupName(name), kGroupNameFine) << name;
}

TEST(CheckGroupName, RefusesNamesThatLeaveTheProgramsFolder) {
    const char* outside[] = {"C:",  "c:Tools", "z:\\x",  "\\Tools",   "\\\\server\\share",
                             ".",   "..",      "..\\x",  "A\\..\\..", "A\\.",
                             "   ", ". .",     "A\\\\B", "A\\\\",     "A\\ \\B"};
    for (const char* name : outside) EXPECT_EQ(CheckGroupName(name), kGroupNameOutside) << name;
}

TEST(CheckGroupName, RefusesCharactersNoFolderNameHolds) {
    for (const char c : std::string("/:*?\"<>|\x01\t\x1F\x7F")) {
        const std::string name = std::string("Tro") + c + "vado";
        EXPECT_EQ(CheckGroupName(name.c_str()), kGroupNameBadCharacter) << int(c);
    }
    EXPECT_EQ(CheckGroupName("A/B"), kGroupNameBadCharacter);
    EXPECT_EQ(CheckGroupName("A\\B:"), kGroupNameBadCharacter);
}

std::string Link(const char* programs, const char* group, const char* name, size_t size = 260) {
    char out[300];
    memset(out, 'x', sizeof out);
    if (!MakeShortcutPath(out, size, programs, group, name)) {
        EXPECT_EQ(out[0], '\0');
        EXPECT_EQ(out[size], 'x');
        return "<no fit>";
    }
    EXPECT_EQ(out[size], 'x');
    return out;
}

TEST(MakeShortcutPath, PutsExactlyOneBackslashWhereAFolderEnds) {
    EXPECT_EQ(Link("C:\\Windows\\Start Menu\\Programs", "Trovado Pro", "Read Me"),
              "C:\\Windows\\Start Menu\\Programs\\Trovado Pro\\Read Me.lnk");
    EXPECT_EQ(Link("C:\\Programs\\", "Trovado Pro\\", "Help"),
              "C:\\Programs\\Trovado Pro\\Help.lnk");
    EXPECT_EQ(Link("C:\\Programs", "Velmora\\Trovado Pro", "Update"),
              "C:\\Programs\\Velmora\\Trovado Pro\\Update.lnk");
    // The shortcut name is used as it is.
    EXPECT_EQ(Link("C:\\P", "G", "-"), "C:\\P\\G\\-.lnk");
}

TEST(MakeShortcutPath, RefusesAPathThatDoesNotFitAndNeverWritesPastTheBuffer) {
    // "C:\P\G\Help.lnk" is 15 characters and needs 16 bytes.
    EXPECT_EQ(Link("C:\\P", "G", "Help", 16), "C:\\P\\G\\Help.lnk");
    for (size_t size = 1; size < 16; ++size)
        EXPECT_EQ(Link("C:\\P", "G", "Help", size), "<no fit>");
    char none[1] = {'x'};
    EXPECT_FALSE(MakeShortcutPath(none, 0, "C:\\P", "G", "Help"));
    EXPECT_EQ(none[0], 'x');
}

}  // namespace
