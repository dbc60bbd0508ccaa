// Reads a Windows PE file (32- or 64-bit) as far as portavo-inspect needs it:
// the headers, the section table, the resource tree and where a signature's
// certificate table lies. Every offset, count
// and size is checked against the file before it is used, so any input gives
// either a complete picture or a one-line reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t {
    kResourceTypeRcdata = 10,
    kResourceTypeVersion = 16,
    kResourceTypeManifest = 24,
};

// The certificate type of an Authenticode signature.
enum : uint16_t { kCertificateTypePkcsSignedData = 2 };

struct PeSection {
    std::string name;
    uint32_t virtualAddress;
    uint32_t virtualSize;
    uint32_t rawOffset;  // where its bytes are in the file
    uint32_t rawSize;
};

// One leaf of the resource tree. Type and name are each either a number
// (the string empty) or a string.
struct PeResource {
    uint32_t typeId;
    std::string typeName;
    uint32_t id;
    std::string name;  // UTF-16 read as ASCII; other characters become '?'
    uint32_t language;
    uint32_t offset;  // file offset of its bytes, which lie inside the file
    uint32_t size;
};

struct PeImage {
    uint16_t machine = 0;
    uint32_t timeStamp = 0;
    bool is64 = false;
    std::vector<PeSection> sections;
    std::vector<PeResource> resources;
    // The certificate table that signing appends after the image (data
    // directory 4, which holds a file offset, not an RVA); size 0 when the
    // file is not signed. certificateType is its first entry's type (2 for
    // an Authenticode PKCS#7 signature).
    uint32_t certificateOffset = 0;
    uint32_t certificateSize = 0;
    uint16_t certificateType = 0;

    // Reads the headers, sections and resources of bytes. False with a reason
    // when they are not a well-formed PE file.
    bool Read(const uint8_t* bytes, size_t size, std::string* why);

    // The file offset of the size bytes at rva when they lie in one section's
    // bytes in the file.
    bool FileOffset(uint32_t rva, uint32_t size, uint32_t* offset) const;

    // The resource of this type with this name (ASCII, case ignored), or null.
    const PeResource* FindNamed(uint32_t typeId, const std::string& name) const;
    // The first resource of this type, or null.
    const PeResource* FindFirst(uint32_t typeId) const;

private:
    bool ReadCertificates(const uint8_t* bytes, size_t size, uint32_t offset, uint32_t tableSize, std::string* why);
    bool ReadResources(const uint8_t* bytes, size_t size, uint32_t rva, uint32_t dirSize, std::string* why);
};
