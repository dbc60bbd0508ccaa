#include "core/path_level.h"

#include "tests/core/code_pages.h"

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

TEST(PathLevel, RefusesEveryReservedDeviceName) {
    const char* devices[] = {"CONIN$", "conout$", "Conin$.txt", "CONOUT$ .log", "COM0", "lpt0.x",
                             "COM\xB9", "lpt\xB2", "LPT\xB3.txt"};
    for (const char* level : devices) EXPECT_EQ(Level(level), kPathLevelDevice) << level;
    const char* names[] = {"CONIN", "CONOUT$$", "COM\xB9\xB9", "COM\xB4", "LPT\xBC", "COMx"};
    for (const char* level : names) EXPECT_EQ(Level(level), kPathLevelFine) << level;
}

// In code pages 932, 936, 949 and 950 the second byte of a character can be
// '\\', '|' or a letter: it is part of the character, never a separator, a
// forbidden character, a trailing character or a letter of a device name.
TEST(PathLevel, WalksNamesByCharacterInEastAsianCodePages) {
    struct Row {
        int codePage;
        const char* path;
        PathLevelFault fault;
    };
    const Row rows[] = {
        {932, "Acc \x83\x5C\x83\x74\x83\x67\\\x83\x7C\x81\x5B\x83\x5E\x83\x75\x83\x8B\x95\x5C",
         kPathLevelFine},                                       // Acc ソフト\ポータブル表
        {932, "\x8E\xA6\x95\x5C", kPathLevelFine},              // 示表, ends in 0x5C
        {932, "\x8E\xA6\x95\x5C\\", kPathLevelFine},          // and one real backslash
        {932, "\x8E\xA6\x95\x5C\\\\", kPathLevelEmpty},       // and an empty level
        {932, "\x83\x41 .", kPathLevelTrailing},                 // ア .
        {932, "CON\x83\x41", kPathLevelFine},                    // CONア
        {932, "COM\xB9", kPathLevelFine},                         // ｹ is a katakana here
        {932, "abc\x83", kPathLevelBroken},                       // a lone lead byte
        {932, "\x83\\abc", kPathLevelFine},                      // ソ spelled with its trail
        {936, "\x81\x5C\x81\x7C\x81\x41\x81\x61", kPathLevelFine},  // 乗亅丄乤
        {936, "\x81\x7C:", kPathLevelCharacter},
        {949, "\x81\x41\x81\x61", kPathLevelFine},              // 갂갵
        {949, "COM\xA9\xF6", kPathLevelDevice},                 // COM¹
        {949, "LPT\xA9\xF8.txt", kPathLevelDevice},             // LPT³
        {949, "COM\xB9", kPathLevelBroken},                      // a lone lead byte
        {950, "\xB3\x5C\xA5\x5C", kPathLevelFine},              // 許功
        {950, "\xB3\x5C\xA5", kPathLevelBroken},
        {1252, "COM\xB9", kPathLevelDevice},
        {932, "\x83\\ ", kPathLevelTrailing},                   // ソ and a space
        {1252, "\x83\\ ", kPathLevelEmpty},                     // two levels in 1252
    };
    for (const Row& row : rows) {
        InCodePage codePage(row.codePage);
        EXPECT_EQ(CheckPathLevels(row.path), row.fault) << row.codePage << " \"" << row.path << '"';
    }
}

}  // namespace
