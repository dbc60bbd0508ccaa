#include "pages/location_path.h"

#include "tests/core/code_pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Outcome {
    LocationProblem problem;
    std::string folder;
};

Outcome Complete(const std::string& typed) {
    char folder[kSlotSize] = "(untouched)";
    const LocationProblem problem = CompleteLocation(typed.c_str(), g_product, folder);
    return {problem, folder};
}

TEST(LocationPath, RefusesMalformedPathsInTheOrderOfTheChecks) {
    const std::pair<const char*, LocationProblem> cases[] = {
        {"", kLocationEmpty},
        {"C:", kLocationNoDrive},
        {"Apps", kLocationNoDrive},
        {"\\\\server\\share", kLocationNoDrive},
        {"D:/Apps", kLocationNoDrive},
        {":\\Apps", kLocationNoDrive},
        {"C:\\", kLocationRootDrive},
        {"C:\\..", kLocationDotName},
        {"D:\\Downloads\\Trovado Pro\\..", kLocationDotName},
        {"D:\\Downloads\\Trovado Pro\\..\\", kLocationDotName},
        {"D:\\Trovado Pro\\.\\x", kLocationDotName},
        {"D:\\Trovado Pro\\...", kLocationDotName},
        {"D:\\Trovado Pro\\.. ", kLocationDotName},
        {"D:\\Apps\\\\Trovado Pro", kLocationDotName},
        {"D:\\Downloads\\Trovado Pro/..", kLocationBadCharacter},
        {"D:\\Apps:Trovado Pro", kLocationBadCharacter},
        {"D:\\Apps\\Tro|vado Pro", kLocationBadCharacter},
        {"D:\\Apps\\Trovado Pro\x01", kLocationBadCharacter},
        {"D:\\Apps\\Trovado Pro ", kLocationTrailing},
        {"D:\\Apps \\Trovado Pro", kLocationTrailing},
        {"D:\\Apps.", kLocationTrailing},
        {"D:\\nul", kLocationDeviceName},
        {"D:\\Apps\\Com1.log\\Trovado Pro", kLocationDeviceName},
        {"D:\\lpt9\\", kLocationDeviceName},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Complete(c.first);
        EXPECT_EQ(outcome.problem, c.second) << '"' << c.first << '"';
        EXPECT_EQ(outcome.folder, "(untouched)") << '"' << c.first << '"';
        EXPECT_NE(LocationProblemFormat(outcome.problem), nullptr);
    }
    // Folder names are checked before the length.
    EXPECT_EQ(Complete("D:\\x \\" + std::string(250, 'a')).problem, kLocationTrailing);
}

TEST(LocationPath, CompletesByTheProductNameUnlessItIsThereInAnyCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"D:\\Apps", "D:\\Apps\\Trovado Pro"},
        {"D:\\Apps\\", "D:\\Apps\\Trovado Pro"},
        {"D:\\Trovado", "D:\\Trovado\\Trovado Pro"},
        {"D:\\my trovado pro files", "D:\\my trovado pro files"},
        {"D:\\TROVADO PRO", "D:\\TROVADO PRO"},
        {"C:\\Trovado Pro\\", "C:\\Trovado Pro\\"},
        // Dots inside names and names that begin with one are names.
        {"D:\\.config\\a..b", "D:\\.config\\a..b\\Trovado Pro"},
        {"D:\\x. y\\a b", "D:\\x. y\\a b\\Trovado Pro"},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Complete(c.first);
        EXPECT_EQ(outcome.problem, kLocationAccepted) << c.first;
        EXPECT_EQ(outcome.folder, c.second);
    }
}

TEST(LocationPath, FoldsOnlyAsciiLettersWhenSearching) {
    EXPECT_TRUE(ContainsIgnoringCase("d:\\tROVADO pRO", "Trovado Pro"));
    EXPECT_TRUE(ContainsIgnoringCase("Trovado Pro", "Trovado Pro"));
    EXPECT_FALSE(ContainsIgnoringCase("D:\\Trovado Pr", "Trovado Pro"));
    EXPECT_FALSE(ContainsIgnoringCase("D:\\Trovado_Pro", "Trovado Pro"));
    // In code page 1252 these are "A grave" and "a grave": not folded.
    EXPECT_FALSE(ContainsIgnoringCase("x\xC0y", "x\xE0y"));
    EXPECT_TRUE(ContainsIgnoringCase("X\xC0Y", "x\xC0y"));
    // '@' and '`' lie next to the letters; folding must not pair them.
    EXPECT_FALSE(ContainsIgnoringCase("@", "`"));
    // Code page 932: "\x83t" is ト, so the name does not start at a character.
    InCodePage japanese(932);
    EXPECT_FALSE(ContainsIgnoringCase("D:\\\x83trovado pro", "Trovado Pro"));
    EXPECT_TRUE(ContainsIgnoringCase("D:\\\x83\x83trovado pro", "Trovado Pro"));
}

