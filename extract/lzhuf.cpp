// Packed stream decoder. The model, the offset code and the window behave
// exactly as the stream format requires; the speed comes from how the work is
// laid out:
// - a native-width bit buffer refilled a whole word at a time;
// - the positions kept in locals (byte stores into the window would otherwise
//   force them back to memory after every byte);
// - the tree walked two levels per lookup through the grandchild table,
//   taking two bits per step with one check that they are buffered;
// - the counts updated along the path just walked, so that the nodes to count
//   are known in advance, until the first exchange sends the climb elsewhere;
// - a zero count after the root while decoding, so that one test per level
//   both keeps the counts in order and stops the climb at the root;
// - the node to exchange with found eight counts at a time;
// - offsets read in one go, matches copied eight bytes at a time when they
//   neither wrap the window nor cross an output block.
#include "extract/lzhuf.h"

#include <string.h>

#if defined(__SSE2__) && !defined(PORTAVO_LZHUF_PORTABLE)
#include <emmintrin.h>
#define LZHUF_SSE2 1
#endif

#if defined(__GNUC__)
#define LZHUF_INLINE inline __attribute__((always_inline))
#else
#define LZHUF_INLINE inline
#endif

namespace {

// PORTAVO_LZHUF_PORTABLE builds what a 32-bit target without SSE2 runs, so
// that those paths can be tested on a 64-bit host.
#if defined(PORTAVO_LZHUF_PORTABLE)
typedef uint32_t BitWord;
#else
typedef uintptr_t BitWord;
#endif
const unsigned kWordBits = sizeof(BitWord) * 8;
const unsigned kWindowMask = kWindowSize - 1;
const unsigned kParentScratch = kNodeCount + kSymbolCount;
// The count after the root while a stream is decoded: below every count, so
// that the climb that counts a symbol stops at the root (see CountUpFrom).
const uint16_t kStopCount = 0;

// The offset prefix code: the first byte read for an offset gives the upper 6
// bits of the offset and the length of the code that carries them. Codes are
// 3 to 8 bits long, assigned in order; a code of length L spans 2^(8-L) first
// bytes.
struct OffsetTables {
    uint8_t upper[256];
    uint8_t codeLength[256];
};

constexpr OffsetTables MakeOffsetTables() {
    OffsetTables t = {};
    const unsigned valuesPerLength[6] = {1, 3, 8, 12, 24, 16};  // lengths 3..8
    unsigned first = 0;
    unsigned value = 0;
    for (unsigned row = 0; row < 6; ++row) {
        const unsigned length = row + 3;
        for (unsigned n = 0; n < valuesPerLength[row]; ++n, ++value) {
            for (unsigned k = 0; k < (1u << (8 - length)); ++k, ++first) {
                t.upper[first] = static_cast<uint8_t>(value);
                t.codeLength[first] = static_cast<uint8_t>(length);
            }
        }
    }
    return t;
}

constexpr OffsetTables kOffsetTables = MakeOffsetTables();

// The hot part of the state, kept in locals while a stream is decoded.
struct Cursor {
    BitWord bits;    // unread bits, left-aligned; below `count` they are either
                     // zero or the true bits of the next input bytes
    unsigned count;  // valid bits on top of `bits`
    const uint8_t* input;
    uint32_t inputRemaining;
    uint32_t inputOverrun;  // zero bytes read past the packed size
    uint32_t outputRemaining;
    unsigned writePosition;
    unsigned blockFill;
};

// ---- bit input ----

#if defined(__GNUC__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
LZHUF_INLINE BitWord ByteSwap(BitWord v) {
    if (sizeof v == 8) return static_cast<BitWord>(__builtin_bswap64(v));
    return static_cast<BitWord>(__builtin_bswap32(static_cast<uint32_t>(v)));
}
#define LZHUF_SWAP_LOAD 1
#endif

// The word at p, first byte most significant.
LZHUF_INLINE BitWord LoadBigEndian(const uint8_t* p) {
#if defined(LZHUF_SWAP_LOAD)
    BitWord word;
    memcpy(&word, p, sizeof word);
    return ByteSwap(word);
#else
    BitWord word = 0;
    for (unsigned i = 0; i < sizeof word; ++i) word = (word << 8) | p[i];
    return word;
#endif
}

// Next byte of the stream; past the packed size the stream reads as zeros.
LZHUF_INLINE unsigned NextInputByte(Cursor& cur) {
    if (cur.inputRemaining == 0) {
        ++cur.inputOverrun;
        return 0;
    }
    --cur.inputRemaining;
    return *cur.input++;
}

void RefillSlow(Cursor& cur) {
    while (cur.count <= kWordBits - 8) {
        cur.bits |= static_cast<BitWord>(NextInputByte(cur)) << (kWordBits - 8 - cur.count);
        cur.count += 8;
    }
}

// Tops the bit buffer up to at least kWordBits - 7 bits. With a whole word of
// input left it loads that word and keeps the bytes that fit entirely; the
// partial byte it also ORs in is the true next byte, so taking it again later
// changes nothing. Near the end it goes byte by byte.
LZHUF_INLINE void Refill(Cursor& cur) {
    if (cur.inputRemaining >= sizeof(BitWord)) {
        cur.bits |= LoadBigEndian(cur.input) >> cur.count;
        const unsigned taken = (kWordBits - 1 - cur.count) >> 3;
        cur.input += taken;
        cur.inputRemaining -= taken;
        cur.count += taken * 8;
    } else {
        RefillSlow(cur);
    }
}

// The next n bits (n at most 14) as a number, first bit most significant.
LZHUF_INLINE unsigned ReadBits(Cursor& cur, unsigned n) {
    if (cur.count < n) Refill(cur);
    const unsigned value = static_cast<unsigned>(cur.bits >> 1 >> (kWordBits - 1 - n));
    cur.bits <<= n;
    cur.count -= n;
    return value;
}

// ---- the adaptive Huffman model ----

// Fills the grandchild table from the child table.
void LinkGrandchildren(DecoderState* s) {
    for (unsigned i = 0; i < kNodeCount; ++i) {
        const unsigned c = s->child[i];
        const bool internal = c < kNodeCount;
        s->grandchild[2 * i] = internal ? s->child[c] : 0;
        s->grandchild[2 * i + 1] = internal ? s->child[c + 1] : 0;
    }
}

void InitModel(DecoderState* s) {
    for (unsigned i = 0; i < kSymbolCount; ++i) {
        s->frequency[i] = 1;
        s->child[i] = static_cast<uint16_t>(i + kNodeCount);
        s->parent[i + kNodeCount] = static_cast<uint16_t>(i);
    }
    unsigned i = 0;
    for (unsigned j = kSymbolCount; j <= kRoot; ++j, i += 2) {
        s->frequency[j] = static_cast<uint16_t>(s->frequency[i] + s->frequency[i + 1]);
        s->child[j] = static_cast<uint16_t>(i);
        s->parent[i] = s->parent[i + 1] = static_cast<uint16_t>(j);
    }
    s->frequency[kNodeCount] = kStopCount;
    for (unsigned k = kNodeCount + 1; k < kNodeCount + 8; ++k) s->frequency[k] = 0xFFFF;
    s->parent[kRoot] = 0;
    LinkGrandchildren(s);
}

// Halves every leaf's count (rounding up) and builds the tree anew: pairs of
// the lowest nodes, each sum inserted after every node of the same count.
void RebuildTree(DecoderState* s) {
    uint16_t* const frequency = s->frequency;
    uint16_t* const child = s->child;
    unsigned j = 0;
    for (unsigned i = 0; i < kNodeCount; ++i) {
        if (child[i] >= kNodeCount) {
            frequency[j] = static_cast<uint16_t>((frequency[i] + 1u) / 2);
            child[j] = child[i];
            ++j;
        }
    }
    unsigned i = 0;
    for (j = kSymbolCount; j < kNodeCount; ++j, i += 2) {
        const unsigned f = frequency[i] + frequency[i + 1];
        unsigned k = j;
        while (f < frequency[k - 1]) --k;
        memmove(&frequency[k + 1], &frequency[k], (j - k) * sizeof frequency[0]);
        memmove(&child[k + 1], &child[k], (j - k) * sizeof child[0]);
        frequency[k] = static_cast<uint16_t>(f);
        child[k] = static_cast<uint16_t>(i);
    }
    for (i = 0; i < kNodeCount; ++i) {
        const unsigned k = child[i];
        if (k >= kNodeCount) {
            s->parent[k] = static_cast<uint16_t>(i);
        } else {
            s->parent[k] = s->parent[k + 1] = static_cast<uint16_t>(i);
        }
    }
    LinkGrandchildren(s);
}

// Node c, below the root, has just risen to count k, above the count of node
// c + 1. Returns the last node whose count is still below k: the one c changes
// places with. The root, not yet counted, is at least k and stops the search:
// the count after it is never reached.
LZHUF_INLINE unsigned FindExchangeNode(const uint16_t* frequency, unsigned c, unsigned k) {
#if defined(LZHUF_SSE2)
    const __m128i limit = _mm_set1_epi16(static_cast<short>(k));
    const __m128i zero = _mm_setzero_si128();
    for (unsigned m = c + 2;; m += 8) {
        const __m128i counts = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&frequency[m]));
        // k - count saturates to 0 exactly where count >= k.
        const __m128i reached = _mm_cmpeq_epi16(_mm_subs_epu16(limit, counts), zero);
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(reached));
        if (mask) return m + (static_cast<unsigned>(__builtin_ctz(mask)) >> 1) - 1;
    }
