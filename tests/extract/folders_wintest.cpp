// The install folder's preparation: when an existing folder counts as an
// earlier installation, and the creation of a folder path.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/config.h"
#include "extract/install.h"
#include "tests/support/temp_folder.h"

namespace {

class FolderTest : public ::testing::Test {
protected:
    std::string Make(const std::string& relative, const std::string& contents = "x",
                     DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const std::string path = root_ / relative;
        EXPECT_TRUE(WriteWholeFile(path, contents)) << path;
        if (attributes != FILE_ATTRIBUTE_NORMAL) SetFileAttributesA(path.c_str(), attributes);
        return path;
    }
    void MakeFolder(const std::string& relative) {
        EXPECT_TRUE(CreateDirectoryA((root_ / relative).c_str(), nullptr)) << relative;
    }
    TempFolder root_{"folders"};
};

TEST_F(FolderTest, AnEarlierInstallationIsRecognisedByAnInstallFolderFileOfTheTable) {
    const std::string folder = root_.path();
    EXPECT_FALSE(HoldsEarlierInstallation(folder.c_str(), g_product));  // empty

    Make("notes.txt");
    Make("Parvunin.exe");    // a Windows-folder entry's name does not count
    MakeFolder("Read Me.txt");  // nor does a folder of a file's name
    EXPECT_FALSE(HoldsEarlierInstallation(folder.c_str(), g_product));

    Make("Order.txt");
    EXPECT_TRUE(HoldsEarlierInstallation(folder.c_str(), g_product));
}

TEST_F(FolderTest, CreateFolderPathCreatesEveryMissingLevel) {
    MakeFolder("Exists");
    const std::string path = root_ / "Exists\\Velmora Utilities\\Trovado Pro\\Data";
    CreateFolderPath(path.c_str());
    EXPECT_TRUE(FolderExists(root_ / "Exists\\Velmora Utilities"));
    EXPECT_TRUE(FolderExists(root_ / "Exists\\Velmora Utilities\\Trovado Pro"));
    EXPECT_TRUE(FolderExists(path));

    const std::string slashed = root_ / "Other\\Level\\";
    CreateFolderPath(slashed.c_str());
    EXPECT_TRUE(FolderExists(root_ / "Other\\Level"));

    // A path longer than the work buffer creates nothing, not even its
    // first levels: a cut path would name other folders.
    const std::string tooLong = root_ / ("Cut\\" + std::string(260, 'b'));
    CreateFolderPath(tooLong.c_str());
    EXPECT_FALSE(FolderExists(root_ / "Cut"));
}

}  // namespace
