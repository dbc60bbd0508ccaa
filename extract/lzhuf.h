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
    // The adaptive Huffman tree. Node i counts frequency[i]; an internal node's
    // children are child[i] and child[i] + 1, a leaf's child is its symbol plus
    // kNodeCount. parent[i] is the parent of node i, parent[kNodeCount + s]
    // the leaf that holds symbol s.
    uint16_t frequency[kNodeCount + 8];  // [kNodeCount] is 0, which ends the climb
                                         // at the root; the rest 0xFFFF padding for
                                         // reading eight counts at once
    uint16_t child[kNodeCount];
    uint16_t parent[kNodeCount + kSymbolCount + 1];  // plus one scratch entry
    // grandchild[2 * i + b] is child[child[i] + b] for every internal node i:
    // the tree is walked two levels per lookup.
    uint16_t grandchild[2 * kNodeCount];
    uint8_t window[kWindowSize];  // the last 4096 output bytes
    uint8_t block[kOutputBlock];  // output not yet handed to the sink
    // Where the last DecodeStream stopped. While decoding these live in
    // locals; they are stored back when it returns.
    uintptr_t bitBuffer;           // unread bits, left-aligned, next bit on top
    uint32_t bitCount;             // valid bits in bitBuffer
    const uint8_t* inputPosition;  // next byte not yet taken into bitBuffer
    uint32_t inputRemaining;       // bytes left of the packed size
    uint32_t inputOverrun;         // zero bytes read past the packed size
    uint32_t outputRemaining;      // bytes still to produce
    uint32_t writePosition;        // next window position to write
    uint32_t blockFill;            // bytes in block not yet handed to the sink
};

// Decodes one stream of packedSize bytes into exactly unpackedSize bytes,
// delivered to sink in blocks of kOutputBlock (the last one may be shorter).
// Input past packedSize reads as zero bytes; nothing is read or written out of
// bounds whatever the input. Returns false only when the sink refused a block.
bool DecodeStream(DecoderState* state, const uint8_t* input, uint32_t packedSize,
                  uint32_t unpackedSize, BlockSink sink, void* context);

// After DecodeStream on packedSize bytes: the bits of input the stream took,
// counting those read past the packed size as zeros. A whole stream takes
// more than 8 * (packedSize - 1) bits and at most 8 * packedSize.
uint64_t BitsTaken(const DecoderState* state, uint32_t packedSize);
