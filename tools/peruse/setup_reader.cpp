#include "tools/peruse/setup_reader.h"

#include "extract/lzhuf.h"

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

// The record is read by copying its bytes: the layout has fixed-width fields
// only, the same for the i686 setup.exe and this host (product_config.cpp
// asserts that on every target it is compiled for), and little-endian.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "records are read in host byte order");
static_assert(sizeof(FileEntry) == 72 && sizeof(ProductConfig) == 912, "record layout");
static_assert(offsetof(ProductConfig, releaseTime) == 170 && offsetof(ProductConfig, files) == 188 &&
                  offsetof(ProductConfig, fileCount) == 908,
              "record layout");

namespace {

// A text field: printable characters, a terminating NUL inside the field,
// zeros after it (the build zero-fills every field).
bool Text(const char* field, size_t size, bool needed) {
    const char* end = static_cast<const char*>(memchr(field, 0, size));
    if (!end || (needed && end == field)) return false;
    for (const char* p = field; p < end; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F) return false;
    for (const char* p = end; p < field + size; ++p)
        if (*p) return false;
    return true;
}

bool AllZero(const void* p, size_t size) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < size; ++i)
        if (b[i]) return false;
    return true;
}

std::string Hex(uint32_t v) {
    char text[16];
    snprintf(text, sizeof text, "0x%X", v);
    return text;
}

// Collects decoded bytes.
bool Collect(void* context, const uint8_t* block, uint32_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), block, block + count);
    return true;
}

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

// One block of a version resource: length, value length, type, key, value,
// children, each part 32-bit aligned from the resource's start.
struct VersionBlock {
    std::string key;
    const uint8_t* value;
    size_t valueBytes;  // to the first child or the block's end
    uint16_t valueLength;
    std::vector<VersionBlock> children;
};

size_t Align4(size_t n) { return (n + 3) & ~size_t(3); }

std::string Utf16Text(const uint8_t* p, size_t bytes) {
    std::string s;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        const uint16_t c = Get16(p + i);
        if (c == 0) break;
        s += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
    }
    return s;
}

// Reads the block at offset at of data[0, end).
bool ReadBlock(const uint8_t* data, size_t at, size_t end, int depth, VersionBlock* block, size_t* next) {
    if (depth > 4 || at + 6 > end) return false;
    const size_t length = Get16(data + at);
    if (length < 6 || at + length > end) return false;
    const size_t blockEnd = at + length;
    block->valueLength = Get16(data + at + 2);
    size_t p = at + 6;
    size_t keyEnd = p;
    while (keyEnd + 1 < blockEnd && Get16(data + keyEnd) != 0) keyEnd += 2;
    if (keyEnd + 1 >= blockEnd) return false;
    block->key = Utf16Text(data + p, keyEnd - p);
    p = Align4(keyEnd + 2);
    if (p > blockEnd) p = blockEnd;
    const bool text = Get16(data + at + 4) == 1;
    size_t valueEnd = p + (text ? 2u : 1u) * block->valueLength;
    if (valueEnd > blockEnd) valueEnd = blockEnd;
    block->value = data + p;
    block->valueBytes = valueEnd - p;
    p = Align4(valueEnd);
    block->children.clear();
    while (p < blockEnd) {
        VersionBlock child;
        size_t after;
        if (!ReadBlock(data, p, blockEnd, depth + 1, &child, &after)) return false;
        block->children.push_back(child);
        p = Align4(after);
    }
    *next = blockEnd;
    return true;
}

}  // namespace

bool ParseRecord(const uint8_t* p, ProductConfig* record) {
    ProductConfig r;
    memcpy(&r, p, sizeof r);
    if (!Text(r.productName, sizeof r.productName, true) || !Text(r.version, sizeof r.version, true) ||
        !Text(r.tagline, sizeof r.tagline, false) || !Text(r.companyName, sizeof r.companyName, true) ||
        !Text(r.helpLink, sizeof r.helpLink, false))
        return false;
    const ReleaseTime& t = r.releaseTime;
    if (t.year < 1601 || t.month < 1 || t.month > 12 || t.dayOfWeek > 6 || t.day < 1 || t.day > 31 || t.hour > 23 ||
        t.minute > 59 || t.second > 59 || t.milliseconds > 999)
        return false;
    if (r.fileCount < 1 || r.fileCount > kMaxFiles || r.shortcutCount < 0 || r.shortcutCount > r.fileCount)
        return false;
    for (int i = 0; i < kMaxFiles; ++i) {
        const FileEntry& f = r.files[i];
        if (i >= r.fileCount) {
            if (!AllZero(&f, sizeof f)) return false;
            continue;
        }
        const uint32_t folder = f.flags & (kInInstallFolder | kInWindowsFolder);
        if (!Text(f.fileName, sizeof f.fileName, true) || !Text(f.resourceName, sizeof f.resourceName, true) ||
            !Text(f.shortcutName, sizeof f.shortcutName, false) ||
            (f.flags & ~uint32_t(kInInstallFolder | kInWindowsFolder | kAlwaysOverwrite)) != 0 ||
            (folder != kInInstallFolder && folder != kInWindowsFolder))
            return false;
    }
    *record = r;
    return true;
}

