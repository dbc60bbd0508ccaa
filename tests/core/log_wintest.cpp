#include "core/log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find("\r\n", start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 2;
    }
    return lines;
}

bool IsDigits(const std::string& text, size_t at, size_t count) {
    if (at + count > text.size()) return false;
    for (size_t i = at; i < at + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// A whole log: the header's lines in order, code-page and UTF-16 text in
// UTF-8 without a byte-order mark, an error on one line with the system's
// text, and the exit code last; without a name, the log goes into the
// temporary folder under the stem and the date.
TEST(Log, WritesTheHeaderAndEachLineInUtf8AndTheExitCodeLast) {
    // "Café" as the code page spells it.
    char cafe[16] = "";
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, L"Caf\u00e9", -1, cafe, sizeof cafe, nullptr, &lossy);
    ASSERT_FALSE(lossy) << "the code page has no e acute";

    TempFolder folder("log");
    const std::string path = folder / "run.log";
    ASSERT_TRUE(OpenLog(path.c_str(), "unused"));
    LogHeader("Trovado Pro 4.02 Setup log", "\"setup.exe\" /LOG=\"run.log\"");
    LogLine("File installed: %s\\%s (100%%)", "C:\\Apps", cafe);
    LogWideLine("Link created", L"C:\\Menu\\\u30DD.lnk");
    LogError("writing", "C:\\Apps\\a.txt", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(CloseLog(3010), 3010);
    LogLine("after the end");

    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, &text));
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::vector<std::string> lines = Lines(text);
    ASSERT_EQ(lines.size(), 10u) << text;
    EXPECT_EQ(lines[0], "Trovado Pro 4.02 Setup log");
    EXPECT_EQ(lines[1], "Program: wintest-core.exe version 4.2.0.0");
    EXPECT_EQ(lines[2], "Command line: \"setup.exe\" /LOG=\"run.log\"");
    const std::string& windows = lines[3];
    EXPECT_EQ(windows.substr(0, 9), "Windows: ");
    EXPECT_TRUE(IsDigits(windows, 9, 1) && windows.find(" build ") != std::string::npos) << windows;
    EXPECT_TRUE(lines[4] == "Elevated: yes" || lines[4] == "Elevated: no") << lines[4];
    const std::string& started = lines[5];
    EXPECT_TRUE(started.size() == 28 && started.substr(0, 9) == "Started: " && IsDigits(started, 9, 4) &&
                started[13] == '-' && started[19] == ' ' && started[22] == ':' && IsDigits(started, 26, 2))
        << started;
    EXPECT_EQ(lines[6], "File installed: C:\\Apps\\Caf\xC3\xA9 (100%)");
    EXPECT_EQ(lines[7], "Link created: C:\\Menu\\\xE3\x83\x9D.lnk");
    const std::string error = "Error: writing C:\\Apps\\a.txt: Windows error 2: ";
    EXPECT_EQ(lines[8].substr(0, error.size()), error);
    EXPECT_GT(lines[8].size(), error.size()) << "the system's text";
    EXPECT_NE(lines[8].back(), ' ');
    EXPECT_EQ(lines[9], "Exit code: 3010");

    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string pattern = std::string(temp) + "Portavo Log Test *.log";
    ASSERT_TRUE(OpenLog("", "Portavo Log Test"));
    CloseLog(0);
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << pattern;
    FindClose(search);
    const std::string name = found.cFileName;  // "Portavo Log Test 2026-12-08 14.05.09.log"
    EXPECT_TRUE(name.size() == 40 && IsDigits(name, 17, 4) && name[21] == '-' && name[27] == ' ' &&
                name[30] == '.' && IsDigits(name, 34, 2))
        << name;
    const std::string named = std::string(temp) + name;
    EXPECT_TRUE(ReadWholeFile(named, &text) && text == "Exit code: 0\r\n") << named;
    DeleteFileA(named.c_str());
}

}  // namespace
