// Colour tables of the pictures.
#pragma once

#include <vector>

#include "tools/art/image.h"

namespace art {

// The standard 16-colour palette, in its usual order.
enum Vga : uint8_t {
    kBlack, kMaroon, kGreen, kOlive, kNavy, kPurple, kTeal, kSilver,
    kGray, kRed, kLime, kYellow, kBlue, kFuchsia, kAqua, kWhite,
};

std::vector<Rgb> StandardPalette();

}  // namespace art