#else
    unsigned l = c + 1;
    while (k > frequency[l + 1]) ++l;
    return l;
#endif
}

// Exchanges the subtrees at nodes c and l (count k goes to l) and keeps the
// grandchild table in step. A leaf has no second child; its would-be parent
// entry goes to the scratch entry instead of a branch.
LZHUF_INLINE void ExchangeNodes(DecoderState* s, unsigned c, unsigned l, unsigned k) {
    uint16_t* const frequency = s->frequency;
    uint16_t* const child = s->child;
    uint16_t* const parent = s->parent;
    uint16_t* const grand = s->grandchild;
    frequency[c] = frequency[l];
    frequency[l] = static_cast<uint16_t>(k);
    const unsigned i = child[c];
    const unsigned j = child[l];
    child[l] = static_cast<uint16_t>(i);
    child[c] = static_cast<uint16_t>(j);
    parent[i] = static_cast<uint16_t>(l);
    parent[i < kNodeCount ? i + 1 : kParentScratch] = static_cast<uint16_t>(l);
    parent[j] = static_cast<uint16_t>(c);
    parent[j < kNodeCount ? j + 1 : kParentScratch] = static_cast<uint16_t>(c);
    // Grandchildren travel with their subtrees...
    uint32_t pairC, pairL;
    memcpy(&pairC, &grand[2 * c], sizeof pairC);
    memcpy(&pairL, &grand[2 * l], sizeof pairL);
    memcpy(&grand[2 * c], &pairL, sizeof pairL);
    memcpy(&grand[2 * l], &pairC, sizeof pairC);
    // ...and the parents of c and l see new grandchildren. Children come in
    // pairs that start at even nodes, so a node's place in its pair is its
    // lowest bit.
    grand[2 * parent[c] + (c & 1)] = static_cast<uint16_t>(j);
    grand[2 * parent[l] + (l & 1)] = static_cast<uint16_t>(i);
}

