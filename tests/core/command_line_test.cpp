// The switches an administrator types: which command lines start an
// unattended run, what each value reads as, and what is refused.
#include "core/command_line.h"

#include <gtest/gtest.h>

#include <string>


namespace {

struct Row {
    const char* line;
    RunMode mode;
    const char* dir;  // nullptr: no /DIR
    const char* group;
    const char* log;  // nullptr: no /LOG; "" the default name
    bool noIcons, help;
    const char* refused;
};

const Row kRows[] = {
    {"", kRunWizard, nullptr, nullptr, nullptr, false, false, ""},
    {"/VERYSILENT", kRunVerySilent, nullptr, nullptr, nullptr, false, false, ""},
    {"-s", kRunVerySilent, nullptr, nullptr, nullptr, false, false, ""},
    {"/silent /VerySilent", kRunVerySilent, nullptr, nullptr, nullptr, false, false, ""},
    {"/VERYSILENT /SILENT", kRunVerySilent, nullptr, nullptr, nullptr, false, false, ""},
    {"  /SILENT\t/NOICONS  ", kRunSilent, nullptr, nullptr, nullptr, true, false, ""},
    {"/S /DIR=\"C:\\My Apps\" /GROUP=\"Tools\\Trovado\" /LOG=\"C:\\logs\\t.log\"", kRunVerySilent,
     "C:\\My Apps", "Tools\\Trovado", "C:\\logs\\t.log", false, false, ""},
    {"\"/DIR=D:\\A B\\\" /s", kRunVerySilent, "D:\\A B\\", nullptr, nullptr, false, false, ""},
    {"/log", kRunWizard, nullptr, nullptr, "", false, false, ""},
    {"/?", kRunWizard, nullptr, nullptr, nullptr, false, true, ""},
    {"-help /S", kRunVerySilent, nullptr, nullptr, nullptr, false, true, ""},
    // Refused: an unknown switch, a bare word, a missing or unwanted value.
    {"/S /QUIET", kRunVerySilent, nullptr, nullptr, nullptr, false, false, "/QUIET"},
    {"/S C:\\Apps", kRunVerySilent, nullptr, nullptr, nullptr, false, false, "C:\\Apps"},
    {"/S /DIR", kRunVerySilent, nullptr, nullptr, nullptr, false, false, "/DIR"},
    {"/S /DIR=\"\"", kRunVerySilent, nullptr, nullptr, nullptr, false, false, "/DIR=\"\""},
    {"/S=1", kRunWizard, nullptr, nullptr, nullptr, false, false, "/S=1"},
    {"/SILENTLY", kRunWizard, nullptr, nullptr, nullptr, false, false, "/SILENTLY"},
};

TEST(CommandLineTest, ReadsEachSwitchAndRefusesTheRest) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.line);
        SetupSwitches s;
        ReadSetupSwitches(row.line, &s);
        EXPECT_EQ(s.mode, row.mode);
        EXPECT_EQ(s.hasDir, row.dir != nullptr);
        if (row.dir) EXPECT_STREQ(s.dir, row.dir);
        EXPECT_EQ(s.hasGroup, row.group != nullptr);
        if (row.group) EXPECT_STREQ(s.group, row.group);
        EXPECT_EQ(s.log, row.log != nullptr);
        if (row.log) EXPECT_STREQ(s.logFile, row.log);
        EXPECT_EQ(s.noIcons, row.noIcons);
        EXPECT_EQ(s.help, row.help);
        EXPECT_STREQ(s.refused, row.refused);
    }
}

// A value longer than a path is refused, not cut to another folder.
TEST(CommandLineTest, RefusesAValueThatDoesNotFit) {
    const std::string line = "/S /DIR=C:\\" + std::string(kPathBufferSize, 'a');
    SetupSwitches s;
    ReadSetupSwitches(line.c_str(), &s);
    EXPECT_FALSE(s.hasDir);
    EXPECT_EQ(std::string(s.refused).substr(0, 7), "/DIR=C:");
}

}  // namespace
