// Fuzz target for the packed stream codec. The first three bytes choose what
// to do; the rest is the packed stream (or, in round-trip mode, the data):
//   byte 0, low 2 bits: 3 = pack the rest and unpack it again, otherwise
//                       decode the rest with all three decoders
//   byte 0, high 6 bits: sink call that refuses its block (63: none)
//   bytes 1-2: a number v, little-endian; the unpacked size is v times 8
//              when the low bits are 1 (long enough for tree rebuilds),
//              else v modulo 8192
// Any difference between the decoders, a wrong byte count or a failed round
// trip aborts; the sanitizers catch reads and writes out of bounds.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "extract/lzhuf.h"
#include "tools/pack/baseline_decoder.h"
#include "tools/pack/encoder.h"

bool DecodeStreamPortable(DecoderState* state, const uint8_t* input, uint32_t packedSize,
                          uint32_t unpackedSize, BlockSink sink, void* context);

namespace {

struct Output {
    std::vector<uint8_t> bytes;
    unsigned calls = 0;
    unsigned refuseCall = 0;
    bool returned = false;
};

bool Collect(void* context, const uint8_t* block, uint32_t count) {
    Output* out = static_cast<Output*>(context);
    if (count == 0 || count > kOutputBlock) abort();
    if (out->calls++ == out->refuseCall) return false;
    out->bytes.insert(out->bytes.end(), block, block + count);
    return true;
}

DecoderState g_state;

void Check(bool condition) {
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const unsigned mode = data[0] & 3;
    const unsigned refuseCall = data[0] >> 2 == 63 ? ~0u : data[0] >> 2;
    const uint32_t v = data[1] | (data[2] << 8);
    const uint32_t unpacked = mode == 1 ? v * 8 : v % 8192;
    const size_t rest = size - 3;
    // An exact-size copy, so that any read past the packed size is caught.
    std::unique_ptr<uint8_t[]> input(new uint8_t[rest ? rest : 1]);
    memcpy(input.get(), data + 3, rest);

    if (mode == 3) {
        const std::vector<uint8_t> packed = PackBytes(input.get(), rest);
        std::unique_ptr<uint8_t[]> stream(new uint8_t[packed.size() ? packed.size() : 1]);
        if (!packed.empty()) memcpy(stream.get(), packed.data(), packed.size());
        Output out;
        out.refuseCall = ~0u;
        Check(DecodeStream(&g_state, stream.get(), static_cast<uint32_t>(packed.size()),
                           static_cast<uint32_t>(rest), Collect, &out));
        Check(out.bytes.size() == rest && (rest == 0 || memcmp(out.bytes.data(), input.get(), rest) == 0));
        return 0;
    }

    Output real, portable, baseline;
    real.refuseCall = portable.refuseCall = baseline.refuseCall = refuseCall;
    real.returned = DecodeStream(&g_state, input.get(), static_cast<uint32_t>(rest), unpacked, Collect, &real);
    portable.returned = DecodeStreamPortable(&g_state, input.get(), static_cast<uint32_t>(rest), unpacked,
                                             Collect, &portable);
    baseline.returned = BaselineDecode(input.get(), static_cast<uint32_t>(rest), unpacked, Collect, &baseline);
    Check(real.returned == baseline.returned && portable.returned == baseline.returned);
    Check(real.bytes == baseline.bytes && portable.bytes == baseline.bytes);
    Check(real.calls == baseline.calls && portable.calls == baseline.calls);
    if (real.returned) Check(real.bytes.size() == unpacked);
    return 0;
}
