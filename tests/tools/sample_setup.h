// A small setup program for another product, built in memory the way the
// build lays one out: a 32-bit PE file with the product record in .rdata and,
// in .rsrc, one RCDATA resource per file holding its packed stream, the
// checksum table and a version resource. The inspector tests and the fuzz
// target's seed corpus use it.
#pragma once

#include "core/config.h"

#include <cstdint>
#include <string>
#include <vector>

struct SampleFile {
    std::string name;
    std::string resource;
    uint32_t flags;
    std::vector<uint8_t> bytes;
};

struct SampleSetup {
    ProductConfig record;
    std::vector<uint8_t> image;
    uint32_t recordOffset;
};

// copies: how many times the record is placed in .rdata (normally 1).
SampleSetup MakeSampleSetup(const std::vector<SampleFile>& files, int copies = 1);

// Three files, the last one empty.
std::vector<SampleFile> SampleFiles();
