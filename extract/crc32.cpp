#include "extract/crc32.h"

namespace {

// Built on first use rather than stored: 1 KB less in setup.exe.
uint32_t s_table[256];

void BuildTable() {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        s_table[i] = c;
    }
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
    if (s_table[1] == 0) BuildTable();
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) crc = s_table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}
