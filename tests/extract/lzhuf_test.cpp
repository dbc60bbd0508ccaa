// The packed stream decoder: the format worked out by hand, the output
// blocks, where decoding stops, input past the packed size, a refusing sink,
// damaged input, and the consistency of the model it leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "tests/extract/lzhuf_support.h"

namespace {

using namespace lzhuf_test;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

std::string Text(const Collected& c) { return std::string(c.bytes.begin(), c.bytes.end()); }

// In the initial tree node j >= 314 has children 2(j - 314) and 2(j - 314) + 1,
// so the parent of node n is 314 + n / 2 and a node's bit is its lowest bit.
// 'A' (65): 65 346 487 557 592 610 619 623 625 -> root; bits leaf first
// 1 0 1 1 0 0 1 1 1, sent root first: 111001101, padded: E6 80.
TEST(LzhufDecode, HandWorkedLiteral) {
    EXPECT_EQ(Text(Decode(Bytes({0xE6, 0x80}), 1)), "A");
    // Trailing bits of the last byte do not matter.
    EXPECT_EQ(Text(Decode(Bytes({0xE6, 0xFF}), 1)), "A");
    // With only the first byte, the ninth bit reads as 0: the sibling leaf 64.
    EXPECT_EQ(Text(Decode(Bytes({0xE6}), 1)), "@");
}

// Symbol 256 (length 3): 256 442 535 581 604 616 622 625 -> root, leaf-first
// bits 0 0 1 1 0 0 0 1, root first 10001100; then offset 0: upper code 000
// and lower bits 000000. The match copies the spaces before position 4036.
TEST(LzhufDecode, HandWorkedMatchIntoPrefilledSpaces) {
    EXPECT_EQ(Text(Decode(Bytes({0x8C, 0x00, 0x00}), 3)), "   ");
    // The zero bits of the offset may lie past the packed size.
    EXPECT_EQ(Text(Decode(Bytes({0x8C}), 3)), "   ");
}

TEST(LzhufDecode, InputPastThePackedSizeReadsAsZeroBytes) {
    Random rnd(11);
    for (int round = 0; round < 20; ++round) {
        std::vector<uint8_t> packed = rnd.Bytes(1 + rnd.Below(300));
        const uint32_t size = 1 + rnd.Below(20000);
        std::vector<uint8_t> padded = packed;
        padded.resize(packed.size() + 64, 0);
        const Collected shortInput = Decode(packed, size);
        const Collected zeroPadded = Decode(padded, size);
        ASSERT_EQ(shortInput.bytes.size(), size);
        EXPECT_EQ(shortInput.bytes, zeroPadded.bytes) << "round " << round;
    }
}

TEST(LzhufDecode, OffsetZeroRepeatsTheLastByteAcrossBlocksAndTheWindowEdge) {
    // A literal then offset 0 matches: each copies the byte just written.
    Script s = Write({Lit('q'), Copy(10, 0)});
    EXPECT_EQ(Text(Decode(s.stream, 11)), std::string(11, 'q'));

    // Around the window's end (position 4095 -> 0) and a block boundary.
    std::vector<Step> steps;
    for (int i = 0; i < 58; ++i) steps.push_back(Lit(static_cast<uint8_t>('a' + i % 26)));
    steps.push_back(Copy(20, 0));   // writes 4094..4095 then 0..17
    steps.push_back(Copy(30, 15));  // source wraps from 4092 to 0
    for (int i = 0; i < 950; ++i) steps.push_back(Lit(static_cast<uint8_t>(i)));
    steps.push_back(Copy(60, 0));  // crosses the first 1024-byte block
    s = Write(steps);
    const Collected c = Decode(s.stream, static_cast<uint32_t>(s.expected.size()));
    EXPECT_EQ(c.bytes, s.expected);
}

TEST(LzhufDecode, MatchesReachEveryOffsetCode) {
    // All 64 upper values with low bits 0, 1 and 63, after a run of distinct
    // bytes, checked against the byte-by-byte working.
    std::vector<Step> steps;
    for (int i = 0; i < 4200; ++i) steps.push_back(Lit(static_cast<uint8_t>(i * 7 + i / 256)));
    for (unsigned upper = 0; upper < 64; ++upper) {
        for (unsigned low : {0u, 1u, 63u}) steps.push_back(Copy(3 + (upper + low) % 58, upper * 64 + low));
    }
    const Script s = Write(steps);
    const Collected c = Decode(s.stream, static_cast<uint32_t>(s.expected.size()));
    EXPECT_EQ(c.bytes, s.expected);
}

TEST(LzhufDecode, LongOffsetsCopyTheOldBytesTheyOverlap) {
    // With offset 4088 to 4095 the source lies up to eight bytes ahead of the
    // write position, so a long copy overwrites bytes it reads later: it
    // must read them before they are overwritten, as a byte-by-byte copy does.
    for (unsigned offset = 4080; offset < 4096; ++offset) {
        std::vector<Step> steps;
        for (int i = 0; i < 4200; ++i) steps.push_back(Lit(static_cast<uint8_t>(i * 13 + i / 97)));
        steps.push_back(Copy(60, offset));
        steps.push_back(Copy(9, offset));
        const Script s = Write(steps);
        const Collected c = Decode(s.stream, static_cast<uint32_t>(s.expected.size()));
        EXPECT_EQ(c.bytes, s.expected) << "offset " << offset;
    }
}

TEST(LzhufDecode, StopsExactlyAtTheUnpackedSizeEvenInsideAMatch) {
    const Script s = Write({Lit('x'), Copy(60, 0)});
    for (uint32_t size : {1u, 2u, 10u, 60u, 61u}) {
        DecoderState after;
        const Collected c = Decode(s.stream, size, -1, &after);
        EXPECT_TRUE(c.returned);
        EXPECT_EQ(Text(c), std::string(size, 'x'));
        EXPECT_EQ(c.blocks, std::vector<uint32_t>{size});
        EXPECT_EQ(after.outputRemaining, 0u);
    }
}

TEST(LzhufDecode, SizeZeroReadsNoInputAndWritesNothing) {
    DecoderState state;
    Collected c;
    // A null input with a non-zero packed size would crash if read.
    EXPECT_TRUE(DecodeStream(&state, nullptr, 100, 0, CollectBlock, &c));
    EXPECT_TRUE(c.blocks.empty());
    EXPECT_EQ(state.inputRemaining, 100u);
    EXPECT_EQ(state.inputPosition, nullptr);
}

TEST(LzhufDecode, HandsOutFullBlocksAndOnePartialBlockAtTheEnd) {
    Random rnd(3);
    const std::vector<uint8_t> data = rnd.Bytes(5000);
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size());
    const struct {
        uint32_t size;
        std::vector<uint32_t> blocks;
    } cases[] = {
        {1, {1}},
        {1023, {1023}},
        {1024, {1024}},
        {1025, {1024, 1}},
        {2048, {1024, 1024}},
        {5000, {1024, 1024, 1024, 1024, 904}},
    };
    for (const auto& k : cases) {
        const Collected c = Decode(packed, k.size);
        EXPECT_EQ(c.blocks, k.blocks) << "size " << k.size;
        EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), data.begin()));
    }
}

