// Generating the product sources: sizes come from the payload and packed
// files, the outputs carry the record and one resource per entry, and a
// payload that does not match the description writes nothing. Also checks
// the record that this build generated and compiled in.
#include "tools/config/generate.h"

#include "tools/config/checksums.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// A scratch tree: description, two payload folders, the packed folder and
// the gen folder, removed afterwards.
class GenerateTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/portavo-config-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root_ = pattern;
        for (const char* dir : {"texts", "generated", "packed"}) fs::create_directories(root_ / dir);
        request_.description = (root_ / "product.ini").string();
        request_.resourceScript = PORTAVO_SOURCE_DIR "/resources/setup.rc";
        request_.payloadDirs = {(root_ / "texts").string(), (root_ / "generated").string()};
        request_.packedDir = (root_ / "packed").string();
        request_.genDir = (root_ / "gen").string();
        std::string text =
            "[product]\nname = Widget Pro\nversion = 1.0\ntagline = Back\\slash, what?\n"
            "company = Acme \"Tools\"\nhelp_link = http://acme.example/\n"
            "release_time = 2001, 1, 1, 1, 0, 0, 0, 0\nshortcut_count = 1\n";
        for (int i = 0; i < 7; ++i) {
            std::string name = "File " + std::to_string(i) + ".bin";
            text += "[entry]\nfile = " + name + "\nflags = " + (i == 0 ? "0x12" : "0x11") +
                    "\nresource = R" + std::to_string(i) + "\nshortcut = " + (i == 0 ? "Go" : "-") + "\n";
            // Sizes that tell the entries apart; packed streams are never the
            // payload's size.
            WriteAll(root_ / (i % 2 ? "texts" : "generated") / name, std::string(100 + i, 'x'));
            WriteAll(root_ / "packed" / name, std::string(10 + 3 * i, 'p'));
        }
        WriteAll(request_.description, text);
    }
    void TearDown() override { fs::remove_all(root_); }

    bool Generate(std::string* messages) {
        std::vector<std::string> errors;
        bool ok = GenerateProductSources(request_, &record_, &errors);
        for (const std::string& e : errors) *messages += e + "\n";
        return ok;
    }

    fs::path root_;
    GenerateRequest request_;
    ProductConfig record_;
};

TEST_F(GenerateTest, RecordTakesItsSizesFromTheFilesAndTheOutputsCarryIt) {
    std::string errors;
    ASSERT_TRUE(Generate(&errors)) << errors;
    EXPECT_STREQ(record_.companyName, "Acme \"Tools\"");
    EXPECT_EQ(record_.fileCount, 7);
    EXPECT_EQ(record_.shortcutCount, 1);
    EXPECT_EQ(record_.releaseTime.year, 2001);
    EXPECT_EQ(record_.releaseTime.dayOfWeek, 1);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(record_.files[i].unpackedSize, 100u + i) << i;
        EXPECT_EQ(record_.files[i].packedSize, 10u + 3 * i) << i;
    }
    EXPECT_STREQ(record_.files[0].shortcutName, "Go");
    EXPECT_STREQ(record_.files[3].shortcutName, "-");
    // Unused entries and the space after each text stay zero.
    EXPECT_EQ(record_.files[7].fileName[0], '\0');
    EXPECT_EQ(record_.files[9].unpackedSize, 0u);
    for (size_t i = strlen(record_.tagline); i < sizeof record_.tagline; ++i) EXPECT_EQ(record_.tagline[i], 0);

    std::string source = ReadAll(root_ / "gen" / "product_config.cpp");
    EXPECT_NE(source.find("#include \"core/config.h\""), std::string::npos);
    EXPECT_NE(source.find("const ProductConfig g_product = {"), std::string::npos);
    EXPECT_NE(source.find("\"Acme \\\"Tools\\\"\""), std::string::npos) << source;
    EXPECT_NE(source.find("\"Back\\\\slash, what\\?\""), std::string::npos) << source;
    EXPECT_NE(source.find("{2001, 1, 1, 1, 0, 0, 0, 0}"), std::string::npos) << source;
    EXPECT_NE(source.find("{\"File 0.bin\", 0x12, \"R0\", \"Go\", 100u, 10u},"), std::string::npos) << source;
    EXPECT_NE(source.find("{\"File 6.bin\", 0x11, \"R6\", \"-\", 106u, 28u},"), std::string::npos) << source;

    std::string script = ReadAll(root_ / "gen" / "payload.rc");
    for (int i = 0; i < 7; ++i) {
        std::string line = "R" + std::to_string(i) + " RCDATA \"" +
                           (root_ / "packed" / ("File " + std::to_string(i) + ".bin")).string() + "\"\n";
        EXPECT_NE(script.find(line), std::string::npos) << line << script;
    }
    const fs::path checksums = root_ / "gen" / "checksums.bin";
    EXPECT_NE(script.find("CHECKSUMS RCDATA \"" + checksums.string() + "\"\n"), std::string::npos) << script;

    // One checksum per entry, of the payload file's bytes, in table order.
    const std::string table = ReadAll(checksums);
    std::vector<FileChecksum> sums;
    std::string why;
    ASSERT_TRUE(ParseChecksumTable(reinterpret_cast<const uint8_t*>(table.data()), table.size(), &sums, &why)) << why;
    ASSERT_EQ(sums.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        const std::string bytes(100 + i, 'x');
        EXPECT_EQ(sums[i].resourceName, "R" + std::to_string(i));
        EXPECT_EQ(sums[i].crc, Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) << i;
    }
    const std::string version = ReadAll(root_ / "gen" / "version.rc");
    EXPECT_NE(version.find("VALUE \"CompanyName\", \"Acme \"\"Tools\"\"\"\n"), std::string::npos) << version;
    EXPECT_NE(version.find("VALUE \"FileDescription\", \"Widget Pro Setup\"\n"), std::string::npos) << version;
    const std::string manifest = ReadAll(root_ / "gen" / "setup.manifest");
    EXPECT_NE(manifest.find("name=\"AcmeTools.WidgetPro.Setup\" version=\"1.0.0.0\""), std::string::npos)
        << manifest;
}

