// portavo-pack as the build calls it: pack, check (which must stop the build
// on a stream that does not give the file back), unpack, and its usage errors.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tools/pack/corpus.h"

namespace {

const std::string kTool = std::string(PORTAVO_TOOLS_DIR) + "/pack/portavo-pack";

class LzhufTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(access(kTool.c_str(), X_OK), 0) << kTool << " is not built";
        char pattern[] = "/tmp/portavo-pack-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        if (!dir_.empty()) system(("rm -rf '" + dir_ + "'").c_str());
    }

    std::string Path(const char* name) const { return dir_ + "/" + name; }

    // Runs the tool; returns its exit code and keeps what it wrote to stderr.
    int Run(const std::string& args) {
        const std::string command = kTool + " " + args + " 2>'" + Path("stderr") + "' >/dev/null";
        const int status = system(command.c_str());
        std::ifstream in(Path("stderr"));
        errors_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    void WriteFile(const char* name, const std::vector<uint8_t>& data) {
        std::ofstream out(Path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    }

    std::vector<uint8_t> ReadFile(const char* name) {
        std::ifstream in(Path(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string dir_;
    std::string errors_;
};

TEST_F(LzhufTool, PacksChecksAndUnpacks) {
    const std::vector<uint8_t> data = MakeBinaryCorpus(30000, 12);
    WriteFile("file.bin", data);
    ASSERT_EQ(Run("pack " + Path("file.bin") + " " + Path("file.pk")), 0) << errors_;
    EXPECT_LT(ReadFile("file.pk").size(), data.size());
    EXPECT_EQ(Run("check " + Path("file.bin") + " " + Path("file.pk")), 0) << errors_;
    ASSERT_EQ(Run("unpack " + Path("file.pk") + " " + Path("back.bin") + " 30000"), 0) << errors_;
    EXPECT_TRUE(ReadFile("back.bin") == data);
}

TEST_F(LzhufTool, CheckFailsNamingTheStreamThatDoesNotGiveTheFileBack) {
    std::vector<uint8_t> data = MakeTextCorpus(20000, 13);
    WriteFile("file.txt", data);
    ASSERT_EQ(Run("pack " + Path("file.txt") + " " + Path("file.pk")), 0);
    data[12345] ^= 1;
    WriteFile("changed.txt", data);
    EXPECT_EQ(Run("check " + Path("changed.txt") + " " + Path("file.pk")), 1);
    EXPECT_NE(errors_.find(Path("file.pk")), std::string::npos) << errors_;
    EXPECT_NE(errors_.find("byte 12345"), std::string::npos) << errors_;

    std::vector<uint8_t> stream = ReadFile("file.pk");
    stream.resize(stream.size() / 2);
    WriteFile("cut.pk", stream);
    EXPECT_EQ(Run("check " + Path("file.txt") + " " + Path("cut.pk")), 1);
    EXPECT_EQ(Run("check " + Path("missing.txt") + " " + Path("file.pk")), 1);
    EXPECT_NE(errors_.find("missing.txt"), std::string::npos) << errors_;
}

TEST_F(LzhufTool, RefusesBadCommandLines) {
    WriteFile("file.txt", {'a', 'b', 'c'});
    EXPECT_EQ(Run(""), 2);
    EXPECT_NE(errors_.find("usage:"), std::string::npos);
    EXPECT_EQ(Run("pack " + Path("file.txt")), 2);
    EXPECT_EQ(Run("squeeze a b"), 2);
    EXPECT_EQ(Run("unpack " + Path("file.txt") + " " + Path("out") + " 12x"), 2);
    EXPECT_EQ(Run("unpack " + Path("file.txt") + " " + Path("out") + " 4294967296"), 2);
    EXPECT_EQ(Run("pack " + Path("file.txt") + " " + Path("no/such/folder/out")), 1);
}

}  // namespace
