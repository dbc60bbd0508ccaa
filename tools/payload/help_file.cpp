// Help-file placeholders, laid out like a WinHelp file: a file header, a
// system record with the title and copyright, topic blocks holding
// LZ77-compressed topic records (so they pack poorly, as real help topics
// do), a keyword index of sorted text records, and the internal directory.
#include "tools/payload/generators.h"
#include "tools/payload/prose.h"

#include <algorithm>

namespace {

const uint32_t kTopicBlock = 4096;

// WinHelp's LZ77: a flag byte before every eight items, a set bit marking a
// two-byte back reference (12-bit distance - 1, 4-bit length - 3).
std::vector<uint8_t> CompressTopics(const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out;
    std::vector<int> head(1 << 14, -1), previous(in.size(), -1);
    auto hash = [&](size_t i) { return ((in[i] << 8) ^ (in[i + 1] << 4) ^ in[i + 2]) & 0x3FFF; };
    size_t flagAt = 0;
    int items = 8;
    for (size_t i = 0; i < in.size();) {
        if (items == 8) {
            flagAt = out.size();
            out.push_back(0);
            items = 0;
        }
        size_t bestLength = 0, bestDistance = 0;
        if (i + 3 <= in.size()) {
            int tries = 32;
            for (int j = head[hash(i)]; j >= 0 && tries-- > 0; j = previous[j]) {
                size_t distance = i - j;
                if (distance > 4096) break;
                size_t n = 0;
                while (n < 18 && i + n < in.size() && in[j + n] == in[i + n]) ++n;
                if (n > bestLength) bestLength = n, bestDistance = distance;
            }
        }
        size_t step = bestLength >= 3 ? bestLength : 1;
        if (bestLength >= 3) {
            out[flagAt] |= static_cast<uint8_t>(1 << items);
            uint32_t code = static_cast<uint32_t>(((bestLength - 3) << 12) | (bestDistance - 1));
            out.push_back(static_cast<uint8_t>(code));
            out.push_back(static_cast<uint8_t>(code >> 8));
        } else {
            out.push_back(in[i]);
        }
        ++items;
        for (size_t k = 0; k < step; ++k, ++i) {
            if (i + 3 > in.size()) continue;
            int h = hash(i);
            previous[i] = head[h];
            head[h] = static_cast<int>(i);
        }
    }
    return out;
}

// Topic records: a link header, the title, then paragraphs.
std::vector<uint8_t> TopicRecords(Random& r, size_t wanted) {
    Bytes t;
    uint32_t previousTopic = 0;
    while (t.Size() < wanted) {
        uint32_t start = static_cast<uint32_t>(t.Size());
        std::string title = TopicTitle(r);
        std::string text;
        for (int p = 0, n = 2 + r.Below(5); p < n; ++p) {
            for (int s = 0, m = 1 + r.Below(5); s < m; ++s) text += Sentence(r) + " ";
            text.back() = '\0';
        }
        t.U32(static_cast<uint32_t>(21 + title.size() + text.size()));
        t.U32(static_cast<uint32_t>(text.size()));
        t.U32(previousTopic);
        t.U32(start + static_cast<uint32_t>(21 + title.size() + 1 + text.size()));
        t.U32(static_cast<uint32_t>(title.size() + 1));
        t.U8(0x20);  // topic record
        t.TextZ(title);
        t.Text(text);
        previousTopic = start;
    }
    return t.v;
}

// A 4-bit, 128 x 96 screen picture: filled rectangles with dithered edges.
std::vector<uint8_t> Picture(Random& r) {
    const int width = 64, height = 96;  // bytes per row, rows
    std::vector<uint8_t> pixels(width * height, 0xFF);
    for (int n = 0, count = 12 + r.Below(20); n < count; ++n) {
        int x0 = r.Below(width), y0 = r.Below(height);
        int x1 = x0 + 1 + r.Below(width - x0), y1 = y0 + 1 + r.Below(height - y0);
        uint8_t colour = static_cast<uint8_t>(r.Below(16) * 0x11);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) pixels[y * width + x] = colour;
    }
    for (uint8_t& p : pixels)
        if (r.Chance(3)) p = static_cast<uint8_t>(r.Next() >> 24);
    return pixels;
}

}  // namespace