// Node c has just risen to count k, above the count of node c + 1. Restores
// the order of the counts and counts the nodes above c: while c is not the
// root, it changes places with the last node of count k - 1, and the count
// goes on up from there. The zero after the root (kStopCount) makes the root
// fail the order test, so that test alone finds both the next exchange and
// the end.
LZHUF_INLINE void CountUpFrom(DecoderState* s, unsigned c, unsigned k) {
    uint16_t* const frequency = s->frequency;
    const uint16_t* const parent = s->parent;
    while (c != kRoot) {
        const unsigned l = FindExchangeNode(frequency, c, k);
        ExchangeNodes(s, c, l, k);
        c = l;
        do {
            c = parent[c];
            k = ++frequency[c];
        } while (k <= frequency[c + 1]);
    }
}

// Counts one more occurrence of symbol, rebuilding the tree first when the
// counts have grown too large.
void UpdateModel(DecoderState* s, unsigned symbol) {
    uint16_t* const frequency = s->frequency;
    if (frequency[kRoot] == kRebuildLimit) RebuildTree(s);
    unsigned c = s->parent[symbol + kNodeCount];
    unsigned k = ++frequency[c];
    while (k <= frequency[c + 1]) {
        c = s->parent[c];
        k = ++frequency[c];
    }
    CountUpFrom(s, c, k);
}