bool FindRecord(const std::vector<uint8_t>& bytes, const PeImage& pe, ProductConfig* record, uint32_t* offset,
                std::string* why) {
    struct Candidate {
        uint32_t offset;
        ProductConfig record;
        std::string missing;  // a resource it names that the file lacks
    };
    std::vector<Candidate> found;
    for (const PeSection& s : pe.sections) {
        if (s.rawSize < sizeof(ProductConfig)) continue;
        // The record is 4-byte aligned in the image; sections start aligned.
        for (uint64_t at = s.rawOffset; at + sizeof(ProductConfig) <= uint64_t(s.rawOffset) + s.rawSize; at += 4) {
            Candidate c;
            if (!ParseRecord(bytes.data() + at, &c.record)) continue;
            c.offset = static_cast<uint32_t>(at);
            for (int i = 0; i < c.record.fileCount && c.missing.empty(); ++i)
                if (!pe.FindNamed(kResourceTypeRcdata, c.record.files[i].resourceName))
                    c.missing = c.record.files[i].resourceName;
            found.push_back(c);
            if (found.size() > 16) break;
        }
    }
    const Candidate* match = nullptr;
    size_t matches = 0;
    for (const Candidate& c : found)
        if (c.missing.empty()) {
            match = &c;
            ++matches;
        }
    if (matches == 1) {
        *record = match->record;
        *offset = match->offset;
        return true;
    }
    if (matches > 1) {
        *why = "found " + std::to_string(matches) + " product records whose resources all exist; cannot tell which one "
               "setup.exe uses";
    } else if (!found.empty()) {
        *why = "the product record at file offset " + Hex(found[0].offset) + " names RCDATA resource \"" +
               found[0].missing + "\", which the file does not have";
    } else {
        *why = "no product record in the file: it is a PE file, but not a setup program built by Portavo";
    }
    return false;
}

bool OpenSetup(const std::string& path, SetupImage* image, std::string* why) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *why = "cannot open the file";
        return false;
    }
    image->bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        *why = "cannot read the file";
        return false;
    }
    return image->pe.Read(image->bytes.data(), image->bytes.size(), why) &&
           FindRecord(image->bytes, image->pe, &image->record, &image->recordOffset, why);
}

bool ReadChecksums(const SetupImage& image, std::vector<FileChecksum>* checksums, std::string* why) {
    const PeResource* r = image.pe.FindNamed(kResourceTypeRcdata, PORTAVO_CHECKSUM_RESOURCE);
    if (!r) {
        *why = "no RCDATA resource " PORTAVO_CHECKSUM_RESOURCE " with the payload's checksums";
        return false;
    }
    if (!ParseChecksumTable(image.bytes.data() + r->offset, r->size, checksums, why)) return false;
    const ProductConfig& p = image.record;
    if (checksums->size() != static_cast<size_t>(p.fileCount)) {
        *why = "the checksum table has " + std::to_string(checksums->size()) + " entries, the file table " +
               std::to_string(p.fileCount);
        return false;
    }
    for (int i = 0; i < p.fileCount; ++i) {
        if ((*checksums)[i].resourceName != p.files[i].resourceName) {
            *why = "checksum table entry " + std::to_string(i) + " names \"" + (*checksums)[i].resourceName +
                   "\", the file table \"" + p.files[i].resourceName + "\"";
            return false;
        }
    }
    return true;
}

