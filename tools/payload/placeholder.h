// Placeholder payload files: deterministic stand-ins for the product's
// program images and help files, with the size and roughly the
// compressibility of the real thing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum PlaceholderKind { kProgramImage, kLibraryImage, kHelpFile };

struct Placeholder {
    PlaceholderKind kind;
    uint32_t size;
    std::string name;
};

// Parses the placeholder list: lines "kind size file name", '#' comments.
// Messages read "source:line: problem". Returns true when there was no error.
bool ParsePlaceholderList(const std::string& text, const std::string& source,
                          std::vector<Placeholder>* out, std::vector<std::string>* errors);

// The content of one placeholder: exactly placeholder.size bytes, the same on
// every run and every machine, seeded by the file name.
std::vector<uint8_t> MakePlaceholder(const Placeholder& placeholder);
