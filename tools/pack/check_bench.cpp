// How long setup.exe's check of its own payload takes: every stream decoded
// into a CRC-32 and compared with the recorded one, best of several rounds.
// Built natively, where the streams are the build's packed files, and as a
// Windows program for Wine, which times the very check setup.exe runs, on its
// own resources.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/config.h"
#include "extract/payload_check.h"

namespace {

const int kRounds = 15;

// One whole check; false when any stream failed it.
bool CheckWholePayload();

uint32_t PayloadBytes() {
    uint32_t total = 0;
    for (int i = 0; i < g_product.fileCount; ++i) total += g_product.files[i].unpackedSize;
    return total;
}

}  // namespace

#ifdef _WIN32
#include "extract/self_check.h"

namespace {
const char kWhere[] = "setup.exe's own check, under Wine";
bool CheckWholePayload() { return VerifyPayload(); }
}  // namespace

#else
#include <fstream>
#include <iterator>
#include <memory>

namespace {

const char kWhere[] = "native, the build's packed files";

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Loaded {
    std::vector<uint8_t> table;
    std::vector<std::vector<uint8_t>> streams;
};

Loaded& Payload() {
    static Loaded loaded;
    if (loaded.table.empty()) {
        loaded.table = ReadBytes(PORTAVO_GEN_DIR "/checksums.bin");
        for (int i = 0; i < g_product.fileCount; ++i)
            loaded.streams.push_back(ReadBytes(std::string(PORTAVO_GEN_DIR "/packed/") + g_product.files[i].fileName));
    }
    return loaded;
}

const uint8_t* FileStream(void* context, const FileEntry& entry, uint32_t* size) {
    const std::vector<uint8_t>& stream = static_cast<const Loaded*>(context)->streams[&entry - g_product.files];
    *size = static_cast<uint32_t>(stream.size());
    return stream.data();
}

bool CheckWholePayload() {
    static std::unique_ptr<DecoderState> state(new DecoderState);
    Loaded& p = Payload();
    return FindDamagedEntry(state.get(), g_product, p.table.data(), static_cast<uint32_t>(p.table.size()),
                            FileStream, &p) < 0;
}

}  // namespace
#endif

int main() {
    double best = 1e9, first = 0;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        if (!CheckWholePayload()) {
            fprintf(stderr, "payload check: the payload failed its check\n");
            return 1;
        }
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (round == 0) first = ms;
        if (ms < best) best = ms;
    }
    printf("payload check (%s): %d files, %u bytes unpacked: first %.1f ms, best of %d %.1f ms\n",
           kWhere, g_product.fileCount, PayloadBytes(), first, kRounds, best);
    return 0;
}
