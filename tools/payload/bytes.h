// Little helpers shared by the placeholder generators: a byte builder with
// little-endian fields and a small deterministic random source.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

struct Bytes {
    std::vector<uint8_t> v;

    size_t Size() const { return v.size(); }
    void U8(uint32_t x) { v.push_back(static_cast<uint8_t>(x)); }
    void U16(uint32_t x) { U8(x); U8(x >> 8); }
    void U32(uint32_t x) { U16(x); U16(x >> 16); }
    void Text(const std::string& s) { v.insert(v.end(), s.begin(), s.end()); }
    void TextZ(const std::string& s) { Text(s); U8(0); }
    void Wide(const std::string& s) {  // UTF-16LE, ASCII only
        for (char c : s) U16(static_cast<uint8_t>(c));
    }
    void Append(const std::vector<uint8_t>& b) { v.insert(v.end(), b.begin(), b.end()); }
    void Fill(size_t n, uint8_t x) { v.insert(v.end(), n, x); }
    void FillTo(size_t end, uint8_t x) {
        if (v.size() < end) Fill(end - v.size(), x);
    }
    void AlignTo(size_t n, uint8_t x) { Fill((n - v.size() % n) % n, x); }
    void Put32(size_t at, uint32_t x) {  // overwrite a field written earlier
        for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
    }
    void Resize(size_t n) { v.resize(n, 0); }
};

// xorshift64*: small, fast and the same everywhere.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed ? seed : 0x9E3779B97F4A7C15ull) {}
    uint32_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
    bool Chance(uint32_t percent) { return Below(100) < percent; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) { return items[Below(N)]; }
    uint8_t OneOf(std::initializer_list<uint8_t> items) { return items.begin()[Below(static_cast<uint32_t>(items.size()))]; }

private:
    uint64_t state_;
};

// FNV-1a over the name: each file gets its own content.
inline uint64_t SeedFromName(const std::string& name) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (unsigned char c : name) h = (h ^ c) * 0x100000001B3ull;
    return h;
}