// Code pages 932 and 950, where a character's second byte can be 0x5C or
// 0x7C: such characters neither end a folder name nor are refused.
TEST(LocationPath, CompletesFoldersNamedInEastAsianCodePages) {
    const struct {
        int codePage;
        const char* typed;
        LocationProblem problem;
        const char* folder;
    } rows[] = {
        // C:\Acc ソフト\ポータブル表
        {932, "C:\\Acc \x83\x5C\x83\x74\x83\x67\\\x83\x7C\x81\x5B\x83\x5E\x83\x75\x83\x8B\x95\x5C",
         kLocationAccepted,
         "C:\\Acc \x83\x5C\x83\x74\x83\x67\\\x83\x7C\x81\x5B\x83\x5E\x83\x75\x83\x8B\x95\x5C\\Trovado Pro"},
        // C:\Acc ソフト\示表
        {932, "C:\\Acc \x83\x5C\x83\x74\x83\x67\\\x8E\xA6\x95\x5C", kLocationAccepted,
         "C:\\Acc \x83\x5C\x83\x74\x83\x67\\\x8E\xA6\x95\x5C\\Trovado Pro"},
        {932, "C:\\\x8E\xA6\x95\x5C\x83", kLocationBroken, "(untouched)"},
        // C:\許功
        {950, "C:\\\xB3\x5C\xA5\x5C", kLocationAccepted, "C:\\\xB3\x5C\xA5\x5C\\Trovado Pro"},
        {950, "C:\\\xB3\x5C\xA5\x5C .", kLocationTrailing, "(untouched)"},
    };
    for (const auto& row : rows) {
        InCodePage codePage(row.codePage);
        const Outcome outcome = Complete(row.typed);
        EXPECT_EQ(outcome.problem, row.problem) << row.codePage << ' ' << row.typed;
        EXPECT_EQ(outcome.folder, row.folder) << row.codePage << ' ' << row.typed;
    }
}

// The longest folder the install step and the read-me command can take,
// worked out here from the product record on its own terms.
size_t LongestFolder() {
    size_t longestName = 0;
    for (int i = 0; i < g_product.fileCount; ++i)
        if (g_product.files[i].flags & kInInstallFolder)
            longestName = std::max(longestName, strlen(g_product.files[i].fileName));
    const size_t readMe = strlen(g_product.files[kReadMeEntry].fileName);
    // folder + "\" + name within 259 characters;
    // Notepad.exe "folder\readme" within 259 characters.
    return std::min(258 - longestName, 259 - strlen("Notepad.exe \"\\\"") - readMe);
}

TEST(LocationPath, RefusesFoldersTooLongForTheFilesAndTheReadMeCommand) {
    const size_t limit = LongestFolder();
    const std::string head = "D:\\Trovado Pro\\";
    const std::string fits = head + std::string(limit - head.size(), 'a');
    const Outcome accepted = Complete(fits);
    EXPECT_EQ(accepted.problem, kLocationAccepted);
    EXPECT_EQ(accepted.folder, fits);
    EXPECT_EQ(Complete(fits + "a").problem, kLocationTooLong);
    EXPECT_EQ(Complete(fits + std::string(300, 'a')).problem, kLocationTooLong);

    // The completion itself can push a folder over the limit.
    const size_t added = strlen("\\Trovado Pro");
    const std::string bare = "D:\\" + std::string(limit - added - 3, 'b');
    EXPECT_EQ(Complete(bare).problem, kLocationAccepted);
    EXPECT_EQ(Complete(bare + "b").problem, kLocationTooLong);
    EXPECT_TRUE(FolderFitsInstallation(fits.c_str(), g_product));
    EXPECT_FALSE(FolderFitsInstallation((fits + "a").c_str(), g_product));
}

void Collect(const char* folder, int level, void* context) {
    auto* out = static_cast<std::vector<std::string>*>(context);
    EXPECT_EQ(level, static_cast<int>(out->size()) + 1);
    out->push_back(folder);
}

std::vector<std::string> Ancestors(const char* path) {
    std::vector<std::string> out;
    const int count = WalkAncestors(path, Collect, &out);
    EXPECT_EQ(count, static_cast<int>(out.size()));
    return out;
}

TEST(LocationPath, WalksFromTheDriveRootDownToTheFolder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Ancestors("C:\\Program Files\\Velmora Utilities"),
              (V{"C:\\", "C:\\Program Files", "C:\\Program Files\\Velmora Utilities"}));
    EXPECT_EQ(Ancestors("C:\\"), (V{"C:\\"}));
    EXPECT_EQ(Ancestors("C:\\Tools\\"), (V{"C:\\", "C:\\Tools"}));
    EXPECT_EQ(Ancestors(""), V{});
    // A one-letter name right below the root is a folder like any other.
    EXPECT_EQ(Ancestors("C:\\A"), (V{"C:\\", "C:\\A"}));
    EXPECT_EQ(Ancestors("C:\\A\\B"), (V{"C:\\", "C:\\A", "C:\\A\\B"}));
    EXPECT_EQ(Ancestors("My Computer"), (V{"My Computer"}));
    // Code page 932: ソ (0x83 0x5C) and 表 (0x95 0x5C) are names, not separators.
    InCodePage japanese(932);
    EXPECT_EQ(Ancestors("C:\\\x83\x5C\\\x95\x5C"),
              (V{"C:\\", "C:\\\x83\x5C", "C:\\\x83\x5C\\\x95\x5C"}));
}

TEST(LocationPath, WalkOfAnOverlongPathStopsAtThePathBuffer) {
    const std::string path = "C:\\" + std::string(150, 'x') + "\\" + std::string(150, 'y');
    const std::vector<std::string> out = Ancestors(path.c_str());
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1], "C:\\" + std::string(150, 'x'));
    EXPECT_EQ(out[2], path.substr(0, kPathBufferSize - 1));
}

}  // namespace
