#include "core/text.h"

#include "tests/core/code_pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Join(const char* folder, const char* name, int quoted, size_t size = 260) {
    char out[300];
    memset(out, 'x', sizeof out);
    if (!JoinPath(out, size, folder, name, quoted)) return "<no fit:" + std::string(out) + ">";
    return out;
}

std::string Normalized(const char* path) {
    char buffer[260];
    strcpy(buffer, path);
    NormalizeFolderCase(buffer);
    return buffer;
}

std::string Thousands(uint32_t value) {
    char out[kThousandsTextSize];
    size_t n = FormatThousands(value, out);
    EXPECT_EQ(n, strlen(out));
    return out;
}

TEST(JoinPath, PutsOneBackslashBetweenFolderAndName) {
    EXPECT_EQ(Join("C:\\Velmora Utilities", "Trovado Pro", 0), "C:\\Velmora Utilities\\Trovado Pro");
    EXPECT_EQ(Join("C:\\", "x", 0), "C:\\x");
    EXPECT_EQ(Join("C:\\Velmora Utilities", "Read Me.txt", 1),
              "\"C:\\Velmora Utilities\\Read Me.txt\"");
    // Code page 932: 表 ends in the byte 0x5C and still needs its backslash.
    InCodePage japanese(932);
    EXPECT_EQ(Join("C:\\\x8E\xA6\x95\x5C", "Trovado Pro", 0), "C:\\\x8E\xA6\x95\x5C\\Trovado Pro");
    EXPECT_EQ(Join("C:\\\x8E\xA6\x95\x5C\\", "x", 1), "\"C:\\\x8E\xA6\x95\x5C\\x\"");
}

TEST(JoinPath, RefusesPathsThatDoNotFitAndNeverWritesPastTheBuffer) {
    // "C:\ab" plus NUL needs 6 bytes.
    EXPECT_EQ(Join("C:", "ab", 0, 6), "C:\\ab");
    EXPECT_EQ(Join("C:", "ab", 0, 5), "<no fit:>");
    // Quoted: two more bytes.
    EXPECT_EQ(Join("C:", "ab", 1, 8), "\"C:\\ab\"");
    EXPECT_EQ(Join("C:", "ab", 1, 7), "<no fit:>");

    char out[16];
    memset(out, '#', sizeof out);
    std::string longName(255, 'n');
    EXPECT_FALSE(JoinPath(out, 8, "C:\\folder", longName.c_str(), 0));
    EXPECT_EQ(out[0], '\0');
    for (size_t i = 8; i < sizeof out; ++i) EXPECT_EQ(out[i], '#') << "byte " << i;

    // A 255-character folder and a 255-character name never fit 260 bytes.
    std::string folder = "C:\\" + std::string(252, 'f');
    EXPECT_FALSE(JoinPath(out, 0, "a", "b", 0));
    char big[260];
    EXPECT_FALSE(JoinPath(big, sizeof big, folder.c_str(), longName.c_str(), 0));
}

TEST(NormalizeFolderCase, TitleCasesEachWord) {
    EXPECT_EQ(Normalized("C:\\WINDOWS"), "C:\\Windows");
    EXPECT_EQ(Normalized("c:\\program files\\start menu"), "C:\\Program Files\\Start Menu");
    EXPECT_EQ(Normalized("C:\\Documents and Settings"), "C:\\Documents And Settings");
    EXPECT_EQ(Normalized("C:\\PROGRAM FILES"), "C:\\Program Files");
    EXPECT_EQ(Normalized("C:\\"), "C:\\");
    EXPECT_EQ(Normalized(""), "");
    // A separator at the very end, doubled separators and non-letters.
    EXPECT_EQ(Normalized("C:\\ABC\\"), "C:\\Abc\\");
    EXPECT_EQ(Normalized("C:\\A  B"), "C:\\A  b");
    EXPECT_EQ(Normalized("C:\\\xC9T\xC9"), "C:\\\xC9t\xC9");
    // Code page 932: the second bytes of ア (0x41 'A') and プ (0x76 'v') are
    // no letters, and a word that starts with ソ (its second byte 0x5C)
    // starts after it.
    InCodePage japanese(932);
    EXPECT_EQ(Normalized("C:\\APPS\\\x83\x41\x83\x41\x83\x76"), "C:\\Apps\\\x83\x41\x83\x41\x83\x76");
    EXPECT_EQ(Normalized("c:\\\x83\x5C" "abc def"), "C:\\\x83\x5C" "abc Def");
}

