#include "tools/peruse/pe_image.h"

#include <cctype>
#include <cstdio>

namespace {

const size_t kMaxResources = 4096;  // far more than any setup.exe carries

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

std::string Hex(uint64_t v) {
    char text[24];
    snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(v));
    return text;
}

// The resource tree: directories and name strings at offsets from its start,
// which must lie inside area.
struct Tree {
    const uint8_t* base;
    uint32_t areaSize;

    bool Has(uint64_t offset, uint64_t size) const { return offset + size <= areaSize; }

    bool Name(uint32_t offset, std::string* name) const {
        if (!Has(offset, 2)) return false;
        const uint32_t length = Get16(base + offset);
        if (!Has(offset + 2ull, 2ull * length)) return false;
        name->clear();
        for (uint32_t i = 0; i < length; ++i) {
            const uint16_t c = Get16(base + offset + 2 + 2 * i);
            *name += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '?';
        }
        return true;
    }
};

// How a leaf is named in messages: "RCDATA CHECKSUMS", "type 16 #1".
std::string LeafName(uint32_t typeId, const std::string& typeName, uint32_t id, const std::string& name) {
    std::string type = !typeName.empty() ? typeName
                       : typeId == kResourceTypeRcdata ? "RCDATA"
                       : typeId == kResourceTypeVersion ? "VERSION"
                                                        : "type " + std::to_string(typeId);
    return type + " " + (name.empty() ? "#" + std::to_string(id) : name);
}

}  // namespace

bool PeImage::Read(const uint8_t* bytes, size_t size, std::string* why) {
    sections.clear();
    resources.clear();
    certificateOffset = certificateSize = 0;
    certificateType = 0;
    if (size < 2 || bytes[0] != 'M' || bytes[1] != 'Z') {
        *why = "not a PE file: it does not start with \"MZ\"";
        return false;
    }
    if (size < 64) {
        *why = "truncated: " + std::to_string(size) + " bytes, shorter than the 64-byte MZ header";
        return false;
    }
    const uint64_t pe = Get32(bytes + 0x3C);
    if (pe + 24 > size) {
        *why = "truncated or not a PE file: the PE header at " + Hex(pe) + " lies past the end (" +
               std::to_string(size) + " bytes)";
        return false;
    }
    if (Get32(bytes + pe) != 0x00004550) {
        *why = "not a PE file: no \"PE\" signature at " + Hex(pe);
        return false;
    }
    const uint8_t* coff = bytes + pe + 4;
    machine = Get16(coff);
    const uint32_t sectionCount = Get16(coff + 2);
    timeStamp = Get32(coff + 4);
    const uint32_t optionalSize = Get16(coff + 16);
    const uint64_t optional = pe + 24;
    const uint64_t table = optional + optionalSize;
    if (table + 40ull * sectionCount > size) {
        *why = "truncated: the section table ends past the end of the file";
        return false;
    }
    if (optionalSize < 2) {
        *why = "not a PE image: no optional header";
        return false;
    }
    const uint16_t magic = Get16(bytes + optional);
    if (magic != 0x10B && magic != 0x20B) {
        *why = "not a PE image: optional header magic " + Hex(magic);
        return false;
    }
    is64 = magic == 0x20B;
    const uint32_t countAt = is64 ? 108 : 92;
    // Data directories: the resources are entry 2, the certificate table 4.
    uint32_t directory[5][2] = {};
    if (optionalSize >= countAt + 4) {
        const uint32_t directories = Get32(bytes + optional + countAt);
        for (uint32_t i = 0; i < 5 && i < directories; ++i) {
            const uint64_t entry = countAt + 4 + 8 * i;
            if (optionalSize < entry + 8) break;
            directory[i][0] = Get32(bytes + optional + entry);
            directory[i][1] = Get32(bytes + optional + entry + 4);
        }
    }
    const uint32_t resourceRva = directory[2][0], resourceSize = directory[2][1];
    for (uint32_t i = 0; i < sectionCount; ++i) {
        const uint8_t* s = bytes + table + 40 * i;
        PeSection section;
        for (int k = 0; k < 8 && s[k]; ++k) section.name += (s[k] >= 0x20 && s[k] < 0x7F) ? char(s[k]) : '?';
        section.virtualSize = Get32(s + 8);
        section.virtualAddress = Get32(s + 12);
        section.rawSize = Get32(s + 16);
        section.rawOffset = Get32(s + 20);
        if (section.rawSize != 0 && uint64_t(section.rawOffset) + section.rawSize > size) {
            *why = "truncated: section " + section.name + " ends at byte " +
                   std::to_string(uint64_t(section.rawOffset) + section.rawSize) + ", the file has " +
                   std::to_string(size);
            return false;
        }
        sections.push_back(section);
    }
    if (directory[4][1] != 0 && !ReadCertificates(bytes, size, directory[4][0], directory[4][1], why)) return false;
    if (resourceRva == 0 || resourceSize == 0) return true;  // no resources
    return ReadResources(bytes, size, resourceRva, resourceSize, why);
}