TEST_F(GenerateTest, PayloadThatDoesNotMatchTheDescriptionWritesNothing) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> breakIt;
        const char* message;
    } cases[] = {
        {"missing payload", [](const fs::path& r) { fs::remove(r / "texts" / "File 3.bin"); },
         "product.ini:25: entry 3: file \"File 3.bin\": payload file missing; looked in "},
        {"payload twice", [](const fs::path& r) { WriteAll(r / "texts" / "File 2.bin", "dup"); },
         "entry 2: file \"File 2.bin\": found twice"},
        {"missing packed", [](const fs::path& r) { fs::remove(r / "packed" / "File 5.bin"); },
         "entry 5: file \"File 5.bin\": packed stream "},
        {"a folder, not a file", [](const fs::path& r) {
             fs::remove(r / "generated" / "File 4.bin");
             fs::create_directories(r / "generated" / "File 4.bin");
         },
         "entry 4: file \"File 4.bin\": payload file missing"},
        {"invalid description", [](const fs::path& r) {
             std::string text = ReadAll(r / "product.ini");
             WriteAll(r / "product.ini", text + "[entry]\nfile = x\nflags = 0x13\nresource = X\n");
         },
         "entry 7: flags: 0x13 sets both"},
        {"no description", [](const fs::path& r) { fs::remove(r / "product.ini"); },
         "cannot read the product description"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        c.breakIt(root_);
        std::string errors;
        EXPECT_FALSE(Generate(&errors)) << c.what;
        EXPECT_NE(errors.find(c.message), std::string::npos) << c.what << ": " << errors;
        EXPECT_FALSE(fs::exists(root_ / "gen" / "product_config.cpp")) << c.what;
        EXPECT_FALSE(fs::exists(root_ / "gen" / "payload.rc")) << c.what;
        EXPECT_FALSE(fs::exists(root_ / "gen" / "checksums.bin")) << c.what;
        EXPECT_FALSE(fs::exists(root_ / "gen" / "version.rc")) << c.what;
        EXPECT_FALSE(fs::exists(root_ / "gen" / "setup.manifest")) << c.what;
    }
}

