#include "core/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

// Each run of digits written as one '9'.
std::string Masked(const std::string& text) {
    std::string masked;
    for (char c : text) {
        const bool digit = c >= '0' && c <= '9';
        if (!digit || masked.empty() || masked.back() != '9') masked += digit ? '9' : c;
    }
    return masked;
}

// The file's lines; the last must end in CRLF too.
std::vector<std::string> Lines(const std::string& path) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(path, &text)) << path;
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back("(no CRLF) " + text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// A whole log: the header's lines in order, code-page and UTF-16 text in
// UTF-8 without a byte-order mark, an error on one line with the system's
// text, and the exit code last.
TEST(Log, WritesTheHeaderAndEachLineInUtf8AndTheExitCodeLast) {
    char cafe[16] = "";  // "Café" as the code page spells it
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"Caf\u00e9", -1, cafe, sizeof cafe, nullptr, &lossy);
    ASSERT_FALSE(lossy) << "the code page has no e acute";

    TempFolder folder("log");
    ASSERT_TRUE(OpenLog((folder / "run.log").c_str(), "unused"));
    LogHeader("Trovado Pro Setup log", "\"setup.exe\" /LOG=\"run.log\"");
    LogLine("File installed: %s\\%s (%%)", "C:\\Apps", cafe);
    LogWideLine("Link created", L"C:\\Menu\\\u30DD.lnk");
    LogError("writing", "C:\\a.txt", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CloseLog(3010), 3010);
    LogLine("after the end");

    const std::vector<std::string> lines = Lines(folder / "run.log");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0], "Trovado Pro Setup log");
    EXPECT_EQ(lines[1], "Program: wintest-core.exe version 4.2.0.0");
    EXPECT_EQ(lines[2], "Command line: \"setup.exe\" /LOG=\"run.log\"");
    EXPECT_EQ(Masked(lines[3]), "Windows: 9.9 build 9");
    EXPECT_TRUE(lines[4] == "Elevated: yes" || lines[4] == "Elevated: no") << lines[4];
    EXPECT_EQ(Masked(lines[5]), "Started: 9-9-9 9:9:9");
    EXPECT_EQ(lines[5].size(), 28u);
    EXPECT_EQ(lines[6], "File installed: C:\\Apps\\Caf\xC3\xA9 (%)");
    EXPECT_EQ(lines[7], "Link created: C:\\Menu\\\xE3\x83\x9D.lnk");
    const std::string error = "Error: writing C:\\a.txt: Windows error 2: ";
    EXPECT_EQ(lines[8].substr(0, error.size()), error);
    EXPECT_GT(lines[8].size(), error.size()) << "the system's text";
    EXPECT_NE(lines[8].back(), ' ');
    EXPECT_EQ(lines[9], "Exit code: 3010");
}

}  // namespace
