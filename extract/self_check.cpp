#include "extract/self_check.h"

#include <windows.h>

#include "core/config.h"
#include "core/text.h"
#include "extract/packed_stream.h"
#include "extract/payload_check.h"

namespace {

const char kCaption[] = "Portavo";
const char kDamagedFile[] =
    "The file \"%s\" in this setup program is damaged.\r\n\r\n"
    "Please get a fresh copy of the setup program and run it again.";
const char kNoChecksums[] =
    "This setup program is damaged: its checksum table is missing.\r\n\r\n"
    "Please get a fresh copy of the setup program and run it again.";

// The decoder's tables and window; the install step has its own. The check
// runs before start-up stores the instance handle, and resources then come
// from the null module, which is the program itself.
DecoderState s_checker;

bool EntryIsWhole(const uint8_t* table, DWORD tableSize, int index) {
    const FileEntry& entry = g_product.files[index];
    uint32_t crc;
    DWORD size;
    const uint8_t* stream = LoadRcdata(entry.resourceName, &size);
    return FindRecordedCrc(table, tableSize, index, entry, &crc) && stream &&
           size == entry.packedSize &&
           CheckPackedStream(&s_checker, stream, entry.packedSize, entry.unpackedSize, crc);
}

}  // namespace

bool VerifyPayload() {
    DWORD tableSize;
    const uint8_t* table = LoadRcdata(PORTAVO_CHECKSUM_RESOURCE, &tableSize);
    char message[256];
    if (!table) {
        FormatText(message, sizeof message, kNoChecksums, nullptr);
    } else {
        int index = 0;
        while (index < g_product.fileCount && EntryIsWhole(table, tableSize, index)) ++index;
        if (index >= g_product.fileCount) return true;
        FormatText(message, sizeof message, kDamagedFile, g_product.files[index].fileName);
    }
    MessageBoxA(nullptr, message, kCaption, MB_ICONERROR);
    return false;
}
