// The payload compiled into the program: for every file table entry an RCDATA
// resource of the entry's name and packed size that decodes to exactly the
// entry's unpacked size and the bytes of the payload file it was made from.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/app.h"
#include "core/config.h"
#include "extract/lzhuf.h"
#include "tests/support/temp_folder.h"

namespace {

bool Append(void* context, const uint8_t* block, uint32_t count) {
    static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(block), count);
    return true;
}

// The payload file as this tree packed it (its gen/files folder).
bool ReadPayloadFile(const char* name, std::string* contents) {
    std::string path = WinePathOf(PORTAVO_TREE_GEN "/files") + "\\" + name;
    return FileExists(path) && ReadWholeFile(path, contents);
}

TEST(PayloadResources, EveryEntryDecodesToItsPayloadFile) {
    g_instance = GetModuleHandleA(nullptr);
    ASSERT_GT(g_product.fileCount, 0);
    ASSERT_LE(g_product.fileCount, kMaxFiles);
    static DecoderState state;
    uint64_t total = 0;
    for (int i = 0; i < g_product.fileCount; ++i) {
        const FileEntry& entry = g_product.files[i];
        SCOPED_TRACE(std::to_string(i) + " " + entry.fileName);
        HRSRC found = FindResourceA(g_instance, entry.resourceName, RT_RCDATA);
        ASSERT_NE(found, nullptr) << entry.resourceName;
        EXPECT_EQ(SizeofResource(g_instance, found), entry.packedSize);
        HGLOBAL loaded = LoadResource(g_instance, found);
        ASSERT_NE(loaded, nullptr);
        const uint8_t* packed = static_cast<const uint8_t*>(LockResource(loaded));
        ASSERT_NE(packed, nullptr);

        std::string decoded;
        EXPECT_TRUE(DecodeStream(&state, packed, entry.packedSize, entry.unpackedSize, Append, &decoded));
        EXPECT_EQ(decoded.size(), entry.unpackedSize);
        std::string original;
        ASSERT_TRUE(ReadPayloadFile(entry.fileName, &original));
        EXPECT_EQ(original.size(), entry.unpackedSize);
        EXPECT_TRUE(decoded == original) << "decoded bytes differ from the payload file";
        total += entry.unpackedSize;
    }
    EXPECT_EQ(total, 947817u);
}

}  // namespace
