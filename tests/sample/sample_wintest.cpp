// The second product, tests/sample: its setup.exe, built from the same
// objects as the shipped one with only its description and payload files,
// installed whole by the walk of `make demo`. This program links that
// product's record, so the walk and the checks read its names, counts and
// texts, and the files, links and registry values must be its own; its own
// uninstaller removes them.
#include <gtest/gtest.h>

#include <string>

#include "core/config.h"
#include "tests/walk/installation.h"
#include "tests/walk/walk.h"

namespace {

TEST(SecondProduct, InstallsWholeWithTheDemoWalk) {
    // The record is the sample's, not the shipped product's.
    ASSERT_STREQ(g_product.productName, "Sorrel Clock");
    ASSERT_EQ(g_product.fileCount, 7);
    ASSERT_EQ(g_product.shortcutCount, 3);
    ForgetEarlierRuns();
    ProvideFindExtensionsKey();
    const Installation expected = ExpectedInstallation("C:\\Sorrel Walk\\Sorrel Clock");
    RemoveInstallation(expected);

    Walk walk("sample");
    ASSERT_TRUE(StartSetup(&walk.run)) << SetupPath();
    ASSERT_TRUE(WalkWholeInstallation(walk, "C:\\Sorrel Walk", ReportFailedStep));
    EXPECT_EQ(WaitForExit(&walk.run, 20000), 1);

    EXPECT_EQ(RememberedFolder(), expected.installFolder);
    ExpectFilesInstalled(expected, false);
    ExpectRegistryEntries(expected);
    ExpectShortcuts(expected);

    // Its own uninstaller, entry 0, removes it; it registered no class.
    EXPECT_EQ(g_registration.classId[0], '\0');
    SetupRun uninstall;
    ASSERT_TRUE(StartCommand(&uninstall, UninstallCommand() + " /S"));
    EXPECT_EQ(WaitForExit(&uninstall, 20000), 0);
    CloseRun(&uninstall);
    ExpectProductRemoved(expected);
    EXPECT_TRUE(WaitUntilUninstallerGone(expected));
    RemoveInstallation(expected);
}

}  // namespace