// UpdateModel for a symbol whose path was just walked (path[0] is the root,
// path[depth - 1] the leaf) and no rebuild is due. Until the first exchange
// the nodes to count are the path's, known without a lookup each.
LZHUF_INLINE void UpdateAlongPath(DecoderState* s, const uint16_t* path, int depth) {
    uint16_t* const frequency = s->frequency;
    int i = depth;
    unsigned c, k;
    do {
        c = path[--i];
        k = ++frequency[c];
    } while (k <= frequency[c + 1]);
    CountUpFrom(s, c, k);
}

// Walks from the root to a leaf, a 0 bit taking the first child and a 1 bit
// the second, noting the nodes passed (the root first), then updates the
// model.
LZHUF_INLINE unsigned DecodeSymbol(DecoderState* s, Cursor& cur) {
    const uint16_t* const child = s->child;
    const uint16_t* const grand = s->grandchild;
    uint16_t path[kNodeCount];
    path[0] = kRoot;
    int depth = 1;
    unsigned c = child[kRoot];
    for (;;) {
        // The next two bits; the second is taken only when the first leads
        // to an internal node.
        if (cur.count < 2) Refill(cur);
        const unsigned two = static_cast<unsigned>(cur.bits >> (kWordBits - 2));
        const unsigned first = c + (two >> 1);
        path[depth++] = static_cast<uint16_t>(first);
        const unsigned below = child[first];
        if (below >= kNodeCount) {
            cur.bits <<= 1;
            --cur.count;
            c = below;
            break;
        }
        cur.bits <<= 2;
        cur.count -= 2;
        path[depth++] = static_cast<uint16_t>(below + (two & 1));
        c = grand[2 * c + two];  // 2 * first + the second bit
        if (c >= kNodeCount) break;
    }
    const unsigned symbol = c - kNodeCount;
    if (s->frequency[kRoot] == kRebuildLimit) {
        UpdateModel(s, symbol);
    } else {
        UpdateAlongPath(s, path, depth);
    }
    return symbol;
}

// The first byte gives the upper 6 bits and how many more bits follow; the
// lower 6 bits are the low bits of the first byte and those further bits.
// The byte and the further bits are taken in one read.
LZHUF_INLINE unsigned DecodeOffset(Cursor& cur) {
    if (cur.count < 14) Refill(cur);
    const unsigned b = static_cast<unsigned>(cur.bits >> (kWordBits - 8));
    const unsigned code = ReadBits(cur, kOffsetTables.codeLength[b] + 6u);
    return (static_cast<unsigned>(kOffsetTables.upper[b]) << 6) | (code & 0x3F);
}

// ---- output ----

// Hands the filled part of the block to the sink; false when it refused.
bool FlushBlock(DecoderState* s, Cursor& cur, BlockSink sink, void* context) {
    const bool accepted = sink(context, s->block, cur.blockFill);
    cur.blockFill = 0;
    return accepted;
}

// Appends one decoded byte to the output block and the window.
LZHUF_INLINE bool PutOutputByte(DecoderState* s, Cursor& cur, unsigned byte, BlockSink sink,
                                void* context) {
    s->block[cur.blockFill++] = static_cast<uint8_t>(byte);
    s->window[cur.writePosition] = static_cast<uint8_t>(byte);
    cur.writePosition = (cur.writePosition + 1) & kWindowMask;
    --cur.outputRemaining;
    if (cur.blockFill == kOutputBlock) return FlushBlock(s, cur, sink, context);
    return true;
}

