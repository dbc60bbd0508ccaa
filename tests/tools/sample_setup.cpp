#include "tests/tools/sample_setup.h"

#include "tools/config/checksums.h"
#include "tools/pack/encoder.h"

#include <algorithm>
#include <cstring>

namespace {

void Put16(std::vector<uint8_t>* b, size_t at, uint32_t v) {
    (*b)[at] = uint8_t(v);
    (*b)[at + 1] = uint8_t(v >> 8);
}

void Put32(std::vector<uint8_t>* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) (*b)[at + i] = uint8_t(v >> (8 * i));
}

size_t Align(size_t n, size_t a) { return (n + a - 1) / a * a; }

struct Blob {
    std::string name;  // empty: a numbered resource (id 1)
    uint32_t type;
    std::vector<uint8_t> bytes;
};

// The .rsrc section for blobs at rva: type directories, name directories,
// language directories, data entries, name strings, then the data.
std::vector<uint8_t> ResourceSection(std::vector<Blob> blobs, uint32_t rva) {
    std::sort(blobs.begin(), blobs.end(), [](const Blob& a, const Blob& b) {
        return a.type != b.type ? a.type < b.type : a.name < b.name;
    });
    std::vector<uint32_t> types;
    for (const Blob& b : blobs)
        if (types.empty() || types.back() != b.type) types.push_back(b.type);
    const size_t n = blobs.size();
    size_t at = 16 + 8 * types.size();
    std::vector<size_t> nameDir(types.size());
    for (size_t t = 0; t < types.size(); ++t) {
        nameDir[t] = at;
        at += 16 + 8 * size_t(std::count_if(blobs.begin(), blobs.end(), [&](const Blob& b) { return b.type == types[t]; }));
    }
    const size_t langDirs = at, dataEntries = langDirs + 24 * n;
    at = dataEntries + 16 * n;
    std::vector<size_t> names(n), data(n);
    for (size_t i = 0; i < n; ++i) {
        names[i] = at;
        at += 2 + 2 * blobs[i].name.size();
    }
    for (size_t i = 0; i < n; ++i) {
        at = Align(at, 4);
        data[i] = at;
        at += blobs[i].bytes.size();
    }
    std::vector<uint8_t> s(Align(at, 512), 0);
    Put16(&s, 14, uint32_t(types.size()));
    size_t blob = 0;
    for (size_t t = 0; t < types.size(); ++t) {
        Put32(&s, 16 + 8 * t, types[t]);
        Put32(&s, 20 + 8 * t, 0x80000000u | uint32_t(nameDir[t]));
        size_t count = 0;
        for (; blob < n && blobs[blob].type == types[t]; ++blob, ++count) {
            const size_t entry = nameDir[t] + 16 + 8 * count;
            const Blob& b = blobs[blob];
            Put32(&s, entry, b.name.empty() ? 1u : 0x80000000u | uint32_t(names[blob]));
            Put32(&s, entry + 4, 0x80000000u | uint32_t(langDirs + 24 * blob));
            Put16(&s, langDirs + 24 * blob + 14, 1);
            Put32(&s, langDirs + 24 * blob + 16, 0x409);
            Put32(&s, langDirs + 24 * blob + 20, uint32_t(dataEntries + 16 * blob));
            Put32(&s, dataEntries + 16 * blob, rva + uint32_t(data[blob]));
            Put32(&s, dataEntries + 16 * blob + 4, uint32_t(b.bytes.size()));
            Put16(&s, names[blob], uint32_t(b.name.size()));
            for (size_t k = 0; k < b.name.size(); ++k) Put16(&s, names[blob] + 2 + 2 * k, uint8_t(b.name[k]));
            std::copy(b.bytes.begin(), b.bytes.end(), s.begin() + long(data[blob]));
        }
        Put16(&s, nameDir[t] + 14, uint32_t(count));
    }
    return s;
}

// A version resource with the fixed part and one string.
std::vector<uint8_t> VersionBlob() {
    std::vector<uint8_t> v;
    auto text = [&](const std::string& s) {
        for (char c : s) v.insert(v.end(), {uint8_t(c), 0});
        v.insert(v.end(), {0, 0});
        while (v.size() % 4) v.push_back(0);
    };
    auto header = [&](uint16_t valueLength, uint16_t type) {
        const size_t at = v.size();
        v.resize(at + 6);
        Put16(&v, at + 2, valueLength);
        Put16(&v, at + 4, type);
        return at;
    };
    const size_t root = header(52, 0);
    text("VS_VERSION_INFO");
    const size_t fixed = v.size();
    v.resize(fixed + 52);
    Put32(&v, fixed, 0xFEEF04BD);
    Put32(&v, fixed + 8, 0x00010005);  // 1.5
    Put32(&v, fixed + 16, 0x00010005);
    const size_t group = header(0, 1);
    text("StringFileInfo");
    const size_t table = header(0, 1);
    text("040904E4");
    const size_t string = header(12, 1);
    text("ProductName");
    text("Sample Tool");
    for (size_t at : {string, table, group, root}) Put16(&v, at, uint32_t(v.size() - at));
    return v;
}

}  // namespace

