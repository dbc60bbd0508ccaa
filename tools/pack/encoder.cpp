// LZHUF encoder. Matches are found with one binary search tree per first byte
// over the 60-byte strings that start at each window position; symbols are
// coded with the same adaptive Huffman model the decoder keeps.
#include "tools/pack/encoder.h"

#include <cstring>
#include <memory>

namespace {

const int N = 4096;        // window size
const int F = 60;          // longest match
const int kThreshold = 2;  // matches this short or shorter are sent as literals
const int NIL = N;         // no node
const unsigned kMaxFrequency = 0x8000;

// The offset prefix code: how many upper values have codes of length 3, 4,
// ... 8. Codes are assigned in order, each taking 2^(8-length) first bytes.
const unsigned kValuesPerLength[6] = {1, 3, 8, 12, 24, 16};

struct OffsetCode {
    uint8_t length[64];
    uint8_t bits[64];
    OffsetCode() {
        unsigned first = 0, value = 0;
        for (unsigned row = 0; row < 6; ++row) {
            for (unsigned n = 0; n < kValuesPerLength[row]; ++n, ++value) {
                length[value] = static_cast<uint8_t>(row + 3);
                bits[value] = static_cast<uint8_t>(first);
                first += 1u << (8 - (row + 3));
            }
        }
    }
};

const OffsetCode kOffsetCode;

// How many of the first F bytes of a and b agree, given that the first
// does; *cmp gets a[i] - b[i] at the first difference (0 if none). Compares
// eight bytes at a time.
int CommonLength(const uint8_t* a, const uint8_t* b, int* cmp) {
    int i = 1;
#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    for (; i + 8 <= F; i += 8) {
        uint64_t x, y;
        memcpy(&x, a + i, 8);
        memcpy(&y, b + i, 8);
        if (x != y) {
            i += __builtin_ctzll(x ^ y) >> 3;
            *cmp = a[i] - b[i];
            return i;
        }
    }
#endif
    for (; i < F; ++i) {
        if ((*cmp = a[i] - b[i]) != 0) return i;
    }
    *cmp = 0;
    return F;
}

// Match finding and the coding loop.
struct Encoder {
    // Window plus a copy of its first F - 1 bytes after the end, so that
    // comparisons never wrap.
    uint8_t text[N + F - 1];
    // Tree links; entries N + 1 + b are the roots, one per first byte b.
    int lson[N + 257], rson[N + 257], dad[N + 257];
    int matchPosition = 0, matchLength = 0;

    void InitTree() {
        for (int i = N + 1; i <= N + 256; ++i) rson[i] = NIL;
        for (int i = 0; i < N; ++i) dad[i] = NIL;
    }

    // Inserts the string at r and leaves the longest match among the strings
    // visited in matchLength and matchPosition (the nearest one on a tie).
    void InsertNode(int r) {
        int cmp = 1;
        const uint8_t* key = &text[r];
        int p = N + 1 + key[0];
        rson[r] = lson[r] = NIL;
        matchLength = 0;
        for (;;) {
            if (cmp >= 0) {
                if (rson[p] == NIL) {
                    rson[p] = r;
                    dad[r] = p;
                    return;
                }
                p = rson[p];
            } else {
                if (lson[p] == NIL) {
                    lson[p] = r;
                    dad[r] = p;
                    return;
                }
                p = lson[p];
            }
            const int i = CommonLength(key, &text[p], &cmp);
            if (i > kThreshold) {
                const int offset = ((r - p) & (N - 1)) - 1;
                if (i > matchLength) {
                    matchPosition = offset;
                    if ((matchLength = i) >= F) break;
                } else if (i == matchLength && offset < matchPosition) {
                    matchPosition = offset;
                }
            }
        }
        // Equal over all F bytes: r takes p's place in the tree.
        dad[r] = dad[p];
        lson[r] = lson[p];
        rson[r] = rson[p];
        dad[lson[p]] = r;
        dad[rson[p]] = r;
        if (rson[dad[p]] == p) {
            rson[dad[p]] = r;
        } else {
            lson[dad[p]] = r;
        }
        dad[p] = NIL;
    }