bool PeImage::ReadCertificates(const uint8_t* bytes, size_t size, uint32_t offset, uint32_t tableSize,
                               std::string* why) {
    const std::string table =
        "the certificate table (" + std::to_string(tableSize) + " bytes at file offset " + Hex(offset) + ")";
    if (uint64_t(offset) + tableSize > size) {
        *why = "truncated: " + table + " ends past the end of the file (" + std::to_string(size) + " bytes)";
        return false;
    }
    for (const PeSection& s : sections) {
        if (s.rawSize != 0 && offset < uint64_t(s.rawOffset) + s.rawSize) {
            *why = table + " starts before the end of section " + s.name + "; it belongs after the image";
            return false;
        }
    }
    // Each entry: its length (header included), revision and type, then the
    // certificate; the first must fit the table.
    const uint32_t length = tableSize >= 8 ? Get32(bytes + offset) : 0;
    if (length < 8 || length > tableSize) {
        *why = table + " does not start with a certificate entry that fits it";
        return false;
    }
    certificateOffset = offset;
    certificateSize = tableSize;
    certificateType = Get16(bytes + offset + 6);
    return true;
}

bool PeImage::FileOffset(uint32_t rva, uint32_t size, uint32_t* offset) const {
    for (const PeSection& s : sections) {
        // Bytes past the virtual size are file alignment padding, not image.
        const uint64_t present = s.virtualSize != 0 && s.virtualSize < s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && uint64_t(rva) + size <= uint64_t(s.virtualAddress) + present) {
            *offset = s.rawOffset + (rva - s.virtualAddress);
            return true;
        }
    }
    return false;
}

bool PeImage::ReadResources(const uint8_t* bytes, size_t size, uint32_t rva, uint32_t dirSize,
                            std::string* why) {
    (void)size;
    (void)dirSize;  // the tree may use the rest of its section, as loaders allow
    uint32_t start = 0, area = 0;
    for (const PeSection& s : sections) {
        const uint64_t present = s.virtualSize != 0 && s.virtualSize < s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.virtualAddress && rva < uint64_t(s.virtualAddress) + present) {
            start = s.rawOffset + (rva - s.virtualAddress);
            area = static_cast<uint32_t>(s.virtualAddress + present - rva);
            break;
        }
    }
    if (area < 16) {
        *why = "the resource directory at RVA " + Hex(rva) + " lies outside the file";
        return false;
    }
    Tree tree{bytes + start, area};

    // Three levels: type, name, language.
    struct Level {
        uint32_t offset;
        uint32_t id;
        std::string name;
    };
    size_t visited = 0;  // entries read, so that shared subdirectories cannot multiply the work
    auto readDirectory = [&](uint32_t offset, std::vector<Level>* entries, bool leaves,
                             const std::string& where) -> bool {
        entries->clear();
        if (!tree.Has(offset, 16)) {
            *why = "resource directory" + where + " at offset " + Hex(offset) + " lies outside the resource section";
            return false;
        }
        const uint32_t count = uint32_t(Get16(tree.base + offset + 12)) + Get16(tree.base + offset + 14);
        if (!tree.Has(offset + 16ull, 8ull * count)) {
            *why = "resource directory" + where + " with " + std::to_string(count) +
                   " entries runs past the resource section";
            return false;
        }
        visited += count;
        if (visited > 4 * kMaxResources) {
            *why = "the resource tree has more than " + std::to_string(4 * kMaxResources) + " entries";
            return false;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = tree.base + offset + 16 + 8 * i;
            Level level;
            const uint32_t name = Get32(e), target = Get32(e + 4);
            level.id = name;
            if (name & 0x80000000u) {
                level.id = 0;
                if (!tree.Name(name & 0x7FFFFFFFu, &level.name)) {
                    *why = "a resource name" + where + " lies outside the resource section";
                    return false;
                }
            }
            if (bool(target & 0x80000000u) == leaves) {
                *why = std::string("resource directory") + where + (leaves ? " has a subdirectory where data belongs"
                                                                            : " has data where a subdirectory belongs");
                return false;
            }
            level.offset = target & 0x7FFFFFFFu;
            entries->push_back(level);
        }
        return true;
    };

    std::vector<Level> types, names, languages;
    if (!readDirectory(0, &types, false, "")) return false;
    for (const Level& type : types) {
        if (!readDirectory(type.offset, &names, false, " of " + LeafName(type.id, type.name, 0, "*"))) return false;
        for (const Level& name : names) {
            const std::string leaf = LeafName(type.id, type.name, name.id, name.name);
            if (!readDirectory(name.offset, &languages, true, " of " + leaf)) return false;
            for (const Level& language : languages) {
                if (!tree.Has(language.offset, 16)) {
                    *why = "the data entry of resource " + leaf + " lies outside the resource section";
                    return false;
                }
                const uint8_t* d = tree.base + language.offset;
                PeResource r{type.id, type.name, name.id, name.name, language.id, 0, Get32(d + 4)};
                if (!FileOffset(Get32(d), r.size, &r.offset)) {
                    *why = "resource " + leaf + " (" + std::to_string(r.size) + " bytes at RVA " + Hex(Get32(d)) +
                           ") points outside the file";
                    return false;
                }
                if (resources.size() == kMaxResources) {
                    *why = "more than " + std::to_string(kMaxResources) + " resources";
                    return false;
                }
                resources.push_back(r);
            }
        }
    }
    return true;
}

const PeResource* PeImage::FindNamed(uint32_t typeId, const std::string& name) const {
    auto same = [](const std::string& a, const std::string& b) {
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (toupper(static_cast<unsigned char>(a[i])) != toupper(static_cast<unsigned char>(b[i]))) return false;
        return true;
    };
    for (const PeResource& r : resources)
        if (r.typeName.empty() && r.typeId == typeId && !r.name.empty() && same(r.name, name)) return &r;
    return nullptr;
}

const PeResource* PeImage::FindFirst(uint32_t typeId) const {
    for (const PeResource& r : resources)
        if (r.typeName.empty() && r.typeId == typeId) return &r;
    return nullptr;
}
