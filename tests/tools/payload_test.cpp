// The demo payload: the placeholder list, the generated placeholders (exact
// size, same bytes on every run, packable like real files) and the
// hand-written texts.
#include "tools/pack/encoder.h"
#include "tools/payload/placeholder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

TEST(PlaceholderList, ShippedListNamesTheSevenGeneratedFiles) {
    std::vector<Placeholder> list;
    std::vector<std::string> errors;
    ASSERT_TRUE(ParsePlaceholderList(ReadAll(PORTAVO_SOURCE_DIR "/resources/payload/placeholders.txt"),
                                     "placeholders.txt", &list, &errors));
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[2].name, "Trovado Pro.exe");  // a name with a space
    EXPECT_EQ(list[2].size, 409600u);
    EXPECT_EQ(list[2].kind, kProgramImage);
    EXPECT_EQ(list[5].kind, kHelpFile);
    EXPECT_EQ(list[6].kind, kLibraryImage);
}

TEST(PlaceholderList, RefusesLinesItCannotUse) {
    struct Case {
        const char* line;
        const char* message;
    } cases[] = {
        {"zip 100 a.zip", "x:1: unknown kind \"zip\""},
        {"exe 12k a.exe", "x:1: size \"12k\" is not a number"},
        {"exe 4294967296 a.exe", "is not a number of bytes below 4 GB"},
        {"exe 100", "x:1: expected \"kind size file name\""},
        {"exe 100 dir/a.exe", "is not a plain file name"},
        {"exe 100 a.exe\nhlp 5 a.exe", "x:2: \"a.exe\" is listed twice"},
    };
    for (const Case& c : cases) {
        std::vector<Placeholder> list;
        std::vector<std::string> errors;
        EXPECT_FALSE(ParsePlaceholderList(c.line, "x", &list, &errors)) << c.line;
        ASSERT_FALSE(errors.empty()) << c.line;
        EXPECT_NE(errors.back().find(c.message), std::string::npos) << errors.back();
    }
}

TEST(Placeholders, HaveExactlyTheirSizeAndTheSameBytesEveryTime) {
    for (PlaceholderKind kind : {kProgramImage, kLibraryImage, kHelpFile}) {
        for (uint32_t size : {0u, 1u, 100u, 511u, 2048u, 4097u, 32768u, 80055u}) {
            Placeholder p{kind, size, "Some File.exe"};
            std::vector<uint8_t> bytes = MakePlaceholder(p);
            EXPECT_EQ(bytes.size(), size) << kind;
            EXPECT_EQ(MakePlaceholder(p), bytes) << kind << " " << size;
        }
        // Each file gets its own content.
        Placeholder a{kind, 20000, "A.exe"}, b{kind, 20000, "B.exe"};
        EXPECT_NE(MakePlaceholder(a), MakePlaceholder(b)) << kind;
    }
}

TEST(Placeholders, ProgramImagesHaveConsistentPortableExecutableHeaders) {
    for (bool dll : {false, true}) {
        Placeholder p{dll ? kLibraryImage : kProgramImage, 57344, "Image"};
        std::vector<uint8_t> b = MakePlaceholder(p);
        ASSERT_EQ(b[0], 'M');
        ASSERT_EQ(b[1], 'Z');
        uint32_t pe = Le32(b, 0x3C);
        ASSERT_LT(pe + 0xF8, b.size());
        EXPECT_EQ(Le32(b, pe), 0x00004550u);  // "PE\0\0"
        EXPECT_EQ(b[pe + 4] | b[pe + 5] << 8, 0x14C);
        EXPECT_EQ((b[pe + 23] & 0x20) != 0, dll);  // IMAGE_FILE_DLL
        int sections = b[pe + 6] | b[pe + 7] << 8;
        EXPECT_EQ(sections, 4);
        // Sections follow each other without gaps and end at the file's end.
        uint32_t expected = Le32(b, pe + 24 + 60);  // SizeOfHeaders
        for (int i = 0; i < sections; ++i) {
            size_t s = pe + 24 + 0xE0 + 40 * i;
            EXPECT_EQ(Le32(b, s + 20), expected) << i;
            expected += Le32(b, s + 16);
        }
        EXPECT_EQ(expected, b.size());
    }
}

// Packed like real files: program images to roughly half, help files (whose
// topics are compressed already) less, and never to nothing.
TEST(Placeholders, PackLikeRealFiles) {
    struct Case {
        PlaceholderKind kind;
        double low, high;
    } cases[] = {{kProgramImage, 0.30, 0.60}, {kLibraryImage, 0.30, 0.60}, {kHelpFile, 0.55, 0.85}};
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = MakePlaceholder(Placeholder{c.kind, 65536, "Sample"});
        size_t zeros = 0;
        for (uint8_t x : bytes) zeros += x == 0;
        EXPECT_LT(zeros, bytes.size() / 3) << c.kind;
        double ratio = static_cast<double>(PackBytes(bytes.data(), bytes.size()).size()) / bytes.size();
        EXPECT_GT(ratio, c.low) << c.kind;
        EXPECT_LT(ratio, c.high) << c.kind;
    }
}

TEST(PayloadTexts, AreAsciiTextWithCrLfLineBreaksAtTheirSizes) {
    struct Text {
        const char* name;
        size_t size;
        const char* mustMention;
    } texts[] = {{"Read Me.txt", 4089, "Trovado Pro"},
                 {"Order.txt", 1976, "ORDER FORM"},
                 {"RegInfo.txt", 1263, "REGISTRATION"}};
    for (const Text& t : texts) {
        std::string s = ReadAll(std::string(PORTAVO_SOURCE_DIR "/resources/payload/") + t.name);
        EXPECT_EQ(s.size(), t.size) << t.name;
        EXPECT_NE(s.find(t.mustMention), std::string::npos) << t.name;
        ASSERT_GE(s.size(), 2u);
        EXPECT_EQ(s.substr(s.size() - 2), "\r\n") << t.name;
        for (size_t i = 0; i < s.size(); ++i) {
            unsigned char c = s[i];
            if (c == '\r') {
                ASSERT_TRUE(i + 1 < s.size() && s[i + 1] == '\n') << t.name << " at " << i;
                ++i;
            } else {
                ASSERT_TRUE(c >= 0x20 && c < 0x7F) << t.name << " has byte " << int(c) << " at " << i;
            }
        }
    }
}

}  // namespace
