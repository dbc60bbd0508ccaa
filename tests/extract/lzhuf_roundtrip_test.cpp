// The packer against the decoders: streams worked out by hand, the offset
// code, codes longer than 16 bits, and round trips over varied inputs.
#include <gtest/gtest.h>

#include <string>

#include "tests/extract/lzhuf_support.h"
#include "tools/pack/corpus.h"

namespace {

using namespace lzhuf_test;

std::vector<uint8_t> Pack(const std::string& text) {
    return PackBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

TEST(LzhufEncode, EmptyInputGivesAnEmptyStream) {
    EXPECT_TRUE(PackBytes(nullptr, 0).empty());
    EXPECT_TRUE(Decode({}, 0).bytes.empty());
}

// Worked by hand from the initial tree (parent of node n is 314 + n / 2).
TEST(LzhufEncode, HandWorkedStreams) {
    // 'A': path bits root first 111001101, padded with zeros.
    EXPECT_EQ(Pack("A"), Bytes({0xE6, 0x80}));
    // "AA": after counting 'A' its leaf 65 changed places with leaf 313 (the
    // last count-1 node); 313 470 549 588 608 618 623 625 gives root first
    // 11000101. No node above swaps: each new count stays at or below its
    // right neighbour's (3 <= 4, 7 <= 8, 11 <= 16, 27 <= 32, ...).
    EXPECT_EQ(Pack("AA"), Bytes({0xE6, 0xE2, 0x80}));
    // "   ": the strings before 4036 are inserted first; the new string
    // meets 4035 first and matches 3 bytes, offset 0: symbol 256 (10001100)
    // then 000 and 000000.
    EXPECT_EQ(Pack("   "), Bytes({0x8C, 0x00, 0x00}));
    // Four spaces: length 4 is symbol 257, node 257 is the odd sibling of 256.
    EXPECT_EQ(Pack("    "), Bytes({0x8D, 0x00, 0x00}));
    // 'A', then 3 bytes from offset 71 (upper 1: code 0010, lower 000111).
    // Counting 'A' touched none of the nodes on symbol 256's path.
    const Script s = Write({Lit('A'), Copy(3, 71)});
    EXPECT_EQ(s.stream, Bytes({0xE6, 0xC6, 0x10, 0xE0}));
    EXPECT_EQ(s.expected, Bytes({'A', ' ', ' ', ' '}));
    for (const auto& stream : {Pack("A"), Pack("AA"), Pack("   "), Pack("    "), s.stream}) {
        const Collected real = Decode(stream, 4);
        EXPECT_EQ(real.bytes, DecodeBaseline(stream, 4).bytes);
    }
    EXPECT_EQ(Decode(s.stream, 4).bytes, s.expected);
    EXPECT_EQ(Decode(Pack("AA"), 2).bytes, Bytes({'A', 'A'}));
}

TEST(LzhufEncode, OffsetCodeIsThePublishedTable) {
    const struct {
        unsigned upper, length, bits;
    } known[] = {
        {0, 3, 0x00},  {1, 4, 0x20},  {3, 4, 0x40},  {4, 5, 0x50},  {11, 5, 0x88}, {12, 6, 0x90},
        {23, 6, 0xBC}, {24, 7, 0xC0}, {47, 7, 0xEE}, {48, 8, 0xF0}, {63, 8, 0xFF},
    };
    for (const auto& k : known) {
        EXPECT_EQ(OffsetCodeLength(k.upper), k.length) << "upper " << k.upper;
        EXPECT_EQ(OffsetCodeBits(k.upper), k.bits) << "upper " << k.upper;
    }
    // A prefix code: each code's span of first bytes follows the previous one.
    unsigned next = 0;
    for (unsigned upper = 0; upper < 64; ++upper) {
        EXPECT_EQ(OffsetCodeBits(upper), next) << "upper " << upper;
        next += 1u << (8 - OffsetCodeLength(upper));
    }
    EXPECT_EQ(next, 256u);
}

// Literal counts in a Fibonacci-like spread drive the rarest symbols to the
// 17th level of the tree; their codes must go out whole and decode again.
TEST(LzhufEncode, CodesLongerThanSixteenBitsAreSentWhole) {
    const unsigned counts[] = {8051, 4973, 3039, 1898, 1151, 712, 441, 131,
                               131,  35,   35,   19,   19,   11,  7};
    std::vector<Step> steps;
    for (unsigned i = 0; i < 15; ++i) {
        for (unsigned n = 0; n < counts[i]; ++n) steps.push_back(Lit(static_cast<uint8_t>('A' + i)));
    }
    for (int b = 200; b < 256; ++b) steps.push_back(Lit(static_cast<uint8_t>(b)));  // never seen before
    const Script s = Write(steps);
    EXPECT_GE(s.longestCode, 17u);
    const uint32_t size = static_cast<uint32_t>(s.expected.size());
    EXPECT_EQ(Decode(s.stream, size).bytes, s.expected);
    EXPECT_EQ(DecodeBaseline(s.stream, size).bytes, s.expected);
}

void ExpectRoundTrip(const std::vector<uint8_t>& data, const char* what) {
    PackStats stats;
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size(), &stats);
    const uint32_t size = static_cast<uint32_t>(data.size());
    const Collected real = Decode(packed, size);
    EXPECT_TRUE(real.returned) << what;
    EXPECT_TRUE(real.bytes == data) << what << ": real decoder differs";
    EXPECT_TRUE(DecodeBaseline(packed, size).bytes == data) << what << ": baseline decoder differs";
    EXPECT_LE(stats.literals + 3 * stats.matches, data.size()) << what;
}

TEST(LzhufEncode, RoundTripsVariedInputs) {
    Random rnd(21);
    ExpectRoundTrip({'z'}, "one byte");
    ExpectRoundTrip(std::vector<uint8_t>(10000, 'a'), "a run");
    ExpectRoundTrip(std::vector<uint8_t>(70000, 0), "zeros");
    std::vector<uint8_t> all;
    for (int i = 0; i < 3 * 256; ++i) all.push_back(static_cast<uint8_t>(i));
    ExpectRoundTrip(all, "every byte value");
    std::vector<uint8_t> spaces(5000, ' ');
    const std::string tail = "Velmora Trovado\r\n";
    spaces.insert(spaces.end(), tail.begin(), tail.end());
    ExpectRoundTrip(spaces, "leading spaces");
    ExpectRoundTrip(MakeTextCorpus(300000), "text");
    ExpectRoundTrip(MakeBinaryCorpus(300000), "binary");
    for (size_t size : {1023u, 1024u, 1025u, 4095u, 4096u, 4097u, 8192u, 10000u}) {
        ExpectRoundTrip(MakeTextCorpus(size, size), "sizes around blocks and the window");
    }
    // Repeats exactly at the window's reach and just past it.
    for (size_t period : {4035u, 4036u, 4095u, 4096u, 4097u}) {
        std::vector<uint8_t> block = rnd.Bytes(period);
        std::vector<uint8_t> repeated;
        for (int i = 0; i < 4; ++i) repeated.insert(repeated.end(), block.begin(), block.end());
        ExpectRoundTrip(repeated, "repeats at the window's reach");
    }
    // Short repeats in noise: matches of every length, cut at the end.
    std::vector<uint8_t> mixed;
    while (mixed.size() < 200000) {
        if (mixed.size() > 100 && rnd.Below(2)) {
            const size_t length = 3 + rnd.Below(70);
            const size_t from = mixed.size() - 1 - rnd.Below(static_cast<uint32_t>(std::min<size_t>(mixed.size() - 1, 4200)));
            for (size_t k = 0; k < length; ++k) mixed.push_back(mixed[from + k]);
        } else {
            mixed.push_back(static_cast<uint8_t>(rnd.Below(16)));
        }
    }
    ExpectRoundTrip(mixed, "matches in noise");
}

TEST(LzhufEncode, IncompressibleDataGrowsOnlySlightly) {
    Random rnd(23);
    const std::vector<uint8_t> data = rnd.Bytes(65536);
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size());
    EXPECT_GT(packed.size(), data.size());
    EXPECT_LT(packed.size(), data.size() + data.size() / 32);
    EXPECT_EQ(Decode(packed, 65536).bytes, data);
}