std::vector<SampleFile> SampleFiles() {
    std::vector<SampleFile> files;
    SampleFile a{"sample.exe", "MAIN", kInInstallFolder | kAlwaysOverwrite, {}};
    for (int i = 0; i < 5000; ++i) a.bytes.push_back(uint8_t((i * 7) ^ (i >> 5)));
    const std::string text = "A read-me text, read-me text, read-me text.\r\n";
    SampleFile b{"Read Me.txt", "README", kInInstallFolder, std::vector<uint8_t>(text.begin(), text.end())};
    SampleFile c{"empty.dat", "EMPTY", kInWindowsFolder, {}};
    return {a, b, c};
}

SampleSetup MakeSampleSetup(const std::vector<SampleFile>& files, int copies) {
    SampleSetup out;
    ProductConfig& r = out.record;
    memset(&r, 0, sizeof r);
    strcpy(r.productName, "Sample Tool");
    strcpy(r.version, "1.5");
    strcpy(r.tagline, "A product that is not Trovado.");
    strcpy(r.companyName, "Sample Co");
    r.releaseTime = ReleaseTime{1999, 3, 4, 4, 5, 6, 7, 8};
    std::vector<Blob> blobs;
    std::vector<FileChecksum> checksums;
    for (size_t i = 0; i < files.size() && i < kMaxFiles; ++i) {
        const SampleFile& f = files[i];
        FileEntry& e = r.files[i];
        strncpy(e.fileName, f.name.c_str(), sizeof e.fileName - 1);
        strncpy(e.resourceName, f.resource.c_str(), sizeof e.resourceName - 1);
        strcpy(e.shortcutName, i == 0 ? "Sample" : "-");
        e.flags = f.flags;
        const std::vector<uint8_t> packed = PackBytes(f.bytes.data(), f.bytes.size());
        e.unpackedSize = uint32_t(f.bytes.size());
        e.packedSize = uint32_t(packed.size());
        blobs.push_back(Blob{f.resource, 10, packed});
        checksums.push_back(FileChecksum{f.resource, Crc32(f.bytes.data(), f.bytes.size())});
    }
    r.fileCount = int16_t(std::min<size_t>(files.size(), kMaxFiles));
    r.shortcutCount = 1;
    blobs.push_back(Blob{PORTAVO_CHECKSUM_RESOURCE, 10, ChecksumTable(checksums)});
    blobs.push_back(Blob{"", 16, VersionBlob()});

    const uint32_t rdataRaw = 0x200, rdataRva = 0x1000;
    const size_t rdataSize = Align(sizeof r * copies + 4, 512);
    const uint32_t rsrcRaw = uint32_t(rdataRaw + rdataSize), rsrcRva = uint32_t(Align(rdataRva + rdataSize, 0x1000));
    const std::vector<uint8_t> rsrc = ResourceSection(blobs, rsrcRva);
    std::vector<uint8_t>& b = out.image;
    b.assign(rsrcRaw + rsrc.size(), 0);
    b[0] = 'M';
    b[1] = 'Z';
    Put32(&b, 0x3C, 0x40);
    memcpy(&b[0x40], "PE\0\0", 4);
    Put16(&b, 0x44, 0x14C);  // i386
    Put16(&b, 0x46, 2);
    Put32(&b, 0x48, 920520367);
    Put16(&b, 0x54, 224);
    Put16(&b, 0x56, 0x102);
    const size_t opt = 0x58;
    Put16(&b, opt, 0x10B);
    Put32(&b, opt + 92, 16);
    Put32(&b, opt + 96 + 16, rsrcRva);
    Put32(&b, opt + 96 + 20, uint32_t(rsrc.size()));
    const size_t sections = opt + 224;
    const struct {
        const char* name;
        uint32_t virtualSize, rva, rawSize, raw;
    } table[2] = {{".rdata", uint32_t(sizeof r * copies + 4), rdataRva, uint32_t(rdataSize), rdataRaw},
                  {".rsrc", uint32_t(rsrc.size()), rsrcRva, uint32_t(rsrc.size()), rsrcRaw}};
    for (int i = 0; i < 2; ++i) {
        memcpy(&b[sections + 40 * i], table[i].name, strlen(table[i].name));
        Put32(&b, sections + 40 * i + 8, table[i].virtualSize);
        Put32(&b, sections + 40 * i + 12, table[i].rva);
        Put32(&b, sections + 40 * i + 16, table[i].rawSize);
        Put32(&b, sections + 40 * i + 20, table[i].raw);
    }
    // The record after a 4-byte word, as a compiler may place other data first.
    out.recordOffset = rdataRaw + 4;
    for (int k = 0; k < copies; ++k) memcpy(&b[out.recordOffset + k * sizeof r], &r, sizeof r);
    std::copy(rsrc.begin(), rsrc.end(), b.begin() + rsrcRaw);
    return out;
}