TEST(LzhufDecode, ARefusingSinkStopsDecodingAndFailsTheCall) {
    Random rnd(5);
    const std::vector<uint8_t> data = rnd.Bytes(5000);
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size());
    for (int refuse : {0, 1, 4}) {  // a full block, a later one, the partial last one
        const Collected c = Decode(packed, 5000, refuse);
        EXPECT_FALSE(c.returned);
        EXPECT_EQ(c.blocks.size(), static_cast<size_t>(refuse + 1)) << "refusing call " << refuse;
        EXPECT_EQ(c.bytes.size(), static_cast<size_t>(refuse) * 1024);
    }
    EXPECT_TRUE(Decode(packed, 5000).returned);
}

// Damaged input of any size must neither read nor write out of bounds (the
// sanitizers watch, and the input is an exact-size allocation), must produce
// exactly the unpacked size, and must agree with the baseline decoder.
TEST(LzhufDecode, ArbitraryBytesDecodeSafelyToTheRequestedSize) {
    Random rnd(7);
    for (int round = 0; round < 250; ++round) {
        const std::vector<uint8_t> packed = rnd.Bytes(rnd.Below(4) == 0 ? rnd.Below(8) : rnd.Below(3000));
        const uint32_t size = rnd.Below(4) == 0 ? rnd.Below(100) : rnd.Below(150000);
        const Collected c = Decode(packed, size);
        ASSERT_TRUE(c.returned);
        ASSERT_EQ(c.bytes.size(), size) << "round " << round;
        ASSERT_EQ(c.bytes, DecodeBaseline(packed, size).bytes) << "round " << round;
    }
}

