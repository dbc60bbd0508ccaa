// Turns a product description and the payload files into the generated
// sources of setup.exe: product_config.cpp (the definition of g_product),
// payload.rc (one RCDATA resource per file table entry and the checksum
// table, checksums.bin), version.rc (the version resource) and
// setup.manifest; and, read at configure time, the build settings
// (product.cmake).
#pragma once

#include "core/config.h"
#include "tools/config/description.h"

#include <cstdint>
#include <string>
#include <vector>

struct PayloadFile {
    std::string source;  // the file that gets installed
    std::string packed;  // its packed stream, absolute
    uint32_t unpackedSize;
    uint32_t packedSize;
    uint32_t crc;  // CRC-32 of the file's bytes
};

// The resource names that setup.exe's own resources take: the named
// resources of its resource script (script), every macro that the resource
// compiler's preprocessor holds where the script includes payload.rc (it
// would put the macro's value in place of the name), read from the
// preprocessor's listings of the script (gcc -E -dD, one per MinGW tree), the
// checksum table that the build adds to every payload, and the words of the
// resource script's language. False when the script or a listing cannot be
// read.
bool ReadReservedResourceNames(const std::string& script, const std::vector<std::string>& macroListings,
                               std::vector<ReservedName>* names, std::vector<std::string>* errors);

// Finds each entry's file by name in the payload folders (it must be in
// exactly one) and its packed stream, named like the file, in packedDir.
bool MeasurePayload(const ProductDescription& description, const std::vector<std::string>& payloadDirs,
                    const std::string& packedDir, std::vector<PayloadFile>* files,
                    std::vector<std::string>* errors);

// The record for a checked description and its measured files.
void FillRecord(const ProductDescription& description, const std::vector<PayloadFile>& files,
                ProductConfig* record);

// C++ source defining g_product with the record's values.
std::string ProductConfigSource(const ProductConfig& record);

// C++ source defining g_retiredFiles and g_retiredFileCount.
std::string RetiredFilesSource(const std::vector<std::string>& retired);

// Resource script lines "NAME RCDATA "packed path"", one per entry, and one
// naming the checksum table file.
std::string PayloadScript(const ProductConfig& record, const std::vector<PayloadFile>& files,
                          const std::string& checksumTable);

// The checksum table resource for the entries' files (tools/config/checksums.h).
std::vector<uint8_t> PayloadChecksums(const ProductConfig& record, const std::vector<PayloadFile>& files);

// The file and product version numbers of the version resource: the leading
// digits of each dot-separated part of the version text, at most four parts,
// missing ones 0 ("4.02" gives 4, 2, 0, 0).
void VersionNumbers(const char* version, uint16_t numbers[4]);

// The release time's wall-clock fields read as UTC, in seconds since
// 1970-01-01: the PE time stamp of setup.exe and the time of its signature.
int64_t ReleaseEpoch(const uint16_t releaseTime[8]);

// The CMake include that the build trees read at configure time instead of the
// description: PORTAVO_PAYLOAD_FILES, the entries' file names in table order,
// and PORTAVO_RELEASE_EPOCH. False when a name cannot be carried in a CMake
// list (it holds ';').
bool BuildSettingsScript(const ProductDescription& description, std::string* script,
                         std::vector<std::string>* errors);

// Reads and checks the description at path, against the resource names that
// resourceScript and its macro listings reserve, and writes its build settings to out, leaving that
// file untouched when it already holds them (the build trees configure again
// when it changes).
bool GenerateBuildSettings(const std::string& path, const std::string& resourceScript,
                           const std::vector<std::string>& macroListings, const std::string& out,
                           std::vector<std::string>* errors);

// The application manifest of setup.exe: an assembly identity named after the
// maker and the product with the version resource's numbers, the
// administrator rights the program needs (it writes HKLM and the Windows
// folder), and the Windows versions it was made for, Vista to 11. No DPI
// awareness and no Common Controls 6: the pages keep their pixel layout and
// the classic look.
std::string ManifestText(const ProductConfig& record);

// The same for another program of the product: its name ends in role
// ("Setup", "Uninstall") instead.
std::string ProgramManifestText(const ProductConfig& record, const char* role);

// Resource script with the VERSIONINFO of setup.exe: the product's name,
// version and maker, a description naming it as that product's setup
// program, and the file name.
std::string VersionScript(const ProductConfig& record);

// The same for another program of the product: its description and its
// name without ".exe".
std::string ProgramVersionScript(const ProductConfig& record, const std::string& description,
                                 const std::string& program);

// C++ source defining g_registration, appended to the product record's.
std::string RegistrationSource(const ProductDescription& description);

struct GenerateRequest {
    std::string description;               // the description file
    std::string resourceScript;            // setup.exe's resource script, resources/setup.rc
    std::vector<std::string> macroListings;  // its preprocessor listings (ReadReservedResourceNames)
    std::vector<std::string> payloadDirs;  // folders holding the payload files
    std::string packedDir;                 // folder holding their packed streams
    std::string genDir;                    // receives the generated files
};

// Reads and checks the description, measures the payload and writes the
// generated files. On any error nothing is written and the messages say why.
bool GenerateProductSources(const GenerateRequest& request, ProductConfig* record,
                            std::vector<std::string>* errors);

// The product's names without its payload, for the programs packed into the
// payload itself (the uninstaller, the stand-ins): product_config.cpp with
// every size 0, and the uninstaller's version.rc and uninstall.manifest, in
// request.genDir. The payload folders are not read.
bool GenerateProductNames(const GenerateRequest& request, std::vector<std::string>* errors);
