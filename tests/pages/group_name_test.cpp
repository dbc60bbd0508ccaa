#include "pages/group_name.h"

#include <gtest/gtest.h>

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

}  // namespace
