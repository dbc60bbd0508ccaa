#include "pages/group_name.h"

#include "tests/core/code_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace {

TEST(CheckGroupName, TakesPlainAndNestedNamesAndOneTrailingBackslash) {
    const char* fine[] = {"Trovado Pro",
                          "Velmora Utilities\\Trovado Pro",
                          "A\\B\\C",
                          "Trovado Pro\\",
                          "v4.02",
                          ".hidden",
                          "Tools...x",
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

TEST(CheckGroupName, RefusesLevelsEndingInASpaceOrADotAndDeviceNames) {
    const std::pair<const char*, GroupNameFault> cases[] = {
        {"Trovado Pro ", kGroupNameTrailing},
        {"Tools...", kGroupNameTrailing},
        {"Velmora.\\Trovado Pro", kGroupNameTrailing},
        {"NUL", kGroupNameDevice},
        {"Velmora\\com1.log", kGroupNameDevice},
        {"lpt9\\Tools", kGroupNameDevice},
    };
    for (const auto& c : cases) EXPECT_EQ(CheckGroupName(c.first), c.second) << c.first;
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
    // Code page 932: the group ソフト表 ends in a character whose second byte
    // is 0x5C, and the Programs folder in 表 too; neither is a backslash.
    InCodePage japanese(932);
    EXPECT_EQ(Link("C:\\\x95\x5C", "\x83\x5C\x83\x74\x83\x67\x95\x5C", "Help"),
              "C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67\x95\x5C\\Help.lnk");
    EXPECT_EQ(CheckGroupName("\x83\x5C\x83\x74\x83\x67\x95\x5C"), kGroupNameFine);
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

TEST(GroupLinksFit, RefusesAGroupWhoseLongestLinkPassesTheLastCharacterOfAPath) {
    size_t longest = 0;
    for (int i = 0; i < g_product.shortcutCount; ++i)
        longest = std::max(longest, strlen(g_product.files[i].shortcutName));
    // Programs folder + "\" + group + "\" + name + ".lnk" in 259 characters.
    const std::string group = "Trovado Pro";
    const std::string programs =
        "C:\\" + std::string(259 - 3 - 1 - group.size() - 1 - longest - 4, 'p');
    EXPECT_TRUE(GroupLinksFit(programs.c_str(), group.c_str(), g_product));
    EXPECT_TRUE(GroupLinksFit((programs + "\\").c_str(), group.c_str(), g_product));
    EXPECT_FALSE(GroupLinksFit(programs.c_str(), (group + "x").c_str(), g_product));
    EXPECT_FALSE(GroupLinksFit((programs + "p").c_str(), group.c_str(), g_product));
}

}  // namespace