    void DeleteNode(int p) {
        if (dad[p] == NIL) return;  // not in the tree
        int q;
        if (rson[p] == NIL) {
            q = lson[p];
        } else if (lson[p] == NIL) {
            q = rson[p];
        } else {
            q = lson[p];
            if (rson[q] != NIL) {
                do {
                    q = rson[q];
                } while (rson[q] != NIL);
                rson[dad[q]] = lson[q];
                dad[lson[q]] = dad[q];
                lson[q] = lson[p];
                dad[lson[p]] = q;
            }
            rson[q] = rson[p];
            dad[rson[p]] = q;
        }
        dad[q] = dad[p];
        if (rson[dad[p]] == p) {
            rson[dad[p]] = q;
        } else {
            lson[dad[p]] = q;
        }
        dad[p] = NIL;
    }

    void Encode(const uint8_t* data, size_t size, StreamCoder& out) {
        size_t next = 0;  // next input byte
        InitTree();
        memset(text, 0, sizeof text);
        int s = 0;
        int r = N - F;
        memset(text, ' ', r);
        int len = 0;
        while (len < F && next < size) text[r + len++] = data[next++];
        for (int i = 1; i <= F; ++i) InsertNode(r - i);
        InsertNode(r);
        do {
            if (matchLength > len) matchLength = len;
            if (matchLength <= kThreshold) {
                matchLength = 1;
                out.Literal(text[r]);
            } else {
                out.Match(matchLength, matchPosition);
            }
            const int lastMatchLength = matchLength;
            int i;
            for (i = 0; i < lastMatchLength && next < size; ++i) {
                const uint8_t c = data[next++];
                DeleteNode(s);
                text[s] = c;
                if (s < F - 1) text[s + N] = c;
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                InsertNode(r);
            }
            while (i++ < lastMatchLength) {
                DeleteNode(s);
                s = (s + 1) & (N - 1);
                r = (r + 1) & (N - 1);
                if (--len) InsertNode(r);
            }
        } while (len > 0);
    }
};

}  // namespace

StreamCoder::StreamCoder() {
    for (unsigned i = 0; i < kSymbols; ++i) {
        freq_[i] = 1;
        son_[i] = static_cast<uint16_t>(i + kNodes);
        prnt_[i + kNodes] = static_cast<uint16_t>(i);
    }
    unsigned i = 0;
    for (unsigned j = kSymbols; j <= kRoot; ++j, i += 2) {
        freq_[j] = static_cast<uint16_t>(freq_[i] + freq_[i + 1]);
        son_[j] = static_cast<uint16_t>(i);
        prnt_[i] = prnt_[i + 1] = static_cast<uint16_t>(j);
    }
    freq_[kNodes] = 0xFFFF;
    prnt_[kRoot] = 0;
}

void StreamCoder::Literal(uint8_t byte) {
    EncodeSymbol(byte);
    ++stats_.literals;
}

void StreamCoder::Match(unsigned length, unsigned offset) {
    EncodeSymbol(255 - kThreshold + length);
    const unsigned upper = offset >> 6;
    const unsigned codeLength = kOffsetCode.length[upper];
    Put(kOffsetCode.bits[upper] >> (8 - codeLength), codeLength);
    Put(offset & 0x3F, 6);
    ++stats_.matches;
}

std::vector<uint8_t> StreamCoder::Finish() {
    if (accBits_ > 0) out_.push_back(static_cast<uint8_t>(acc_ << (8 - accBits_)));
    accBits_ = 0;
    return std::move(out_);
}

