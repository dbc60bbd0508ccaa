// The checksum table: one more RCDATA resource of setup.exe that records the
// CRC-32 of every payload file as the build packed it, so that a built
// setup.exe can be checked without running it; setup.exe checks itself
// against it before it starts (extract/payload_check.h reads it there).
//
// Layout, little-endian: the four bytes "PVCK", a 32-bit entry count, then per
// file table entry, in table order, its resource name (16 bytes, NUL-padded)
// and the CRC-32 (the common zlib/PNG one) of its unpacked bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "extract/crc32.h"
#include "extract/payload_check.h"

struct FileChecksum {
    std::string resourceName;
    uint32_t crc;
};

// The resource bytes for a table; names longer than 15 characters are cut.
std::vector<uint8_t> ChecksumTable(const std::vector<FileChecksum>& entries);

// Reads a table; false with a reason when the bytes are not one.
bool ParseChecksumTable(const uint8_t* data, size_t size, std::vector<FileChecksum>* entries, std::string* why);
