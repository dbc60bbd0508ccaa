// The checksum table and the version resource script that portavo-config
// generates for setup.exe.
#include "tools/config/checksums.h"
#include "tools/config/generate.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tools/pack/encoder.h"

namespace {

FileEntry EntryNamed(const char* resourceName) {
    FileEntry entry = {};
    strcpy(entry.resourceName, resourceName);
    return entry;
}

TEST(Checksums, Crc32MatchesTheCommonCheckValueAndContinues) {
    const uint8_t digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(Crc32(digits, 9), 0xCBF43926u);  // the published CRC-32 check value
    EXPECT_EQ(Crc32(digits + 4, 5, Crc32(digits, 4)), 0xCBF43926u);
    EXPECT_EQ(Crc32(digits, 0), 0u);
}

TEST(Checksums, TableRoundTripsAndDamagedTablesAreRefused) {
    const std::vector<FileChecksum> entries = {{"UINSTALL", 0x617CA486u}, {"A_FIFTEEN_CHARS", 0xFFFFFFFFu}, {"X", 0}};
    const std::vector<uint8_t> table = ChecksumTable(entries);
    ASSERT_EQ(table.size(), 8u + 20 * 3);
    EXPECT_EQ(memcmp(table.data(), "PVCK\x03\0\0\0", 8), 0);
    std::vector<FileChecksum> back;
    std::string why;
    ASSERT_TRUE(ParseChecksumTable(table.data(), table.size(), &back, &why)) << why;
    ASSERT_EQ(back.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].resourceName, entries[i].resourceName);
        EXPECT_EQ(back[i].crc, entries[i].crc);
    }

    std::vector<uint8_t> bad = table;
    bad[0] = 'X';
    EXPECT_FALSE(ParseChecksumTable(bad.data(), bad.size(), &back, &why));
    EXPECT_FALSE(ParseChecksumTable(table.data(), table.size() - 1, &back, &why));
    EXPECT_NE(why.find("not the 3 entries"), std::string::npos) << why;
    bad = table;
    bad[4] = 4;
    EXPECT_FALSE(ParseChecksumTable(bad.data(), bad.size(), &back, &why));
    bad = table;
    memset(&bad[8 + 20], 'N', 16);  // entry 1's name without its NUL
    EXPECT_FALSE(ParseChecksumTable(bad.data(), bad.size(), &back, &why));
    EXPECT_NE(why.find("entry 1 has an unterminated"), std::string::npos) << why;
    EXPECT_FALSE(ParseChecksumTable(table.data(), 7, &back, &why));
}

// setup.exe reads the table the build writes, entry by entry.
TEST(Checksums, SetupFindsEachRecordedCrcByPlaceAndName) {
    const std::vector<uint8_t> table = ChecksumTable({{"UINSTALL", 0x617CA486u}, {"A_FIFTEEN_CHARS", 7u}});
    const uint32_t size = static_cast<uint32_t>(table.size());
    uint32_t crc = 0;
    ASSERT_TRUE(FindRecordedCrc(table.data(), size, 0, EntryNamed("UINSTALL"), &crc));
    EXPECT_EQ(crc, 0x617CA486u);
    ASSERT_TRUE(FindRecordedCrc(table.data(), size, 1, EntryNamed("A_FIFTEEN_CHARS"), &crc));
    EXPECT_EQ(crc, 7u);
    EXPECT_FALSE(FindRecordedCrc(table.data(), size, 1, EntryNamed("UINSTALL"), &crc));  // another place
    EXPECT_FALSE(FindRecordedCrc(table.data(), size, 0, EntryNamed("UINSTAL"), &crc));
    EXPECT_FALSE(FindRecordedCrc(table.data(), size, 2, EntryNamed("X"), &crc));         // past the count
    EXPECT_FALSE(FindRecordedCrc(table.data(), size - 1, 1, EntryNamed("A_FIFTEEN_CHARS"), &crc));  // cut
    EXPECT_FALSE(FindRecordedCrc(nullptr, 0, 0, EntryNamed("UINSTALL"), &crc));         // no table
    std::vector<uint8_t> bad = table;
    bad[1] = 'X';
    EXPECT_FALSE(FindRecordedCrc(bad.data(), size, 0, EntryNamed("UINSTALL"), &crc));
}

