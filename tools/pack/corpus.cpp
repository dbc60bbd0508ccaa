// Sample data generators. Same seed, same bytes, on every machine.
#include "tools/pack/corpus.h"

#include <cstring>
#include <string>

namespace {

struct Random {
    uint64_t state;
    explicit Random(uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint64_t Next() {  // splitmix64
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    unsigned Below(unsigned n) { return static_cast<unsigned>(Next() % n); }
    // Small values much more often than large ones.
    unsigned Skewed(unsigned n) { return Below(Below(Below(n) + 1) + 1); }
};

const char* const kWords[] = {
    "the", "of", "and", "to", "a", "in", "is", "you", "that", "it", "for", "on", "with", "as",
    "are", "this", "be", "or", "by", "from", "your", "can", "will", "all", "file", "files",
    "search", "program", "folder", "disk", "drive", "find", "text", "results", "window", "click",
    "menu", "option", "options", "list", "name", "names", "each", "when", "which", "more",
    "version", "registered", "copy", "license", "users", "computer", "setup", "install",
    "directory", "index", "matching", "document", "documents", "date", "size", "type", "shows",
    "select", "choose", "press", "button", "dialog", "box", "enter", "press", "new", "open",
    "save", "print", "help", "contents", "topic", "section", "chapter", "page", "line", "lines",
    "number", "order", "form", "price", "payment", "address", "support", "information",
    "windows", "explorer", "shortcut", "group", "start", "quickly", "faster", "than", "before",
    "also", "may", "must", "should", "not", "only", "every", "other", "such", "these", "those",
    "into", "about", "after", "over", "under", "between", "through", "without", "within",
    "character", "characters", "string", "strings", "pattern", "patterns", "wildcard", "case",
    "sensitive", "whole", "word", "words", "network", "archive", "archives", "compressed",
};
const unsigned kWordCount = sizeof kWords / sizeof kWords[0];

void Append(std::vector<uint8_t>& out, const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    Append(out, b, 4);
}

// One paragraph of sentences, wrapped at 72 columns with CR LF.
void AppendParagraph(std::vector<uint8_t>& out, Random& rnd) {
    std::string line;
    const unsigned sentences = 2 + rnd.Below(5);
    for (unsigned s = 0; s < sentences; ++s) {
        const unsigned words = 4 + rnd.Below(14);
        for (unsigned w = 0; w < words; ++w) {
            std::string word = kWords[rnd.Skewed(kWordCount)];
            if (w == 0) word[0] = static_cast<char>(word[0] - 'a' + 'A');
            if (rnd.Below(40) == 0) word = std::to_string(rnd.Below(100000));
            if (w + 1 == words) word += rnd.Below(8) == 0 ? "?" : ".";
            else if (rnd.Below(9) == 0) word += ",";
            if (line.size() + 1 + word.size() > 72) {
                line += "\r\n";
                Append(out, line.data(), line.size());
                line.clear();
            }
            if (!line.empty()) line += ' ';
            line += word;
        }
    }
    line += "\r\n\r\n";
    Append(out, line.data(), line.size());
}

// A run of x86-like machine code: frames, calls, moves with small operands.
void AppendCode(std::vector<uint8_t>& out, Random& rnd, uint32_t& callTarget) {
    static const uint8_t prologue[] = {0x55, 0x8B, 0xEC, 0x83, 0xEC};
    static const uint8_t epilogue[] = {0x8B, 0xE5, 0x5D, 0xC3};
    Append(out, prologue, sizeof prologue);
    out.push_back(static_cast<uint8_t>(4 * (1 + rnd.Below(16))));
    const unsigned count = 8 + rnd.Below(40);
    for (unsigned i = 0; i < count; ++i) {
        switch (rnd.Skewed(8)) {
        case 0: {  // mov reg, [ebp - n]
            const uint8_t b[] = {0x8B, uint8_t(0x45 + 8 * rnd.Below(4)), uint8_t(0x100 - 4 * (1 + rnd.Below(8)))};
            Append(out, b, 3);
            break;
        }
        case 1:  // call rel32 to one of a few nearby routines
            out.push_back(0xE8);
            AppendLe32(out, callTarget - static_cast<uint32_t>(out.size()) + 4 * rnd.Skewed(64));
            break;
        case 2: {  // push imm8 / push reg
            const uint8_t b[] = {0x6A, uint8_t(rnd.Skewed(32)), uint8_t(0x50 + rnd.Below(8))};
            Append(out, b, 3);
            break;
        }
        case 3: {  // test eax, eax; jz short
            const uint8_t b[] = {0x85, 0xC0, 0x74, uint8_t(rnd.Below(64))};
            Append(out, b, 4);
            break;
        }
        case 4:  // mov eax, imm32
            out.push_back(0xB8);
            AppendLe32(out, rnd.Skewed(4096));
            break;
        case 5: {  // add esp, n
            const uint8_t b[] = {0x83, 0xC4, uint8_t(4 * (1 + rnd.Below(6)))};
            Append(out, b, 3);
            break;
        }
        case 6:  // call [import]
            out.push_back(0xFF);
            out.push_back(0x15);
            AppendLe32(out, 0x00402000u + 4 * rnd.Skewed(120));
            break;
        default:
            out.push_back(static_cast<uint8_t>(rnd.Next()));
            break;
        }
    }
    Append(out, epilogue, sizeof epilogue);
    while (out.size() % 16) out.push_back(0xCC);
    callTarget += 64;
}

}  // namespace

std::vector<uint8_t> MakeTextCorpus(size_t size, uint64_t seed) {
    Random rnd(seed);
    std::vector<uint8_t> out;
    out.reserve(size + 1024);
    unsigned section = 1;
    while (out.size() < size) {
        if (rnd.Below(12) == 0) {
            std::string heading = std::to_string(section++) + ". ";
            for (unsigned w = 0, n = 1 + rnd.Below(4); w < n; ++w) {
                std::string word = kWords[rnd.Below(kWordCount)];
                word[0] = static_cast<char>(word[0] - 'a' + 'A');
                heading += (w ? " " : "") + word;
            }
            heading += "\r\n" + std::string(heading.size(), '-') + "\r\n\r\n";
            Append(out, heading.data(), heading.size());
        }
        AppendParagraph(out, rnd);
    }
    out.resize(size);
    return out;
}

std::vector<uint8_t> MakeBinaryCorpus(size_t size, uint64_t seed) {
    Random rnd(seed);
    std::vector<uint8_t> out;
    out.reserve(size + 65536);
    uint32_t callTarget = 0x1000;
    while (out.size() < size) {
        const unsigned kind = rnd.Below(20);
        if (kind < 11) {
            AppendCode(out, rnd, callTarget);
        } else if (kind < 14) {  // table of increasing 32-bit values
            uint32_t v = 0x00401000u + static_cast<uint32_t>(rnd.Below(0x10000));
            for (unsigned i = 0, n = 16 + rnd.Below(200); i < n; ++i) {
                AppendLe32(out, v);
                v += 4 * rnd.Skewed(64);
            }
        } else if (kind < 16) {  // UTF-16 resource strings
            for (unsigned i = 0, n = 1 + rnd.Below(12); i < n; ++i) {
                const char* w = kWords[rnd.Skewed(kWordCount)];
                for (const char* c = w; *c; ++c) {
                    out.push_back(static_cast<uint8_t>(*c));
                    out.push_back(0);
                }
                out.push_back(' ');
                out.push_back(0);
            }
        } else if (kind < 18) {  // alignment padding
            out.insert(out.end(), 64 + rnd.Below(2048), 0);
        } else {  // already compressed data: no structure at all
            for (unsigned i = 0, n = 256 + rnd.Below(4096); i < n; ++i) {
                out.push_back(static_cast<uint8_t>(rnd.Next() >> 56));
            }
        }
    }
    out.resize(size);
    return out;
}