void StreamCoder::Put(uint32_t bits, unsigned count) {
    acc_ = (acc_ << count) | (bits & ((uint64_t(1) << count) - 1));
    accBits_ += count;
    while (accBits_ >= 8) {
        accBits_ -= 8;
        out_.push_back(static_cast<uint8_t>(acc_ >> accBits_));
    }
}

// Sends the path from the root to the symbol's leaf (a node's bit is 1 when
// its index is odd), then counts the symbol. Paths longer than 16 bits are
// sent whole.
void StreamCoder::EncodeSymbol(unsigned symbol) {
    uint8_t path[kNodes];
    unsigned depth = 0;
    unsigned k = prnt_[symbol + kNodes];
    do {
        path[depth++] = static_cast<uint8_t>(k & 1);
    } while ((k = prnt_[k]) != kRoot);
    if (depth > stats_.longestCode) stats_.longestCode = depth;
    unsigned t = depth;
    while (t > 0) {
        const unsigned chunk = t < 16 ? t : 16;
        uint32_t bits = 0;
        for (unsigned n = 0; n < chunk; ++n) bits = (bits << 1) | path[--t];
        Put(bits, chunk);
    }
    Update(symbol);
}

void StreamCoder::Reconstruct() {
    unsigned j = 0;
    for (unsigned i = 0; i < kNodes; ++i) {
        if (son_[i] >= kNodes) {
            freq_[j] = static_cast<uint16_t>((freq_[i] + 1u) / 2);
            son_[j] = son_[i];
            ++j;
        }
    }
    unsigned i = 0;
    for (j = kSymbols; j < kNodes; ++j, i += 2) {
        const unsigned f = freq_[i] + freq_[i + 1];
        unsigned k = j;
        while (f < freq_[k - 1]) --k;
        memmove(&freq_[k + 1], &freq_[k], (j - k) * sizeof freq_[0]);
        memmove(&son_[k + 1], &son_[k], (j - k) * sizeof son_[0]);
        freq_[k] = static_cast<uint16_t>(f);
        son_[k] = static_cast<uint16_t>(i);
    }
    for (i = 0; i < kNodes; ++i) {
        const unsigned k = son_[i];
        if (k >= kNodes) {
            prnt_[k] = static_cast<uint16_t>(i);
        } else {
            prnt_[k] = prnt_[k + 1] = static_cast<uint16_t>(i);
        }
    }
}

void StreamCoder::Update(unsigned symbol) {
    if (freq_[kRoot] == kMaxFrequency) Reconstruct();
    unsigned c = prnt_[symbol + kNodes];
    do {
        const unsigned k = ++freq_[c];
        if (k > freq_[c + 1]) {
            unsigned l = c + 1;
            while (k > freq_[l + 1]) ++l;
            freq_[c] = freq_[l];
            freq_[l] = static_cast<uint16_t>(k);
            const unsigned i = son_[c];
            prnt_[i] = static_cast<uint16_t>(l);
            if (i < kNodes) prnt_[i + 1] = static_cast<uint16_t>(l);
            const unsigned j = son_[l];
            son_[l] = static_cast<uint16_t>(i);
            prnt_[j] = static_cast<uint16_t>(c);
            if (j < kNodes) prnt_[j + 1] = static_cast<uint16_t>(c);
            son_[c] = static_cast<uint16_t>(j);
            c = l;
        }
        c = prnt_[c];
    } while (c != 0);
}

std::vector<uint8_t> PackBytes(const uint8_t* data, size_t size, PackStats* stats) {
    StreamCoder coder;
    if (size > 0) {
        std::unique_ptr<Encoder> encoder(new Encoder());
        encoder->Encode(data, size, coder);
    }
    if (stats) *stats = coder.Stats();
    return coder.Finish();
}

unsigned OffsetCodeLength(unsigned upper) { return kOffsetCode.length[upper & 63]; }

unsigned OffsetCodeBits(unsigned upper) { return kOffsetCode.bits[upper & 63]; }
