#include "extract/self_check.h"

#include <windows.h>

#include "core/app.h"
#include "core/config.h"
#include "core/resource.h"
#include "core/text.h"
#include "extract/payload_check.h"

namespace {

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

const uint8_t* ResourceStream(void*, const FileEntry& entry, uint32_t* size) {
    DWORD bytes;
    const uint8_t* stream = LoadRcdata(entry.resourceName, &bytes);
    *size = bytes;
    return stream;
}

}  // namespace

bool VerifyPayload() {
    DWORD tableSize;
    const uint8_t* table = LoadRcdata(PORTAVO_CHECKSUM_RESOURCE, &tableSize);
    char message[256];
    if (!table) {
        FormatText(message, sizeof message, kNoChecksums, nullptr);
    } else {
        const int damaged =
            FindDamagedEntry(&s_checker, g_product, table, tableSize, ResourceStream, nullptr);
        if (damaged < 0) return true;
        FormatText(message, sizeof message, kDamagedFile, g_product.files[damaged].fileName);
    }
    ShowMessage(nullptr, message, MB_ICONERROR);
    return false;
}
