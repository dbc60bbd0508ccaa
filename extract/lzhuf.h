// Decoder for the packed streams that carry the payload: LZSS over a 4096-byte
// window, literals and match lengths coded with an adaptive Huffman tree,
// match offsets with a fixed prefix code for their upper 6 bits. No platform
// calls and no allocation: the state is one plain struct and decoded bytes
// are handed to a sink in blocks.
#pragma once

#include <cstddef>
#include <cstdint>

enum {
    kWindowSize = 4096,
    kLongestMatch = 60,
    kThreshold = 2,
    kSymbolCount = 256 + kLongestMatch - kThreshold,  // 314
    kNodeCount = 2 * kSymbolCount - 1,                // 627
    kRoot = kNodeCount - 1,                           // 626
    kRebuildLimit = 0x8000,
    kInitialWritePosition = kWindowSize - kLongestMatch,  // 4036
    kOutputBlock = 1024,
};

// Receives each full output block and the final partial one. Returning false
// stops decoding at once (the file could not take the bytes).
typedef bool (*BlockSink)(void* context, const uint8_t* block, uint32_t count);

struct DecoderState {
    uint16_t frequency[kNodeCount + 1];  // the last entry is a 0xFFFF sentinel
    uint16_t child[kNodeCount];
    uint16_t parent[kNodeCount + kSymbolCount];
    uint8_t window[kWindowSize];
    uint8_t block[kOutputBlock];
};

// Decodes one stream of packedSize bytes into exactly unpackedSize bytes,
// delivered to sink in blocks of kOutputBlock (the last one may be shorter).
// Input past packedSize reads as zero bytes; nothing is read or written out of
// bounds whatever the input. Returns false only when the sink refused a block.
bool DecodeStream(DecoderState* state, const uint8_t* input, uint32_t packedSize,
                  uint32_t unpackedSize, BlockSink sink, void* context);