bool CheckPayload(const SetupImage& image, int index, const FileChecksum& checksum, std::vector<uint8_t>* out,
                  std::string* why) {
    const FileEntry& f = image.record.files[index];
    out->clear();
    const PeResource* r = image.pe.FindNamed(kResourceTypeRcdata, f.resourceName);
    if (!r) {
        *why = std::string("no RCDATA resource ") + f.resourceName;
        return false;
    }
    const uint32_t packed = f.packedSize;
    if (r->size != packed) {
        *why = "resource " + std::string(f.resourceName) + " holds " + std::to_string(r->size) +
               " bytes, the packed size is " + std::to_string(packed);
        return false;
    }
    // A match of at most 60 bytes takes at least 10 bits and a literal at
    // least 1, so a stream gives at most 48 bytes per packed byte.
    if (f.unpackedSize > 48ull * packed) {
        *why = "unpacked size " + std::to_string(f.unpackedSize) + " is more than " + std::to_string(packed) +
               " packed bytes can give";
        return false;
    }
    std::unique_ptr<DecoderState> state(new DecoderState);
    out->reserve(f.unpackedSize);
    DecodeStream(state.get(), image.bytes.data() + r->offset, packed, f.unpackedSize, Collect, out);
    // All of the stream's bits must come from its own bytes, and its last
    // byte must be used.
    const uint64_t used = BitsTaken(state.get(), packed);
    if (used > 8ull * packed) {
        *why = "the stream needs more than its " + std::to_string(packed) + " packed bytes to give " +
               std::to_string(f.unpackedSize) + " bytes";
        return false;
    }
    if (packed > 0 && used <= 8ull * (packed - 1)) {
        *why = "the stream gives its " + std::to_string(f.unpackedSize) + " bytes from " +
               std::to_string((used + 7) / 8) + " of its " + std::to_string(packed) + " packed bytes";
        return false;
    }
    if (out->size() != f.unpackedSize) {
        *why = "the stream gave " + std::to_string(out->size()) + " bytes, not " + std::to_string(f.unpackedSize);
        return false;
    }
    const uint32_t crc = Crc32(out->data(), out->size());
    if (crc != checksum.crc) {
        *why = "CRC-32 " + Hex(crc) + " of the unpacked bytes, the build recorded " + Hex(checksum.crc);
        return false;
    }
    return true;
}

bool ReadVersionInfo(const SetupImage& image, VersionInfo* info, std::string* why) {
    const PeResource* r = image.pe.FindFirst(kResourceTypeVersion);
    if (!r) {
        *why = "none";
        return false;
    }
    const uint8_t* data = image.bytes.data() + r->offset;
    VersionBlock root;
    size_t next;
    if (!ReadBlock(data, 0, r->size, 0, &root, &next) || root.key != "VS_VERSION_INFO" || root.valueBytes < 52 ||
        Get32(root.value) != 0xFEEF04BD) {
        *why = "the version resource is malformed";
        return false;
    }
    const uint32_t fileMs = Get32(root.value + 8), fileLs = Get32(root.value + 12);
    const uint32_t productMs = Get32(root.value + 16), productLs = Get32(root.value + 20);
    const uint32_t words[2][2] = {{fileMs, fileLs}, {productMs, productLs}};
    uint16_t* targets[2] = {info->fileVersion, info->productVersion};
    for (int k = 0; k < 2; ++k) {
        targets[k][0] = uint16_t(words[k][0] >> 16);
        targets[k][1] = uint16_t(words[k][0]);
        targets[k][2] = uint16_t(words[k][1] >> 16);
        targets[k][3] = uint16_t(words[k][1]);
    }
    info->strings.clear();
    for (const VersionBlock& group : root.children) {
        if (group.key != "StringFileInfo") continue;
        for (const VersionBlock& table : group.children)
            for (const VersionBlock& s : table.children)
                info->strings.emplace_back(s.key, Utf16Text(s.value, s.valueBytes));
    }
    return true;
}

bool ReadManifest(const SetupImage& image, std::string* text) {
    for (const PeResource& r : image.pe.resources) {
        if (!r.typeName.empty() || r.typeId != kResourceTypeManifest || !r.name.empty() || r.id != 1) continue;
        text->assign(image.bytes.begin() + r.offset, image.bytes.begin() + r.offset + r.size);
        return true;
    }
    return false;
}

std::string ExecutionLevel(const SetupImage& image) {
    std::string text;
    if (!ReadManifest(image, &text)) return "no manifest";
    const size_t element = text.find("<requestedExecutionLevel");
    const size_t end = text.find('>', element);
    if (element == std::string::npos || end == std::string::npos) return "none requested";
    const std::string tag = text.substr(element, end - element);
    size_t at = tag.find(" level");
    if (at != std::string::npos) at = tag.find_first_not_of(" \t\r\n", at + 6);
    if (at == std::string::npos || tag[at] != '=') return "none requested";
    at = tag.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos || (tag[at] != '"' && tag[at] != '\'')) return "none requested";
    const size_t close = tag.find(tag[at], at + 1);
    return close == std::string::npos ? "none requested" : tag.substr(at + 1, close - at - 1);
}
