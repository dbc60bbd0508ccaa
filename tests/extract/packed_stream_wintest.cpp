// DecodePackedStream: the decoder's output reaches the file block by block,
// each write advances the meter, and a write that fails stops it.
#include "extract/packed_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/lzhuf.h"
#include "tests/support/fixtures.h"
#include "pages/installing.h"
#include "tests/extract/progress_log.h"
#include "tests/support/temp_folder.h"

namespace {

// Any bytes form a stream that decodes to exactly the asked size.
std::vector<uint8_t> SomeStream(size_t size, uint32_t seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 16);
    }
    return bytes;
}

bool AppendToString(void* context, const uint8_t* block, uint32_t count) {
    static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(block), count);
    return true;
}

std::string DecodeInMemory(const std::vector<uint8_t>& stream, uint32_t unpackedSize) {
    static DecoderState state;
    std::string out;
    DecodeStream(&state, stream.data(), static_cast<uint32_t>(stream.size()), unpackedSize,
                 AppendToString, &out);
    return out;
}

HANDLE CreateForWriting(const std::string& path, DWORD access = GENERIC_WRITE) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

const HWND kPage = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4711));

void ReportToPage(uint32_t bytes) { AdvanceProgress(kPage, bytes); }

class PackedStreamTest : public ::testing::Test {
protected:
    void SetUp() override { ClearProgressLog(); }
    TempFolder folder_{"stream"};
};

TEST_F(PackedStreamTest, FileGetsTheDecodedBytesInBlocksEachReportedToTheMeter) {
    struct Case {
        uint32_t unpacked;
        std::vector<uint32_t> writes;
    };
    const Case cases[] = {
        {5000, {1024, 1024, 1024, 1024, 904}},
        {3072, {1024, 1024, 1024}},  // a multiple of the block: no partial write
        {1, {1}},
        {0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unpacked);
        ClearProgressLog();
        const std::vector<uint8_t> stream = SomeStream(2000, c.unpacked);
        const std::string path = folder_ / "out.bin";
        HANDLE file = CreateForWriting(path);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const bool complete = DecodePackedStream(ReportToPage, file, stream.data(),
                                                 static_cast<uint32_t>(stream.size()), c.unpacked);
        CloseHandle(file);
        EXPECT_TRUE(complete);

        std::string written;
        ASSERT_TRUE(ReadWholeFile(path, &written));
        EXPECT_EQ(written.size(), c.unpacked);
        EXPECT_TRUE(written == DecodeInMemory(stream, c.unpacked));
        std::vector<uint32_t> reported;
        for (const ProgressCall& call : ProgressLog()) {
            EXPECT_EQ(call.page, kPage);
            reported.push_back(call.bytes);
        }
        EXPECT_EQ(reported, c.writes);
    }
}

TEST_F(PackedStreamTest, FailedWriteStopsDecodingAndIsReported) {
    const std::vector<uint8_t> stream = SomeStream(1000, 3);
    const std::string path = folder_ / "read-only-handle.bin";
    HANDLE file = CreateForWriting(path, GENERIC_READ);  // WriteFile fails on it
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const bool complete = DecodePackedStream(ReportToPage, file, stream.data(),
                                             static_cast<uint32_t>(stream.size()), 5000);
    CloseHandle(file);
    EXPECT_FALSE(complete);
    EXPECT_TRUE(ProgressLog().empty());
}

TEST_F(PackedStreamTest, FullDiskStopsDecodingAndTheMeterCountsOnlyWhatWasWritten) {
    std::string why;
    const std::string disk = SmallDisk(&why);
    if (disk.empty()) GTEST_SKIP() << why;
    TempFolder onDisk("stream", disk.c_str());
    const std::string path = onDisk / "too-big.bin";
    const uint32_t unpacked = 200000;  // the disk holds 64 KiB
    const std::vector<uint8_t> stream = SomeStream(5000, 4);
    HANDLE file = CreateForWriting(path);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const bool complete = DecodePackedStream(ReportToPage, file, stream.data(),
                                             static_cast<uint32_t>(stream.size()), unpacked);
    LARGE_INTEGER size;
    ASSERT_TRUE(GetFileSizeEx(file, &size));
    CloseHandle(file);
    EXPECT_FALSE(complete);
    EXPECT_LT(size.QuadPart, unpacked);
    EXPECT_EQ(ProgressLogTotal(), static_cast<uint64_t>(size.QuadPart));
}

}  // namespace
