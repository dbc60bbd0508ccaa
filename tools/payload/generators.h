// The placeholder generators, one per kind of file.
#pragma once

#include "tools/payload/bytes.h"

#include <string>
#include <vector>

std::vector<uint8_t> MakeProgramImage(const std::string& name, uint32_t size, bool dll);
std::vector<uint8_t> MakeHelpFile(const std::string& name, uint32_t size);
