// Decoding one payload stream straight into its target file.
#pragma once

#include <windows.h>
#include <cstdint>

// Decodes packedSize bytes of packed stream into unpackedSize bytes written to
// file in blocks of up to 1024 bytes, reporting each block written to
// advance. Returns false as soon as a write fails or comes up short
// (a full disk): the file then holds only part of its data. The caller closes
// the file.
bool DecodePackedStream(void (*advance)(uint32_t bytes), HANDLE file, const uint8_t* bytes, uint32_t packedSize,
                        uint32_t unpackedSize);
