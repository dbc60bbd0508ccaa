#include "tools/config/checksums.h"

#include <cstring>

namespace {

const char kMagic[4] = {'P', 'V', 'C', 'K'};
const size_t kNameSize = 16;
const size_t kEntrySize = kNameSize + 4;

void PutLittle32(std::vector<uint8_t>* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

uint32_t GetLittle32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

std::vector<uint8_t> ChecksumTable(const std::vector<FileChecksum>& entries) {
    std::vector<uint8_t> out(kMagic, kMagic + 4);
    PutLittle32(&out, static_cast<uint32_t>(entries.size()));
    for (const FileChecksum& e : entries) {
        uint8_t name[kNameSize] = {};
        memcpy(name, e.resourceName.data(), e.resourceName.size() < kNameSize ? e.resourceName.size() : kNameSize - 1);
        out.insert(out.end(), name, name + kNameSize);
        PutLittle32(&out, e.crc);
    }
    return out;
}

bool ParseChecksumTable(const uint8_t* data, size_t size, std::vector<FileChecksum>* entries, std::string* why) {
    entries->clear();
    if (size < 8 || memcmp(data, kMagic, 4) != 0) {
        *why = "the checksum table does not start with \"PVCK\" and a count";
        return false;
    }
    const uint32_t count = GetLittle32(data + 4);
    if ((size - 8) % kEntrySize != 0 || (size - 8) / kEntrySize != count) {
        *why = "the checksum table holds " + std::to_string(size) + " bytes, not the " + std::to_string(count) +
               " entries it announces";
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* p = data + 8 + i * kEntrySize;
        if (memchr(p, 0, kNameSize) == nullptr) {
            *why = "checksum table entry " + std::to_string(i) + " has an unterminated resource name";
            return false;
        }
        entries->push_back(FileChecksum{reinterpret_cast<const char*>(p), GetLittle32(p + kNameSize)});
    }
    return true;
}
