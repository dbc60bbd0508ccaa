// The payload's self-check: every packed stream must decode to exactly its
// unpacked size from exactly its packed bytes, and to the CRC-32 that the
// build recorded in the checksum table resource. No Win32 here: the program
// hands in the resources' bytes, and the native tests do the same.
#pragma once

#include <cstdint>

#include "core/config.h"
#include "extract/lzhuf.h"

// The checksum table resource, written by the build: "PVCK", a 32-bit entry
// count, then per file table entry its resource name (16 bytes, NUL-padded)
// and its CRC-32, all little-endian.
#define PORTAVO_CHECKSUM_RESOURCE "CHECKSUMS"

// The CRC-32 that table records for file table entry index, which must carry
// entry's resource name there; false when the table is malformed, too short
// or names another resource at that place.
bool FindRecordedCrc(const uint8_t* table, uint32_t tableSize, int index, const FileEntry& entry,
                     uint32_t* crc);

// Decodes unpackedSize bytes of one stream into a running CRC-32 (nothing is
// written); true when they take exactly packedSize bytes and match crc.
bool CheckPackedStream(DecoderState* state, const uint8_t* bytes, uint32_t packedSize,
                       uint32_t unpackedSize, uint32_t crc);

// The packed stream of a file table entry and its size in bytes; nullptr
// when there is none.
typedef const uint8_t* (*StreamSource)(void* context, const FileEntry& entry, uint32_t* size);

// Checks every entry of product against the checksum table, taking each
// stream from source: it must be exactly the entry's packed size and pass
// CheckPackedStream with the recorded CRC-32. Returns the index of the first
// damaged entry, or -1 when the whole payload is intact.
int FindDamagedEntry(DecoderState* state, const ProductConfig& product, const uint8_t* table,
                     uint32_t tableSize, StreamSource source, void* context);
