// Benchmark. Each corpus is packed, then decoded alternately by the real
// decoder and the baseline decoder; the best of several rounds counts for
// each, so both see the same machine load. MB means 10^6 bytes of unpacked
// data.
#include "tools/pack/bench.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "extract/lzhuf.h"
#include "tools/pack/baseline_decoder.h"
#include "tools/pack/corpus.h"
#include "tools/pack/encoder.h"

namespace {

const size_t kCorpusSize = 2 * 1024 * 1024;
const int kDecodeRounds = 11;
const int kEncodeRounds = 3;

struct MemorySink {
    uint8_t* out;
    size_t capacity;
    size_t used;
};

bool Collect(void* context, const uint8_t* block, uint32_t count) {
    MemorySink* sink = static_cast<MemorySink*>(context);
    if (count > sink->capacity - sink->used) return false;
    memcpy(sink->out + sink->used, block, count);
    sink->used += count;
    return true;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

typedef bool (*Decoder)(const std::vector<uint8_t>& packed, std::vector<uint8_t>* out);

bool DecodeReal(const std::vector<uint8_t>& packed, std::vector<uint8_t>* out) {
    static DecoderState state;
    MemorySink sink = {out->data(), out->size(), 0};
    return DecodeStream(&state, packed.data(), static_cast<uint32_t>(packed.size()),
                        static_cast<uint32_t>(out->size()), Collect, &sink) &&
           sink.used == out->size();
}

bool DecodeBaseline(const std::vector<uint8_t>& packed, std::vector<uint8_t>* out) {
    MemorySink sink = {out->data(), out->size(), 0};
    return BaselineDecode(packed.data(), static_cast<uint32_t>(packed.size()),
                          static_cast<uint32_t>(out->size()), Collect, &sink) &&
           sink.used == out->size();
}

// Times one decode; false when it does not give back the corpus.
bool TimeDecode(Decoder decode, const std::vector<uint8_t>& packed,
                const std::vector<uint8_t>& original, double* best) {
    std::vector<uint8_t> out(original.size(), 0xA5);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = decode(packed, &out);
    const double t = Seconds(start);
    if (t < *best) *best = t;
    return ok && out == original;
}

struct Result {
    size_t packedSize;
    double encodeTime, realTime, baselineTime;  // seconds, best round
    bool identical;
};

Result Measure(const std::vector<uint8_t>& corpus) {
    Result r = {};
    std::vector<uint8_t> packed;
    double encodeTime = 1e30;
    for (int i = 0; i < kEncodeRounds; ++i) {
        const auto start = std::chrono::steady_clock::now();
        packed = PackBytes(corpus.data(), corpus.size());
        const double t = Seconds(start);
        if (t < encodeTime) encodeTime = t;
    }
    r.packedSize = packed.size();
    double realTime = 1e30, baselineTime = 1e30;
    r.identical = true;
    for (int i = 0; i < kDecodeRounds; ++i) {
        r.identical &= TimeDecode(DecodeReal, packed, corpus, &realTime);
        r.identical &= TimeDecode(DecodeBaseline, packed, corpus, &baselineTime);
    }
    r.encodeTime = encodeTime;
    r.realTime = realTime;
    r.baselineTime = baselineTime;
    return r;
}

void PrintRow(const char* name, size_t bytes, const Result& r) {
    const double mb = bytes / 1e6;
    printf("%-8s %10zu %10zu %6.1f%% %12.2f %12.2f %14.2f %7.2fx\n", name, bytes, r.packedSize,
           100.0 * r.packedSize / bytes, mb / r.encodeTime, mb / r.realTime, mb / r.baselineTime,
           r.baselineTime / r.realTime);
    fflush(stdout);
}

}  // namespace

int RunBenchmark() {
    struct Corpus {
        const char* name;
        std::vector<uint8_t> data;
    } corpora[] = {
        {"text", MakeTextCorpus(kCorpusSize)},
        {"binary", MakeBinaryCorpus(kCorpusSize)},
    };
    printf("portavo-pack bench: MB = 10^6 bytes of unpacked data; best of %d rounds, "
           "decoders run alternately\n\n",
           kDecodeRounds);
    printf("%-8s %10s %10s %7s %12s %12s %14s %8s\n", "corpus", "bytes", "packed", "packed%",
           "encode MB/s", "decode MB/s", "baseline MB/s", "ratio");
    bool allIdentical = true;
    Result total = {0, 0, 0, 0, true};
    size_t totalBytes = 0;
    for (const Corpus& c : corpora) {
        const Result r = Measure(c.data);
        PrintRow(c.name, c.data.size(), r);
        if (!r.identical) {
            printf("  MISMATCH: a decoder did not give back the %s corpus\n", c.name);
            allIdentical = false;
        }
        totalBytes += c.data.size();
        total.packedSize += r.packedSize;
        total.encodeTime += r.encodeTime;
        total.realTime += r.realTime;
        total.baselineTime += r.baselineTime;
    }
    PrintRow("both", totalBytes, total);
    printf("\n%s\n", allIdentical
                         ? "identical output: both decoders gave back every corpus byte for byte"
                         : "OUTPUT DIFFERS: see above");
    return allIdentical ? 0 : 1;
}
