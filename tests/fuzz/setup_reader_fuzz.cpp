// Fuzz target for portavo-inspect's reading of a setup.exe: the PE headers
// and resource tree, the search for the product record, the version resource,
// the checksum table and the payload checks. Whatever the input, every
// resource found lies inside it, and a payload file that passes its checks has
// its unpacked size and its recorded CRC-32; the sanitizers catch the rest.
// Seeds come from inspect-fuzz-seed (a small setup program for a sample
// product).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/peruse/setup_reader.h"

namespace {

void Check(bool condition) {
    if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetupImage image;
    image.bytes.assign(data, data + size);
    std::string why;
    if (!image.pe.Read(image.bytes.data(), image.bytes.size(), &why)) {
        Check(!why.empty());
        return 0;
    }
    for (const PeResource& r : image.pe.resources) Check(uint64_t(r.offset) + r.size <= size);
    VersionInfo version;
    ReadVersionInfo(image, &version, &why);
    if (!FindRecord(image.bytes, image.pe, &image.record, &image.recordOffset, &why)) {
        Check(!why.empty());
        return 0;
    }
    Check(image.recordOffset + sizeof(ProductConfig) <= size);
    std::vector<FileChecksum> checksums;
    if (!ReadChecksums(image, &checksums, &why)) return 0;
    for (int i = 0; i < image.record.fileCount; ++i) {
        std::vector<uint8_t> out;
        if (CheckPayload(image, i, checksums[i], &out, &why)) {
            Check(out.size() == image.record.files[i].unpackedSize);
            Check(Crc32(out.data(), out.size()) == checksums[i].crc);
        } else {
            Check(!why.empty());
        }
    }
    return 0;
}