TEST(LzhufDecode, MatchesIntoTheUnwrittenWindowTailReadZeros) {
    // Offset 4094 from position 4036 starts at 4037, which no stream has
    // written yet; the bytes must not depend on a previous stream.
    const Script s = Write({Copy(5, 4094)});
    std::unique_ptr<DecoderState> state(new DecoderState());
    memset(state->window, 0xAB, sizeof state->window);
    Collected c;
    ASSERT_TRUE(DecodeStream(state.get(), s.stream.data(), static_cast<uint32_t>(s.stream.size()), 5,
                             CollectBlock, &c));
    EXPECT_EQ(c.bytes, std::vector<uint8_t>(5, 0));
    EXPECT_EQ(c.bytes, s.expected);
}

// Checks the tables the decoder keeps: counts in order, the stop count after
// the root and the padding after it, every internal node the sum of its
// children, parents and children agreeing, every symbol on exactly one leaf,
// and the grandchild table.
void ExpectConsistentModel(const DecoderState& s) {
    ASSERT_EQ(s.frequency[kNodeCount], 0);
    for (unsigned i = kNodeCount + 1; i < kNodeCount + 8; ++i) ASSERT_EQ(s.frequency[i], 0xFFFF);
    std::vector<int> leafOf(kSymbolCount, -1);
    for (unsigned i = 0; i < kNodeCount; ++i) {
        if (i > 0) ASSERT_LE(s.frequency[i - 1], s.frequency[i]) << "node " << i;
        const unsigned c = s.child[i];
        if (c >= kNodeCount) {
            ASSERT_LT(c - kNodeCount, static_cast<unsigned>(kSymbolCount));
            ASSERT_EQ(leafOf[c - kNodeCount], -1);
            leafOf[c - kNodeCount] = static_cast<int>(i);
            ASSERT_EQ(s.parent[c], i);
            continue;
        }
        ASSERT_EQ(c % 2, 0u) << "node " << i;
        ASSERT_EQ(s.frequency[i], s.frequency[c] + s.frequency[c + 1]) << "node " << i;
        ASSERT_EQ(s.parent[c], i);
        ASSERT_EQ(s.parent[c + 1], i);
        ASSERT_EQ(s.grandchild[2 * i], s.child[c]) << "node " << i;
        ASSERT_EQ(s.grandchild[2 * i + 1], s.child[c + 1]) << "node " << i;
    }
    for (int node : leafOf) ASSERT_GE(node, 0);
    ASSERT_EQ(s.parent[kRoot], 0);
}

TEST(LzhufDecode, LeavesAConsistentModelAfterManyUpdatesAndRebuilds) {
    Random rnd(9);
    // Random literals: 40000 symbols push the root count past 0x8000.
    std::vector<Step> steps;
    for (int i = 0; i < 40000; ++i) steps.push_back(Lit(static_cast<uint8_t>(rnd.Below(rnd.Below(256) + 1))));
    const Script s = Write(steps);
    DecoderState after;
    const Collected c = Decode(s.stream, static_cast<uint32_t>(s.expected.size()), -1, &after);
    ASSERT_EQ(c.bytes, s.expected);
    // Without a rebuild the root would count 314 + 40000.
    EXPECT_LT(after.frequency[kRoot], 314 + 40000);
    ExpectConsistentModel(after);

    for (int round = 0; round < 20; ++round) {
        const std::vector<uint8_t> packed = rnd.Bytes(200 + rnd.Below(20000));
        Decode(packed, 100000, -1, &after);
        ExpectConsistentModel(after);
    }
}

}  // namespace
