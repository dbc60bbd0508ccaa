// A built setup.exe read back: its product record, found in the image by its
// layout and by the RCDATA resources it names, the checksum table, the
// version resource, and the payload decoded and checked against all of them.
#pragma once

#include "core/config.h"
#include "tools/config/checksums.h"
#include "tools/peruse/pe_image.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct SetupImage {
    std::vector<uint8_t> bytes;
    PeImage pe;
    ProductConfig record;
    uint32_t recordOffset;  // in the file
};

// True when the sizeof(ProductConfig) bytes at p are a product record as the
// build writes one: terminated texts with zeros after them, a possible
// release time, 1 to kMaxFiles entries each with a file and resource name and
// one of the two folder flags, unused entries all zero. Copies it to record.
bool ParseRecord(const uint8_t* p, ProductConfig* record);

// Finds the one product record in the image's sections whose resources are
// all RCDATA resources of the file. False with a reason when there is none
// or more than one.
bool FindRecord(const std::vector<uint8_t>& bytes, const PeImage& pe, ProductConfig* record, uint32_t* offset,
                std::string* why);

// Reads path as a PE file and finds its record.
bool OpenSetup(const std::string& path, SetupImage* image, std::string* why);

// The CHECKSUMS resource, which must hold one entry per file table entry
// naming the same resources in the same order.
bool ReadChecksums(const SetupImage& image, std::vector<FileChecksum>* checksums, std::string* why);

// Decodes file table entry index and checks it: the resource's size is the
// packed size, the stream ends within its last packed byte without reading
// past it, and the unpacked bytes have the recorded CRC-32. out receives the
// unpacked bytes; why the first fault.
bool CheckPayload(const SetupImage& image, int index, const FileChecksum& checksum, std::vector<uint8_t>* out,
                  std::string* why);

// The version resource: its fixed file and product version, and its strings
// in order ("CompanyName", "Velmora Utilities"). False when there is none or
// it is malformed.
struct VersionInfo {
    uint16_t fileVersion[4];
    uint16_t productVersion[4];
    std::vector<std::pair<std::string, std::string>> strings;
};
bool ReadVersionInfo(const SetupImage& image, VersionInfo* info, std::string* why);

// The application manifest's text, resource 1 of type 24. False when there is
// none.
bool ReadManifest(const SetupImage& image, std::string* text);

// The execution level the manifest requests ("requireAdministrator"), read
// from the first requestedExecutionLevel element's level attribute; "no
// manifest" or "none requested" when there is none.
std::string ExecutionLevel(const SetupImage& image);
