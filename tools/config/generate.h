// Turns a product description and the payload files into the two generated
// sources of setup.exe: product_config.cpp (the definition of g_product) and
// payload.rc (one RCDATA resource per file table entry).
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
};

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

// Resource script lines "NAME RCDATA "packed path"", one per entry.
std::string PayloadScript(const ProductConfig& record, const std::vector<PayloadFile>& files);

struct GenerateRequest {
    std::string description;               // the description file
    std::vector<std::string> payloadDirs;  // folders holding the payload files
    std::string packedDir;                 // folder holding their packed streams
    std::string genDir;                    // receives product_config.cpp and payload.rc
};

// Reads and checks the description, measures the payload and writes both
// sources. On any error nothing is written and the messages say why.
bool GenerateProductSources(const GenerateRequest& request, ProductConfig* record,
                            std::vector<std::string>* errors);