TEST(LzhufEncode, LeadingSpacesAreCodedAsMatchesIntoThePrefilledWindow) {
    PackStats stats;
    const std::string text(100, ' ');
    const std::vector<uint8_t> packed =
        PackBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), &stats);
    EXPECT_EQ(stats.literals, 0u);
    EXPECT_EQ(stats.matches, 2u);  // 60 + 40
    const Collected c = Decode(packed, 100);
    EXPECT_EQ(std::string(c.bytes.begin(), c.bytes.end()), text);
}

TEST(LzhufEncode, DataThatForcesTreeRebuildsRoundTrips) {
    // Enough symbols for several rebuilds, with the statistics drifting
    // between them so that the halved counts matter.
    std::vector<uint8_t> data = MakeTextCorpus(150000, 4);
    const std::vector<uint8_t> binary = MakeBinaryCorpus(150000, 5);
    data.insert(data.end(), binary.begin(), binary.end());
    PackStats stats;
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size(), &stats);
    ASSERT_GT(stats.literals + stats.matches, 3u * 0x8000);
    DecoderState after;
    const Collected c = Decode(packed, static_cast<uint32_t>(data.size()), -1, &after);
    EXPECT_TRUE(c.bytes == data);
    // Without rebuilds the root would count every symbol on top of 314.
    EXPECT_LT(after.frequency[kRoot], 314 + stats.literals + stats.matches);
}

}  // namespace
