// Deterministic sample data for the benchmark and the tests: prose-like text
// and executable-like binary, the two kinds of file a setup program carries.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

std::vector<uint8_t> MakeTextCorpus(size_t size, uint64_t seed = 1);
std::vector<uint8_t> MakeBinaryCorpus(size_t size, uint64_t seed = 1);
