// Baseline decoder: one step of the description per line, 16-bit bit buffer
// refilled a byte at a time, every byte through PutOutputByte.
#include "tools/pack/baseline_decoder.h"

#include <cstring>

namespace {

struct Baseline {
    uint16_t frequency[628];
    uint16_t child[627];
    uint16_t parent[941];
    uint8_t window[4096];
    unsigned writePosition;
    uint16_t bitBuffer;
    uint16_t bitCount;
    const uint8_t* inputPosition;
    uint32_t inputRemaining;
    int32_t outputRemaining;
    uint8_t block[1024];
    unsigned blockFill;
    BlockSink sink;
    void* context;
    bool failed;
};

Baseline g;

// Upper 6 bits and code length for each first byte of an offset.
uint8_t g_upper[256];
uint8_t g_codeLength[256];

void BuildOffsetTables() {
    // first byte, last byte, first upper value, bytes per upper value, code length
    static const unsigned rows[6][5] = {
        {0x00, 0x1F, 0, 32, 3},  {0x20, 0x4F, 1, 16, 4}, {0x50, 0x8F, 4, 8, 5},
        {0x90, 0xBF, 12, 4, 6},  {0xC0, 0xEF, 24, 2, 7}, {0xF0, 0xFF, 48, 1, 8},
    };
    for (const auto& row : rows) {
        for (unsigned b = row[0]; b <= row[1]; ++b) {
            g_upper[b] = static_cast<uint8_t>(row[2] + (b - row[0]) / row[3]);
            g_codeLength[b] = static_cast<uint8_t>(row[4]);
        }
    }
}

void InitModel() {
    for (int s = 0; s <= 313; s++) {
        g.frequency[s] = 1;
        g.child[s] = s + 627;
        g.parent[s + 627] = s;
    }
    int i = 0;
    for (int j = 314; j <= 626; j++) {
        g.frequency[j] = g.frequency[i] + g.frequency[i + 1];
        g.child[j] = i;
        g.parent[i] = g.parent[i + 1] = j;
        i = i + 2;
    }
    g.frequency[627] = 0xFFFF;
    g.parent[626] = 0;
}

void RebuildTree() {
    int j = 0;
    for (int i = 0; i <= 626; i++) {
        if (g.child[i] >= 627) {
            g.frequency[j] = (g.frequency[i] + 1) / 2;
            g.child[j] = g.child[i];
            j = j + 1;
        }
    }
    int i = 0;
    for (j = 314; j <= 626; j++) {
        unsigned f = g.frequency[i] + g.frequency[i + 1];
        int k = j;
        while (f < g.frequency[k - 1]) k = k - 1;
        for (int m = j - 1; m >= k; m--) {
            g.frequency[m + 1] = g.frequency[m];
            g.child[m + 1] = g.child[m];
        }
        g.frequency[k] = f;
        g.child[k] = i;
        i = i + 2;
    }
    for (i = 0; i <= 626; i++) {
        int k = g.child[i];
        if (k >= 627) {
            g.parent[k] = i;
        } else {
            g.parent[k] = g.parent[k + 1] = i;
        }
    }
}

void UpdateModel(int symbol) {
    if (g.frequency[626] == 0x8000) RebuildTree();
    int c = g.parent[symbol + 627];
    do {
        g.frequency[c] = g.frequency[c] + 1;
        uint16_t k = g.frequency[c];
        if (k > g.frequency[c + 1]) {
            int l = c + 1;
            while (k > g.frequency[l + 1]) l++;
            g.frequency[c] = g.frequency[l];
            g.frequency[l] = k;
            int i = g.child[c];
            g.parent[i] = l;
            if (i < 627) g.parent[i + 1] = l;
            int j = g.child[l];
            g.child[l] = i;
            g.parent[j] = c;
            if (j < 627) g.parent[j + 1] = c;
            g.child[c] = j;
            c = l;
        }
        c = g.parent[c];
    } while (c != 0);
}

// Returns false at the end of the input; *byte is then 0.
bool NextInputByte(unsigned* byte) {
    if (g.inputRemaining == 0) {
        *byte = 0;
        return false;
    }
    g.inputRemaining--;
    *byte = *g.inputPosition++;
    return true;
}

void Refill() {
    while (g.bitCount <= 8) {
        unsigned byte;
        NextInputByte(&byte);
        g.bitBuffer |= byte << (8 - g.bitCount);
        g.bitCount += 8;
    }
}

int ReadBit() {
    Refill();
    int bit = (g.bitBuffer >> 15) & 1;
    g.bitBuffer = static_cast<uint16_t>(g.bitBuffer << 1);
    g.bitCount--;
    return bit;
}

int ReadByte() {
    Refill();
    int byte = g.bitBuffer >> 8;
    g.bitBuffer = static_cast<uint16_t>(g.bitBuffer << 8);
    g.bitCount -= 8;
    return byte;
}

int DecodeSymbol() {
    int c = g.child[626];
    while (c < 627) c = g.child[c + ReadBit()];
    int symbol = c - 627;
    UpdateModel(symbol);
    return symbol;
}

int DecodeOffset() {
    int b = ReadByte();
    int upper = g_upper[b];
    int n = g_codeLength[b] - 2;
    for (int m = 0; m < n; m++) b = (b * 2) + ReadBit();
    return (upper * 64) + (b % 64);
}

void PutOutputByte(uint8_t b) {
    g.block[g.blockFill] = b;
    g.blockFill++;
    g.outputRemaining--;
    if (g.blockFill == 1024) {
        if (!g.failed && !g.sink(g.context, g.block, 1024)) g.failed = true;
        g.blockFill = 0;
    }
}

void FlushOutput() {
    if (g.blockFill != 0) {
        if (!g.failed && !g.sink(g.context, g.block, g.blockFill)) g.failed = true;
        g.blockFill = 0;
    }
}

}  // namespace

bool BaselineDecode(const uint8_t* input, uint32_t packedSize, uint32_t unpackedSize,
                    BlockSink sink, void* context) {
    BuildOffsetTables();
    g.inputPosition = input;
    g.inputRemaining = packedSize;
    g.outputRemaining = static_cast<int32_t>(unpackedSize);
    g.blockFill = 0;
    g.bitBuffer = 0;
    g.bitCount = 0;
    g.sink = sink;
    g.context = context;
    g.failed = false;
    InitModel();
    for (int i = 0; i < 4036; i++) g.window[i] = ' ';
    for (int i = 4036; i < 4096; i++) g.window[i] = 0;  // as the real decoder
    g.writePosition = 4036;
    // Stops as soon as the sink refused a block, like the real decoder.
    while (g.outputRemaining > 0 && !g.failed) {
        int c = DecodeSymbol();
        if (c < 256) {
            PutOutputByte(static_cast<uint8_t>(c));
            g.window[g.writePosition] = static_cast<uint8_t>(c);
            g.writePosition = (g.writePosition + 1) % 4096;
        } else {
            unsigned start = (g.writePosition - DecodeOffset() - 1) % 4096;
            int length = c - 253;
            for (int k = 0; k < length && g.outputRemaining > 0 && !g.failed; k++) {
                uint8_t b = g.window[(start + k) % 4096];
                PutOutputByte(b);
                g.window[g.writePosition] = b;
                g.writePosition = (g.writePosition + 1) % 4096;
            }
        }
    }
    if (!g.failed) FlushOutput();
    return !g.failed;
}
