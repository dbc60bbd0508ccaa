// File formats of the pictures: Windows bitmaps and icons for the resource
// script, PNG previews for people.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art/image.h"

namespace art {

using Bytes = std::vector<uint8_t>;

// A .bmp file: 14-byte file header, 40-byte BITMAPINFOHEADER, the colour
// table (every entry of `table`; biClrUsed is 0 when the table is full for
// the depth, else its size), rows bottom-up, each padded to 4 bytes.
// `bits` is 4 or 8.
Bytes EncodeBmp(const Image& img, const std::vector<Rgb>& table, int bits);

// A .ico file of 16-colour images (4-bit colour plus 1-bit AND mask); pixels
// of index kTransparent are transparent.
Bytes EncodeIco(const std::vector<Image>& images, const std::vector<Rgb>& table);

// An 8-bit RGBA PNG of the image (transparent pixels get alpha 0).
Bytes EncodePng(const Image& img, const std::vector<Rgb>& table);

bool WriteFile(const std::string& path, const Bytes& bytes, std::string* error);

}  // namespace art
