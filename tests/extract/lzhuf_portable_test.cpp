// The decoder as a 32-bit target without SSE2 builds it (setup.exe is i686):
// a 32-bit bit buffer and the plain search for the node to exchange with.
// This file compiles its own copy of the decoder under another name and
// holds it to the baseline decoder.
#define PORTAVO_LZHUF_PORTABLE 1
#define DecodeStream DecodeStreamPortable
#define BitsTaken BitsTakenPortable
#include "extract/lzhuf.cpp"
#undef DecodeStream
#undef BitsTaken

// The header was read under the other name; the helpers also use the real one.
bool DecodeStream(DecoderState* state, const uint8_t* input, uint32_t packedSize,
                  uint32_t unpackedSize, BlockSink sink, void* context);

#include <gtest/gtest.h>

#include "tests/extract/lzhuf_support.h"
#include "tools/pack/corpus.h"

namespace {

using namespace lzhuf_test;

TEST(LzhufDecodePortable, MatchesTheBaselineOnPackedCorpora) {
    for (const std::vector<uint8_t>& data : {MakeTextCorpus(200000, 8), MakeBinaryCorpus(200000, 9)}) {
        const std::vector<uint8_t> packed = PackBytes(data.data(), data.size());
        const Collected c = DecodeWith(DecodeStreamPortable, packed, static_cast<uint32_t>(data.size()));
        EXPECT_TRUE(c.returned);
        EXPECT_TRUE(c.bytes == data);
    }
}

TEST(LzhufDecodePortable, MatchesTheBaselineOnArbitraryBytes) {
    Random rnd(31);
    for (int round = 0; round < 100; ++round) {
        const std::vector<uint8_t> packed = rnd.Bytes(rnd.Below(2000));
        const uint32_t size = rnd.Below(100000);
        const Collected c = DecodeWith(DecodeStreamPortable, packed, size);
        ASSERT_EQ(c.bytes.size(), size);
        ASSERT_EQ(c.bytes, DecodeBaseline(packed, size).bytes) << "round " << round;
    }
}

}  // namespace