// The build settings that the build trees include at configure time: every
// file name as one list element, whatever CMake would otherwise expand, and
// the release time in seconds, the same as the C library's UTC conversion.
TEST_F(GenerateTest, BuildSettingsCarryTheFileListAndTheReleaseTime) {
    std::string text = ReadAll(request_.description);
    const size_t at = text.find("File 3.bin");
    text.replace(at, 10, "${x} @y@.bin");
    WriteAll(request_.description, text);
    const fs::path out = root_ / "gen" / "product.cmake";
    std::vector<std::string> errors;
    ASSERT_TRUE(GenerateBuildSettings(request_.description, request_.resourceScript, request_.macroListings,
                                      out.string(), &errors));
    const std::string settings = ReadAll(out);
    EXPECT_NE(settings.find("list(APPEND PORTAVO_PAYLOAD_FILES \"File 0.bin\")\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("list(APPEND PORTAVO_PAYLOAD_FILES \"\\${x} \\@y\\@.bin\")\n"), std::string::npos)
        << settings;
    EXPECT_NE(settings.find("set(PORTAVO_RELEASE_EPOCH 978307200)\n"), std::string::npos) << settings;

    // Unchanged settings are not written again, so the trees that include
    // them do not configure again.
    fs::last_write_time(out, fs::file_time_type());
    ASSERT_TRUE(GenerateBuildSettings(request_.description, request_.resourceScript, request_.macroListings,
                                      out.string(), &errors));
    EXPECT_EQ(fs::last_write_time(out), fs::file_time_type());

    WriteAll(request_.description, text.replace(text.find("${x}"), 4, "a;b"));
    EXPECT_FALSE(GenerateBuildSettings(request_.description, request_.resourceScript, request_.macroListings,
                                      out.string(), &errors));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("entry 3: file \"a;b @y@.bin\": ';' cannot be carried"), std::string::npos) << errors[0];

    // Month ends, leap days, the turn of eras and the last 32-bit second.
    const uint16_t times[][8] = {{1970, 1, 4, 1, 0, 0, 0, 0},    {1972, 2, 2, 29, 23, 59, 59, 0},
                                 {1999, 12, 5, 31, 12, 0, 0, 0},  {2000, 2, 2, 29, 0, 0, 1, 0},
                                 {2000, 3, 3, 1, 0, 0, 0, 0},     {2006, 12, 6, 23, 4, 2, 0, 0},
                                 {2100, 3, 1, 1, 6, 30, 0, 0},    {2106, 2, 0, 7, 6, 28, 15, 0}};
    for (const uint16_t* t : times) {
        struct tm utc = {};
        utc.tm_year = t[0] - 1900;
        utc.tm_mon = t[1] - 1;
        utc.tm_mday = t[3];
        utc.tm_hour = t[4];
        utc.tm_min = t[5];
        utc.tm_sec = t[6];
        EXPECT_EQ(ReleaseEpoch(t), static_cast<int64_t>(timegm(&utc))) << t[0] << "-" << t[1] << "-" << t[3];
    }
}

// The record this build compiled in agrees with the description and with the
// payload and packed files it was generated from.
TEST(BuiltRecord, MatchesTheShippedPayload) {
    ASSERT_EQ(g_product.fileCount, 10);
    EXPECT_EQ(g_product.shortcutCount, 7);
    EXPECT_STREQ(g_product.productName, "Trovado Pro");
    EXPECT_STREQ(g_product.version, "4.02");
    EXPECT_STREQ(g_product.companyName, "Velmora Utilities");
    const ReleaseTime& t = g_product.releaseTime;
    EXPECT_EQ(std::vector<int>({t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds}),
              std::vector<int>({2006, 12, 6, 23, 4, 2, 0, 0}));
    const uint32_t sizes[10] = {49152, 57344, 409600, 253952, 80055, 57618, 4089, 1976, 1263, 32768};
    uint64_t total = 0;
    for (int i = 0; i < 10; ++i) {
        const FileEntry& f = g_product.files[i];
        EXPECT_EQ(f.unpackedSize, sizes[i]) << f.fileName;
        total += f.unpackedSize;
        fs::path source = fs::path(PORTAVO_SOURCE_DIR) / "resources" / "payload" / f.fileName;
        if (!fs::exists(source)) source = fs::path(PORTAVO_GEN_DIR) / "payload" / f.fileName;
        ASSERT_TRUE(fs::exists(source)) << source;
        EXPECT_EQ(fs::file_size(source), f.unpackedSize) << source;
        EXPECT_EQ(fs::file_size(fs::path(PORTAVO_GEN_DIR) / "packed" / f.fileName), f.packedSize) << f.fileName;
        EXPECT_GT(f.packedSize, 0u);
        EXPECT_LT(f.packedSize, f.unpackedSize) << f.fileName;
    }
    EXPECT_EQ(total, 947817u);
    // The build settings that stamp setup.exe name the same release time.
    EXPECT_NE(ReadAll(fs::path(PORTAVO_GEN_DIR) / "product.cmake").find("set(PORTAVO_RELEASE_EPOCH 1166846520)\n"),
              std::string::npos);
}

}  // namespace
