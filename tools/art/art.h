// Everything portavo-art produces, as named files in memory.
#pragma once

#include <string>
#include <vector>

#include "tools/art/formats.h"

namespace art {

struct OutputFile {
    std::string name;
    Bytes bytes;
};

struct Artwork {
    std::vector<OutputFile> resources;  // bitmap200.bmp ... bitmap204.bmp, icon100.ico, icon101.ico
    std::vector<OutputFile> previews;   // the same pictures as PNG files
};

// Draws every picture and icon; the fonts must be open. The result depends on
// nothing but the code and the fonts, so every run gives the same bytes.
Artwork DrawArtwork();

}  // namespace art