bool FlushOutput(DecoderState* s, Cursor& cur, BlockSink sink, void* context) {
    if (cur.blockFill == 0) return true;
    return FlushBlock(s, cur, sink, context);
}

// Copies length bytes from window position start as if byte by byte, so that
// a match may overlap the bytes it produces. length never exceeds the bytes
// still to produce.
LZHUF_INLINE bool CopyMatch(DecoderState* s, Cursor& cur, unsigned start, unsigned length,
                            BlockSink sink, void* context) {
    const unsigned to = cur.writePosition;
    if (start + length <= kWindowSize && to + length <= kWindowSize &&
        cur.blockFill + length <= kOutputBlock) {
        uint8_t* const window = s->window;
        uint8_t* const out = s->block + cur.blockFill;
        const unsigned distance = (to - start) & kWindowMask;  // 0 means 4096
        if (length >= 8 && distance - 8 <= kWindowSize - 16) {  // 8 to 4088
            // Eight bytes at a time, the last eight overlapping the previous
            // ones. With the source at least eight bytes behind, every chunk
            // reads bytes that are already final; with it at least eight
            // ahead, bytes that are not yet overwritten.
            for (unsigned k = 0;; k += 8) {
                if (k + 8 > length) k = length - 8;
                uint64_t chunk;
                memcpy(&chunk, window + start + k, 8);
                memcpy(window + to + k, &chunk, 8);
                memcpy(out + k, &chunk, 8);
                if (k + 8 == length) break;
            }
        } else {
            for (unsigned k = 0; k < length; ++k) {
                const uint8_t byte = window[start + k];
                window[to + k] = byte;
                out[k] = byte;
            }
        }
        cur.writePosition = (to + length) & kWindowMask;
        cur.blockFill += length;
        cur.outputRemaining -= length;
        if (cur.blockFill == kOutputBlock) return FlushBlock(s, cur, sink, context);
        return true;
    }
    for (unsigned k = 0; k < length; ++k) {
        if (!PutOutputByte(s, cur, s->window[(start + k) & kWindowMask], sink, context)) return false;
    }
    return true;
}

}  // namespace

bool DecodeStream(DecoderState* state, const uint8_t* input, uint32_t packedSize,
                  uint32_t unpackedSize, BlockSink sink, void* context) {
    Cursor cur;
    cur.bits = 0;
    cur.count = 0;
    cur.input = input;
    cur.inputRemaining = packedSize;
    cur.inputOverrun = 0;
    cur.outputRemaining = unpackedSize;
    cur.writePosition = kInitialWritePosition;
    cur.blockFill = 0;

    InitModel(state);
    // A well-formed stream never reads the window before it is written past
    // the spaces; a damaged one may, and then reads zeros rather than the
    // previous stream's bytes.
    memset(state->window, ' ', kInitialWritePosition);
    memset(state->window + kInitialWritePosition, 0, kWindowSize - kInitialWritePosition);

    bool ok = true;
    while (ok && cur.outputRemaining > 0) {
        const unsigned c = DecodeSymbol(state, cur);
        if (c < 256) {
            ok = PutOutputByte(state, cur, c, sink, context);
        } else {
            const unsigned start = (cur.writePosition - DecodeOffset(cur) - 1) & kWindowMask;
            unsigned length = c - (256 - kThreshold - 1);  // 3 to 60
            if (length > cur.outputRemaining) length = cur.outputRemaining;
            ok = CopyMatch(state, cur, start, length, sink, context);
        }
    }
    if (ok) ok = FlushOutput(state, cur, sink, context);

    state->bitBuffer = cur.bits;
    state->bitCount = cur.count;
    state->inputPosition = cur.input;
    state->inputRemaining = cur.inputRemaining;
    state->inputOverrun = cur.inputOverrun;
    state->outputRemaining = cur.outputRemaining;
    state->writePosition = cur.writePosition;
    state->blockFill = cur.blockFill;
    return ok;
}

uint64_t BitsTaken(const DecoderState* state, uint32_t packedSize) {
    const uint64_t loaded = 8ull * (packedSize - state->inputRemaining + state->inputOverrun);
    return loaded - state->bitCount;
}