// The self-check passes a stream only when it decodes from exactly its packed
// bytes to exactly its size and CRC-32.
TEST(Checksums, SelfCheckRefusesEveryKindOfDamagedStream) {
    std::vector<uint8_t> data;
    for (int i = 0; i < 20000; ++i) data.push_back(static_cast<uint8_t>("Trovado Pro indexes files. "[i % 27] ^ (i / 997)));
    const std::vector<uint8_t> packed = PackBytes(data.data(), data.size());
    const uint32_t size = static_cast<uint32_t>(data.size());
    const uint32_t crc = Crc32(data.data(), data.size());
    std::unique_ptr<DecoderState> state(new DecoderState);
    // Exactly sized copies, so that AddressSanitizer sees any read past them.
    auto check = [&](std::vector<uint8_t> stream, uint32_t unpacked, uint32_t expected) {
        std::unique_ptr<uint8_t[]> copy(new uint8_t[stream.size()]);
        memcpy(copy.get(), stream.data(), stream.size());
        return CheckPackedStream(state.get(), copy.get(), static_cast<uint32_t>(stream.size()), unpacked,
                                 expected);
    };
    EXPECT_TRUE(check(packed, size, crc));
    std::vector<uint8_t> flipped = packed;
    flipped[packed.size() / 2] ^= 0x10;
    EXPECT_FALSE(check(flipped, size, crc)) << "a flipped bit";
    EXPECT_FALSE(check(std::vector<uint8_t>(packed.begin(), packed.end() - 1), size, crc)) << "cut short";
    std::vector<uint8_t> longer = packed;
    longer.push_back(0);
    EXPECT_FALSE(check(longer, size, crc)) << "a byte too many";
    EXPECT_FALSE(check(packed, size - 100, crc)) << "a smaller unpacked size";
    EXPECT_FALSE(check(packed, size + 100, crc)) << "a larger unpacked size";
    EXPECT_FALSE(check(packed, size, crc ^ 1)) << "another CRC-32";

    // A whole payload of two entries; the first damaged one is named.
    ProductConfig product = {};
    product.fileCount = 2;
    for (int i = 0; i < 2; ++i) {
        product.files[i] = EntryNamed(i ? "SECOND" : "FIRST");
        product.files[i].packedSize = static_cast<uint32_t>(packed.size());
        product.files[i].unpackedSize = size;
    }
    const std::vector<uint8_t> table = ChecksumTable({{"FIRST", crc}, {"SECOND", crc}});
    struct Streams {
        std::vector<uint8_t> bytes[2];
        bool present[2];
    } streams = {{packed, packed}, {true, true}};
    const StreamSource source = [](void* context, const FileEntry& entry,
                                   uint32_t* length) -> const uint8_t* {
        Streams* s = static_cast<Streams*>(context);
        const int i = entry.resourceName[0] == 'S';
        *length = static_cast<uint32_t>(s->bytes[i].size());
        return s->present[i] ? s->bytes[i].data() : nullptr;
    };
    const uint32_t tableSize = static_cast<uint32_t>(table.size());
    EXPECT_EQ(FindDamagedEntry(state.get(), product, table.data(), tableSize, source, &streams), -1);
    streams.bytes[1] = flipped;
    EXPECT_EQ(FindDamagedEntry(state.get(), product, table.data(), tableSize, source, &streams), 1);
    streams.bytes[1] = packed;
    streams.bytes[0].push_back(0);  // the resource is larger than the packed size
    EXPECT_EQ(FindDamagedEntry(state.get(), product, table.data(), tableSize, source, &streams), 0);
    streams.bytes[0] = packed;
    streams.present[1] = false;
    EXPECT_EQ(FindDamagedEntry(state.get(), product, table.data(), tableSize, source, &streams), 1);
    streams.present[1] = true;
    EXPECT_EQ(FindDamagedEntry(state.get(), product, table.data(), tableSize - 20, source, &streams), 1)
        << "a table short of an entry";
}

TEST(VersionResource, NumbersComeFromTheLeadingDigitsOfEachPart) {
    struct Case {
        const char* text;
        uint16_t numbers[4];
    } cases[] = {
        {"4.02", {4, 2, 0, 0}},   {"1.2.3.4.5", {1, 2, 3, 4}}, {"2b", {2, 0, 0, 0}},
        {"3.1b.7", {3, 1, 7, 0}}, {"99999.1", {65535, 1, 0, 0}}, {"beta", {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        uint16_t n[4];
        VersionNumbers(c.text, n);
        EXPECT_EQ(std::vector<uint16_t>(n, n + 4), std::vector<uint16_t>(c.numbers, c.numbers + 4)) << c.text;
    }
}

TEST(VersionResource, ScriptNamesTheProductAndEscapesItsTexts) {
    ProductConfig record = {};
    strcpy(record.productName, "Widget \"Pro\"");
    strcpy(record.version, "2.5b");
    strcpy(record.companyName, "Acme\\Tools");
    const std::string script = VersionScript(record);
    for (const char* line : {"FILEVERSION 2,5,0,0\n", "PRODUCTVERSION 2,5,0,0\n",
                             "VALUE \"CompanyName\", \"Acme\\\\Tools\"\n",
                             "VALUE \"FileDescription\", \"Widget \"\"Pro\"\" Setup\"\n",
                             "VALUE \"ProductName\", \"Widget \"\"Pro\"\"\"\n", "VALUE \"ProductVersion\", \"2.5b\"\n",
                             "VALUE \"OriginalFilename\", \"setup.exe\"\n", "VALUE \"Translation\", 0x409, 1252\n"})
        EXPECT_NE(script.find(line), std::string::npos) << line << " missing from\n" << script;
}

}  // namespace