std::vector<uint8_t> MakeHelpFile(const std::string& name, uint32_t size) {
    Random r(SeedFromName(name));
    Bytes out;
    out.U32(0x00035F3F);  // magic
    size_t directoryField = out.Size();
    out.U32(0);
    out.U32(0xFFFFFFFF);
    out.U32(size);
    // |SYSTEM
    out.U32(0);
    out.U32(0);
    out.U8(0);
    out.U16(0x036C);
    out.U16(21);
    out.U16(1);
    out.U32(0x458C8A80);
    out.U16(4);
    std::string title = name.substr(0, name.rfind('.'));
    for (const std::string& s : {title, std::string("Copyright (C) 1998-2006 Velmora Utilities"),
                                 std::string("main"), std::string("Contents"), std::string("Search")}) {
        out.U16(1 + static_cast<uint32_t>(out.Size() % 9));
        out.U16(static_cast<uint32_t>(s.size() + 1));
        out.TextZ(s);
    }
    // |TOPIC: under half the file in 4 KB blocks.
    uint32_t topicEnd = size / 20 * 9;
    std::vector<uint8_t> packed = CompressTopics(TopicRecords(r, topicEnd * 2));
    size_t used = 0;
    uint32_t block = 0;
    while (out.Size() + kTopicBlock <= topicEnd && used < packed.size()) {
        out.U32(block * kTopicBlock + 12);
        out.U32(block * kTopicBlock + 12 + r.Below(2000));
        out.U32(0xFFFFFFFF);
        size_t n = std::min<size_t>(kTopicBlock - 12, packed.size() - used);
        out.v.insert(out.v.end(), packed.begin() + used, packed.begin() + used + n);
        used += n;
        ++block;
    }
    // |bm pictures up to three fifths of the file.
    uint32_t picturesEnd = size / 5 * 3;
    while (out.Size() + 64 < picturesEnd) {
        out.U16(0x506C);  // picture magic
        out.U16(1);
        std::vector<uint8_t> picture = CompressTopics(Picture(r));
        out.U32(static_cast<uint32_t>(picture.size()));
        out.Append(picture);
    }
    out.Resize(picturesEnd);
    // |KWBTREE: sorted keywords, each with a count and topic offsets.
    std::vector<std::string> keywords;
    for (int i = 0; i < 400; ++i) keywords.push_back(Keyword(r));
    std::sort(keywords.begin(), keywords.end());
    keywords.erase(std::unique(keywords.begin(), keywords.end()), keywords.end());
    size_t directoryAt = size > 512 ? size - 512 : out.Size();
    while (out.Size() + 64 < directoryAt) {
        out.U16(0x0002);  // page header: unused bytes, entries, previous, next
        out.U16(static_cast<uint32_t>(keywords.size()));
        out.U16(0xFFFF);
        out.U16(0xFFFF);
        for (const std::string& k : keywords) {
            if (out.Size() + 64 >= directoryAt) break;
            out.TextZ(k);
            uint32_t hits = 1 + r.Below(3);
            out.U16(hits);
            for (uint32_t h = 0; h < hits; ++h) out.U32(r.Below(block + 1) * kTopicBlock + 12 + 4 * r.Below(256));
        }
    }
    out.FillTo(directoryAt, 0);
    // Internal directory.
    out.Put32(directoryField, static_cast<uint32_t>(out.Size()));
    out.U16(0x293B);
    out.U16(0x0402);
    out.Text("z4");
    for (const char* file : {"|KWBTREE", "|KWDATA", "|Phrases", "|SYSTEM", "|TOPIC", "|TTLBTREE"}) {
        out.TextZ(file);
        out.U32(r.Below(size));
    }
    out.Resize(size);
    return out.v;
}
