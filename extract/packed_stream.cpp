#include "extract/packed_stream.h"

#include "extract/lzhuf.h"

namespace {

// Tables, window and output block, reused by every stream; the decoder resets
// them at the start of each one.
DecoderState s_decoder;

struct FileSink {
    void (*advance)(uint32_t bytes);
    HANDLE file;
};

bool WriteBlock(void* context, const uint8_t* block, uint32_t count) {
    const FileSink* sink = static_cast<const FileSink*>(context);
    DWORD written = 0;
    if (!WriteFile(sink->file, block, count, &written, nullptr)) return false;
    sink->advance(written);
    return written == count;
}

}  // namespace

bool DecodePackedStream(void (*advance)(uint32_t bytes), HANDLE file, const uint8_t* bytes, uint32_t packedSize,
                        uint32_t unpackedSize) {
    FileSink sink = {advance, file};
    return DecodeStream(&s_decoder, bytes, packedSize, unpackedSize, WriteBlock, &sink);
}
