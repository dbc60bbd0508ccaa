// Helpers shared by the codec tests: decoding into memory with the block
// sizes recorded, exact-size input copies (so that AddressSanitizer sees any
// read past the packed size), and streams written from a list of literals and
// matches together with the bytes they must decode to.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "extract/lzhuf.h"
#include "tools/pack/baseline_decoder.h"
#include "tools/pack/encoder.h"

namespace lzhuf_test {

typedef bool (*Decoder)(DecoderState* state, const uint8_t* input, uint32_t packedSize,
                        uint32_t unpackedSize, BlockSink sink, void* context);

struct Collected {
    std::vector<uint8_t> bytes;
    std::vector<uint32_t> blocks;  // size of every block the sink was given
    int refuseCall = -1;           // 0-based sink call that returns false
    bool returned = false;         // what the decoder returned
};

inline bool CollectBlock(void* context, const uint8_t* block, uint32_t count) {
    Collected* c = static_cast<Collected*>(context);
    const bool refuse = static_cast<int>(c->blocks.size()) == c->refuseCall;
    c->blocks.push_back(count);
    if (refuse) return false;
    c->bytes.insert(c->bytes.end(), block, block + count);
    return true;
}

// The stream copied into an allocation of exactly its size.
inline std::unique_ptr<uint8_t[]> ExactCopy(const std::vector<uint8_t>& data) {
    std::unique_ptr<uint8_t[]> copy(new uint8_t[data.size() ? data.size() : 1]);
    if (!data.empty()) memcpy(copy.get(), data.data(), data.size());
    return copy;
}

inline Collected DecodeWith(Decoder decode, const std::vector<uint8_t>& packed, uint32_t size,
                            int refuseCall = -1, DecoderState* keep = nullptr) {
    std::unique_ptr<DecoderState> state(new DecoderState());
    const std::unique_ptr<uint8_t[]> input = ExactCopy(packed);
    Collected c;
    c.refuseCall = refuseCall;
    c.returned = decode(state.get(), input.get(), static_cast<uint32_t>(packed.size()), size,
                        CollectBlock, &c);
    if (keep) *keep = *state;
    return c;
}

inline Collected Decode(const std::vector<uint8_t>& packed, uint32_t size, int refuseCall = -1,
                        DecoderState* keep = nullptr) {
    return DecodeWith(DecodeStream, packed, size, refuseCall, keep);
}

inline Collected DecodeBaseline(const std::vector<uint8_t>& packed, uint32_t size) {
    const std::unique_ptr<uint8_t[]> input = ExactCopy(packed);
    Collected c;
    c.returned = BaselineDecode(input.get(), static_cast<uint32_t>(packed.size()), size,
                                CollectBlock, &c);
    return c;
}

// One step of a hand-made stream.
struct Step {
    bool match;
    uint8_t byte;     // literal
    unsigned length;  // match, 3 to 60
    unsigned offset;  // match, 0 to 4095
};

inline Step Lit(uint8_t byte) { return Step{false, byte, 0, 0}; }
inline Step Copy(unsigned length, unsigned offset) { return Step{true, 0, length, offset}; }

struct Script {
    std::vector<uint8_t> stream;
    std::vector<uint8_t> expected;  // what the steps produce, worked out byte by byte
    unsigned longestCode;
};

// Writes the steps with the packer's coder and works out their output with a
// plain window: spaces up to 4036, zeros after, writing from 4036 on.
inline Script Write(const std::vector<Step>& steps) {
    StreamCoder coder;
    uint8_t window[4096];
    memset(window, ' ', 4036);
    memset(window + 4036, 0, 60);
    unsigned at = 4036;
    Script script;
    for (const Step& step : steps) {
        if (!step.match) {
            coder.Literal(step.byte);
            script.expected.push_back(step.byte);
            window[at] = step.byte;
            at = (at + 1) % 4096;
            continue;
        }
        coder.Match(step.length, step.offset);
        const unsigned start = (at + 4096 - step.offset - 1) % 4096;
        for (unsigned k = 0; k < step.length; ++k) {
            const uint8_t b = window[(start + k) % 4096];
            script.expected.push_back(b);
            window[at] = b;
            at = (at + 1) % 4096;
        }
    }
    script.longestCode = coder.Stats().longestCode;
    script.stream = coder.Finish();
    return script;
}

// Deterministic pseudo-random numbers for test data.
struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<uint32_t>(state >> 32);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }
    std::vector<uint8_t> Bytes(size_t n) {
        std::vector<uint8_t> out(n);
        for (uint8_t& b : out) b = static_cast<uint8_t>(Next() >> 24);
        return out;
    }
};

}  // namespace lzhuf_test
