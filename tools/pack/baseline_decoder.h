// A plain decoder written step by step from the stream format, with no
// attention to speed: the yardstick for the benchmark and a second opinion
// for the tests and the fuzzer.
#pragma once

#include <cstdint>

#include "extract/lzhuf.h"

// Same contract as DecodeStream: exactly unpackedSize bytes to sink in
// blocks of 1024, input past packedSize reads as zeros, false when the sink
// refused a block.
bool BaselineDecode(const uint8_t* input, uint32_t packedSize, uint32_t unpackedSize,
                    BlockSink sink, void* context);
