// CRC-32 as zlib and PNG compute it (reflected polynomial 0xEDB88320), which
// the build records for every payload file.
#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 of data, continuing from crc (0 to start).
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);
