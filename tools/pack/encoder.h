// The packer: the classic LZHUF encoder (4096-byte window, matches of 3 to 60
// bytes, adaptive Huffman tree for literals and lengths, prefix code for the
// upper 6 bits of offsets), producing exactly its bytes without the 4-byte
// size prefix it writes in front. The decoder in extract/lzhuf.cpp reads it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PackStats {
    uint64_t literals = 0;
    uint64_t matches = 0;
    unsigned longestCode = 0;  // bits in the longest literal or length code sent
};

// Packs size bytes of data. Empty input gives an empty stream.
std::vector<uint8_t> PackBytes(const uint8_t* data, size_t size, PackStats* stats = nullptr);

// The coding half of the packer: turns literals and matches into stream bits
// with the adaptive model, most significant bit first. PackBytes decides what
// to send; tests use it to write streams of their choosing.
class StreamCoder {
public:
    StreamCoder();

    void Literal(uint8_t byte);
    // length 3 to 60; offset 0 to 4095 copies from offset + 1 bytes back.
    void Match(unsigned length, unsigned offset);
    // Pads a partial last byte with zero bits and hands over the stream.
    std::vector<uint8_t> Finish();

    const PackStats& Stats() const { return stats_; }

private:
    enum { kSymbols = 314, kNodes = 2 * kSymbols - 1, kRoot = kNodes - 1 };

    void EncodeSymbol(unsigned symbol);
    void Put(uint32_t bits, unsigned count);
    void Update(unsigned symbol);
    void Reconstruct();

    uint16_t freq_[kNodes + 1];
    uint16_t son_[kNodes];
    uint16_t prnt_[kNodes + kSymbols];
    std::vector<uint8_t> out_;
    uint64_t acc_ = 0;
    unsigned accBits_ = 0;
    PackStats stats_;
};

// The prefix code for the upper 6 bits of an offset: its length in bits (3 to
// 8) and its bits, left-aligned in a byte.
unsigned OffsetCodeLength(unsigned upper);
unsigned OffsetCodeBits(unsigned upper);