TEST(FindExtension, FindsTheLastDot) {
    const char* name = "index.old.KEY";
    EXPECT_EQ(FindExtension(name), name + 9);
    EXPECT_STREQ(FindExtension("a.KEY"), ".KEY");
    EXPECT_EQ(FindExtension("README"), nullptr);
    EXPECT_STREQ(FindExtension("trailing."), ".");
}

TEST(FormatThousands, InsertsACommaAfterEveryThirdDigit) {
    EXPECT_EQ(Thousands(0), "0");
    EXPECT_EQ(Thousands(999), "999");
    EXPECT_EQ(Thousands(1000), "1,000");
    EXPECT_EQ(Thousands(1234), "1,234");
    EXPECT_EQ(Thousands(947817), "947,817");
    EXPECT_EQ(Thousands(1234567), "1,234,567");
    EXPECT_EQ(Thousands(4294967295u), "4,294,967,295");
}

}  // namespace

namespace {

std::string Formatted(size_t size, const char* format, const char* a, const char* b = nullptr,
                      bool* fits = nullptr) {
    char out[64];
    memset(out, 'x', sizeof out);
    bool ok = FormatText(out, size, format, a, b);
    if (fits) *fits = ok;
    EXPECT_LT(strlen(out), size);
    EXPECT_EQ(out[size], 'x') << "wrote past the buffer";
    return out;
}

}  // namespace

TEST(FormatText, ReplacesEachStringConversionInTurn) {
    EXPECT_EQ(Formatted(30, "%s v%s", "Trovado Pro", "4.02"), "Trovado Pro v4.02");
    EXPECT_EQ(Formatted(40, "%s - %s", "Trovado Pro", "Find"), "Trovado Pro - Find");
    EXPECT_EQ(Formatted(40, "Installing %s Program Files", "X"), "Installing X Program Files");
    EXPECT_EQ(Formatted(40, "100%% of %s", "it"), "100% of it");
    EXPECT_EQ(Formatted(40, "%s and %s and %s", "a", "b"), "a and b and ");
    EXPECT_EQ(Formatted(40, "no conversion %d", "a"), "no conversion %d");
    EXPECT_EQ(Formatted(40, "trailing %", "a"), "trailing %");
}

TEST(FormatText, CutsAtTheBufferAndSaysSo) {
    bool fits = true;
    // 19-character name and 9-character version: 30 characters, one too many.
    EXPECT_EQ(Formatted(30, "%s v%s", "Nineteen Characters", "123456789", &fits),
              "Nineteen Characters v12345678");
    EXPECT_FALSE(fits);
    EXPECT_EQ(Formatted(30, "%s v%s", "Eighteen Character", "123456789", &fits),
              "Eighteen Character v123456789");
    EXPECT_TRUE(fits);
    EXPECT_EQ(Formatted(1, "%s", "abc", nullptr, &fits), "");
    EXPECT_FALSE(fits);
}

namespace {

// The folder the shell or the system names, as a path slot receives it from
// a 260-byte buffer: whole, or not at all.
TEST(FillSlot, CopiesAPathThatFitsWholeAndLeavesTheSlotEmptyOtherwise) {
    char slot[256];
    const std::string fits = "C:\\" + std::string(252, 'p');  // 255 characters and the NUL
    memset(slot, '#', sizeof slot);
    EXPECT_TRUE(FillSlot(slot, sizeof slot, fits.c_str()));
    EXPECT_EQ(std::string(slot), fits);

    for (size_t extra : {1, 4}) {  // 256 characters, and the 259 the shell may write
        const std::string tooLong = fits + std::string(extra, 'q');
        strcpy(slot, ".");
        EXPECT_FALSE(FillSlot(slot, sizeof slot, tooLong.c_str()));
        EXPECT_EQ(slot[0], '\0') << "length " << tooLong.size();
    }

    char small[8];
    memset(small, '#', sizeof small);
    EXPECT_FALSE(FillSlot(small, 4, "C:\\x"));
    EXPECT_EQ(small[0], '\0');
    for (size_t i = 1; i < sizeof small; ++i) EXPECT_EQ(small[i], '#') << "byte " << i;

    strcpy(slot, ".");
    EXPECT_TRUE(FillSlot(slot, sizeof slot, ""));  // nothing named: the slot is empty too
    EXPECT_EQ(slot[0], '\0');
}

}  // namespace
