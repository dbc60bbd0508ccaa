#include "extract/payload_check.h"

#include <cstring>

#include "extract/crc32.h"

namespace {

enum { kHeaderSize = 8, kNameSize = 16, kEntrySize = kNameSize + 4 };

uint32_t GetLittle32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool AddToCrc(void* context, const uint8_t* block, uint32_t count) {
    uint32_t* crc = static_cast<uint32_t*>(context);
    *crc = Crc32(block, count, *crc);
    return true;
}

}  // namespace

bool FindRecordedCrc(const uint8_t* table, uint32_t tableSize, int index, const FileEntry& entry,
                     uint32_t* crc) {
    if (!table || tableSize < kHeaderSize || memcmp(table, "PVCK", 4) != 0 || index < 0) return false;
    const uint32_t count = GetLittle32(table + 4);
    if (static_cast<uint32_t>(index) >= count ||
        (tableSize - kHeaderSize) / kEntrySize <= static_cast<uint32_t>(index))
        return false;
    const uint8_t* p = table + kHeaderSize + index * kEntrySize;
    static_assert(int(kResourceNameSize) == int(kNameSize), "the table's names are as wide as the entries'");
    if (strncmp(reinterpret_cast<const char*>(p), entry.resourceName, kNameSize) != 0) return false;
    *crc = GetLittle32(p + kNameSize);
    return true;
}

bool CheckPackedStream(DecoderState* state, const uint8_t* bytes, uint32_t packedSize,
                       uint32_t unpackedSize, uint32_t crc) {
    // The decoder always gives exactly unpackedSize bytes: a stream that ends
    // early reads zeros past its packed size, which the bit count shows.
    uint32_t decodedCrc = 0;
    DecodeStream(state, bytes, packedSize, unpackedSize, AddToCrc, &decodedCrc);
    // Every bit from the stream's own bytes, and its last byte used.
    const uint64_t taken = BitsTaken(state, packedSize);
    const bool exact = taken <= 8ull * packedSize && (packedSize == 0 || taken > 8ull * (packedSize - 1));
    return exact && decodedCrc == crc;
}

int FindDamagedEntry(DecoderState* state, const ProductConfig& product, const uint8_t* table,
                     uint32_t tableSize, StreamSource source, void* context) {
    for (int i = 0; i < product.fileCount; ++i) {
        const FileEntry& entry = product.files[i];
        uint32_t crc, size = 0;
        const uint8_t* stream = source(context, entry, &size);
        if (!FindRecordedCrc(table, tableSize, i, entry, &crc) || !stream || size != entry.packedSize ||
            !CheckPackedStream(state, stream, entry.packedSize, entry.unpackedSize, crc))
            return i;
    }
    return -1;
}
