#include "core/path_level.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

namespace {

PathLevelFault Level(const std::string& level) {
    return CheckPathLevel(level.data(), level.data() + level.size());
}

TEST(PathLevel, TakesNamesWithInnerDotsAndSpaces) {
    const char* fine[] = {"Trovado Pro", "v4.02", ".hidden", "a..b", "x. y", " lead",
                          "CONFIG",      "Console", "COM10", "COM", "NULL.txt",
                          "aux_files",   "\xC4pfel \xE9t\xE9", "_con"};
    for (const char* level : fine) EXPECT_EQ(Level(level), kPathLevelFine) << '"' << level << '"';
}

TEST(PathLevel, RefusesEachKindOfUnusableName) {
    const std::pair<const char*, PathLevelFault> cases[] = {
        {"", kPathLevelEmpty},
        {".", kPathLevelEmpty},
        {"..", kPathLevelEmpty},
        {"...", kPathLevelEmpty},
        {" . ", kPathLevelEmpty},
        {"   ", kPathLevelEmpty},
        {"Trovado Pro ", kPathLevelTrailing},
        {"Tools...", kPathLevelTrailing},
        {"Tools.", kPathLevelTrailing},
        {"a. .", kPathLevelTrailing},
        {"C:x", kPathLevelCharacter},
        {"Tools:Extra", kPathLevelCharacter},
        {"CON", kPathLevelDevice},
        {"con", kPathLevelDevice},
        {"Prn", kPathLevelDevice},
        {"AUX", kPathLevelDevice},
        {"nul.txt", kPathLevelDevice},
        {"NUL .txt", kPathLevelDevice},
        {"Com1.log", kPathLevelDevice},
        {"com9", kPathLevelDevice},
        {"lpt9", kPathLevelDevice},
        {"LPT1.tar.gz", kPathLevelDevice},
    };
    for (const auto& c : cases) EXPECT_EQ(Level(c.first), c.second) << '"' << c.first << '"';
    for (const char c : std::string("<>\"|?*:/\x01\t\x1F\x7F", 12)) {
        EXPECT_EQ(Level(std::string("Tro") + c + "vado"), kPathLevelCharacter) << int(c);
        EXPECT_EQ(Level(std::string("Trovado") + c), kPathLevelCharacter) << int(c);
    }
}

TEST(PathLevel, ChecksEveryLevelAndTakesOneTrailingBackslash) {
    EXPECT_EQ(CheckPathLevels("Velmora Utilities\\Trovado Pro"), kPathLevelFine);
    EXPECT_EQ(CheckPathLevels("Trovado Pro\\"), kPathLevelFine);
    EXPECT_EQ(CheckPathLevels("Apps \\Trovado Pro"), kPathLevelTrailing);
    EXPECT_EQ(CheckPathLevels("Apps\\nul\\Trovado Pro"), kPathLevelDevice);
    EXPECT_EQ(CheckPathLevels("Apps\\\\Trovado Pro"), kPathLevelEmpty);
    EXPECT_EQ(CheckPathLevels("Trovado Pro\\\\"), kPathLevelEmpty);
    EXPECT_EQ(CheckPathLevels("\\Trovado Pro"), kPathLevelEmpty);
    EXPECT_EQ(CheckPathLevels(""), kPathLevelEmpty);
    EXPECT_EQ(CheckPathLevels("A\\..\\B"), kPathLevelEmpty);
    // The first fault found decides.
    EXPECT_EQ(CheckPathLevels("A.\\CON\\B?"), kPathLevelTrailing);
}

}  // namespace
