// Reads a Windows PE file (32- or 64-bit) as far as portavo-inspect needs it:
// the headers, the section table and the resource tree. Every offset, count
// and size is checked against the file before it is used, so any input gives
// either a complete picture or a one-line reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum : uint32_t {
    kResourceTypeRcdata = 10,
    kResourceTypeVersion = 16,
};

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
    bool ReadResources(const uint8_t* bytes, size_t size, uint32_t rva, uint32_t dirSize, std::string* why);
};
