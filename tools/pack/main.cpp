// portavo-pack: packs payload files into the streams setup.exe carries,
// unpacks them with setup.exe's own decoder, checks a packed file against its
// original, and measures the codec.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "extract/lzhuf.h"
#include "tools/pack/bench.h"
#include "tools/pack/encoder.h"

namespace {

const char kUsage[] =
    "usage: portavo-pack pack IN OUT          pack IN into the stream OUT (no size prefix)\n"
    "       portavo-pack unpack IN OUT SIZE   decode the stream IN into SIZE bytes in OUT\n"
    "       portavo-pack check IN PACKED      verify that PACKED decodes to IN exactly\n"
    "       portavo-pack bench                measure encoder and decoder throughput\n";

int Usage(const char* problem) {
    fprintf(stderr, "portavo-pack: %s\n%s", problem, kUsage);
    return 2;
}

bool ReadFile(const char* path, std::vector<uint8_t>* data) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "portavo-pack: cannot open %s: %s\n", path, strerror(errno));
        return false;
    }
    data->clear();
    uint8_t buffer[65536];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) data->insert(data->end(), buffer, buffer + n);
    const bool failed = ferror(f) != 0;
    fclose(f);
    if (failed) {
        fprintf(stderr, "portavo-pack: cannot read %s\n", path);
        return false;
    }
    return true;
}

// Streams are addressed with 32-bit sizes.
bool FitsStream(const char* path, size_t size) {
    if (size <= 0xFFFFFFFFu) return true;
    fprintf(stderr, "portavo-pack: %s is larger than 4 GB minus one byte\n", path);
    return false;
}

struct OutputFile {
    FILE* file;
    bool failed;
};

bool WriteBlock(void* context, const uint8_t* block, uint32_t count) {
    OutputFile* out = static_cast<OutputFile*>(context);
    if (fwrite(block, 1, count, out->file) != count) out->failed = true;
    return !out->failed;
}

// On any failure the partial file is removed so that a build never picks it up.
bool WriteFile(const char* path, const std::vector<uint8_t>& data) {
    FILE* f = fopen(path, "wb");
    if (!f) {
        fprintf(stderr, "portavo-pack: cannot create %s: %s\n", path, strerror(errno));
        return false;
    }
    bool ok = data.empty() || fwrite(data.data(), 1, data.size(), f) == data.size();
    ok = (fclose(f) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "portavo-pack: cannot write %s\n", path);
        remove(path);
    }
    return ok;
}

bool ParseSize(const char* text, uint32_t* size) {
    if (!*text) return false;
    uint64_t value = 0;
    for (const char* c = text; *c; ++c) {
        if (*c < '0' || *c > '9') return false;
        value = value * 10 + static_cast<unsigned>(*c - '0');
        if (value > 0xFFFFFFFFu) return false;
    }
    *size = static_cast<uint32_t>(value);
    return true;
}

int Pack(const char* in, const char* out) {
    std::vector<uint8_t> data;
    if (!ReadFile(in, &data) || !FitsStream(in, data.size())) return 1;
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size());
    return WriteFile(out, packed) ? 0 : 1;
}

int Unpack(const char* in, const char* out, const char* sizeText) {
    uint32_t size;
    if (!ParseSize(sizeText, &size)) return Usage("SIZE must be a decimal byte count below 4 GB");
    std::vector<uint8_t> packed;
    if (!ReadFile(in, &packed) || !FitsStream(in, packed.size())) return 1;
    OutputFile file = {fopen(out, "wb"), false};
    if (!file.file) {
        fprintf(stderr, "portavo-pack: cannot create %s: %s\n", out, strerror(errno));
        return 1;
    }
    static DecoderState state;
    bool ok = DecodeStream(&state, packed.data(), static_cast<uint32_t>(packed.size()), size,
                           WriteBlock, &file);
    ok = (fclose(file.file) == 0) && ok;
    if (!ok) {
        fprintf(stderr, "portavo-pack: cannot write %s\n", out);
        remove(out);
        return 1;
    }
    return 0;
}

struct Comparison {
    const std::vector<uint8_t>* expected;
    size_t position;
    size_t firstDifference;
};

bool CompareBlock(void* context, const uint8_t* block, uint32_t count) {
    Comparison* cmp = static_cast<Comparison*>(context);
    const uint8_t* want = cmp->expected->data() + cmp->position;
    for (uint32_t i = 0; i < count; ++i) {
        if (block[i] != want[i]) {
            cmp->firstDifference = cmp->position + i;
            return false;
        }
    }
    cmp->position += count;
    return true;
}

int Check(const char* in, const char* packedPath) {
    std::vector<uint8_t> original, packed;
    if (!ReadFile(in, &original) || !FitsStream(in, original.size())) return 1;
    if (!ReadFile(packedPath, &packed) || !FitsStream(packedPath, packed.size())) return 1;
    Comparison cmp = {&original, 0, 0};
    static DecoderState state;
    const bool same = DecodeStream(&state, packed.data(), static_cast<uint32_t>(packed.size()),
                                   static_cast<uint32_t>(original.size()), CompareBlock, &cmp);
    if (!same || cmp.position != original.size()) {
        fprintf(stderr,
                "portavo-pack: check failed: %s does not decode to %s "
                "(first difference at byte %zu of %zu)\n",
                packedPath, in, cmp.firstDifference, original.size());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage("no command given");
    const std::string command = argv[1];
    if (command == "pack") {
        if (argc != 4) return Usage("pack takes IN and OUT");
        return Pack(argv[2], argv[3]);
    }
    if (command == "unpack") {
        if (argc != 5) return Usage("unpack takes IN, OUT and SIZE");
        return Unpack(argv[2], argv[3], argv[4]);
    }
    if (command == "check") {
        if (argc != 4) return Usage("check takes IN and PACKED");
        return Check(argv[2], argv[3]);
    }
    if (command == "bench") {
        if (argc != 2) return Usage("bench takes no arguments");
        return RunBenchmark();
    }
    return Usage(("unknown command '" + command + "'").c_str());
}
