// The program group page and the shortcut dialog in the real setup.exe:
// Enter and the step panel while the links are made, a nested group, a link
// that cannot be saved, and Escape. The links go into the Wine prefix's real
// Start menu, which every scenario cleans up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/app.h"
#include "core/config.h"
#include "resources/ids.h"
#include "tests/support/temp_folder.h"
#include "tests/walk/installation.h"
#include "tests/support/screen.h"
#include "tests/walk/walk.h"

namespace {

const char kGroupCaption[] = "Trovado Pro Program Group";
const char kShortcutsCaption[] = "Creating Trovado Pro Shortcuts";
const char kAbortStart[] = "Installation Aborted!";
enum { kGroupStep = 3, kShortcutsStep = 4 };


class GroupWalk : public ::testing::Test {
protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        ForgetEarlierRuns();
    }
    void TearDown() override {
        for (const Installation& i : made_) RemoveInstallation(i);
        for (const std::string& folder : extra_) RemoveTree(folder);
    }
    Installation Expect(const std::string& folder, const std::string& group) {
        made_.push_back(ExpectedInstallation(folder, group));
        RemoveInstallation(made_.back());  // whatever an earlier run, the demo say, left there
        return made_.back();
    }
    // Up to the group page; nullptr when a page on the way failed.
    HWND WalkToGroupPage(Walk& walk, const std::string& folder) {
        if (!StartSetup(&walk.run) || !PassWelcome(walk) || !PassLicense(walk) ||
            !PassLocation(walk, folder) || !PassInstalling(walk))
            return nullptr;
        return WaitForPage(walk, kGroupCaption);
    }
    std::vector<Installation> made_;
    std::vector<std::string> extra_;
};

TEST_F(GroupWalk, NestedGroupIsMadeWhileTheStepPanelShowsCreatingShortcuts) {
    const Installation expected =
        Expect("C:\\Portavo Group Walk\\Trovado Pro", "Velmora\\Trovado Pro");
    extra_.push_back(expected.programsFolder + "\\Velmora");
    Walk walk("group-nested");
    HWND page = WalkToGroupPage(walk, "C:\\Portavo Group Walk");
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ItemText(page, IDC_GROUP_LIST), "Trovado Pro");
    EXPECT_EQ(HighlightedStep(kGroupStep), kGroupStep);

    SetDlgItemTextA(page, IDC_GROUP_LIST, "Velmora\\Trovado Pro");
    // Enter in the text field; on the focused Continue button it would click it.
    PostMessageA(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, IDC_GROUP_LIST)),
                 TRUE);
    Sleep(200);
    PressKey(page, VK_RETURN);
    Sleep(500);
    EXPECT_EQ(FindRunWindow(walk.run, "#32770", kShortcutsCaption), nullptr) << "Enter went on";
    ASSERT_TRUE(IsWindow(page));
    Snap(walk, "group");

    Click(page, IDC_GROUP_CONTINUE);
    HWND shortcuts = WaitForPage(walk, kShortcutsCaption, 10000);
    ASSERT_NE(shortcuts, nullptr);
    Sleep(600);
    EXPECT_EQ(HighlightedStep(kShortcutsStep), kShortcutsStep) << "- Creating Shortcuts";
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_GROUP_CONTINUE)));
    EXPECT_EQ(GetWindow(shortcuts, GW_OWNER), page);
    Snap(walk, "shortcuts");
    EXPECT_TRUE(WaitUntilGone(shortcuts, 30000));
    EXPECT_TRUE(WaitUntilGone(page, 10000));

    ASSERT_TRUE(PassCompletion(walk, IDNO));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
    ExpectShortcuts(expected);
}

TEST_F(GroupWalk, LinkThatCannotBeSavedEndsTheRunWithTheAbortNoticeAndUndoesIt) {
    const Installation expected = Expect("C:\\Portavo Group Walk\\Trovado Pro", "Trovado Pro");
    // A folder of the test's own where one link would go.
    const std::string blocker = expected.programsFolder + "\\Trovado Pro\\Read Me.lnk";
    CreateDirectoryA((expected.programsFolder + "\\Trovado Pro").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));

    Walk walk("group-unsaved");
    HWND page = WalkToGroupPage(walk, "C:\\Portavo Group Walk");
    ASSERT_NE(page, nullptr);
    Click(page, IDC_GROUP_CONTINUE);

    BoxInfo error;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &error, 30000));
    EXPECT_EQ(error.text, "Unable To Create Shortcuts!");
    EXPECT_EQ(error.icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(error.owner, page);
    Snap(walk, "error");
    ASSERT_TRUE(AnswerMessageBox(error, IDOK));
    BoxInfo notice;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &notice, 10000));
    EXPECT_EQ(notice.text.rfind(kAbortStart, 0), 0u) << notice.text;
    ASSERT_TRUE(AnswerMessageBox(notice, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);

    // The run undid itself: no link and no file is left; the folders that
    // were there before stay.
    for (int i = 0; i < g_product.shortcutCount; ++i) {
        const std::string link =
            expected.programsFolder + "\\Trovado Pro\\" + g_product.files[i].shortcutName + ".lnk";
        if (link != blocker) EXPECT_FALSE(FileExists(link)) << link;
    }
    EXPECT_TRUE(FolderExists(blocker));
    EXPECT_FALSE(FolderExists(expected.installFolder));
}

TEST_F(GroupWalk, EscapeEndsTheRunWithTheAbortNotice) {
    Expect("C:\\Portavo Group Walk\\Trovado Pro", "Trovado Pro");
    Walk walk("group-escape");
    HWND page = WalkToGroupPage(walk, "C:\\Portavo Group Walk");
    ASSERT_NE(page, nullptr);
    PressKey(page, VK_ESCAPE);
    BoxInfo notice;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &notice, 10000));
    EXPECT_EQ(notice.text.rfind(kAbortStart, 0), 0u) << notice.text;
    EXPECT_EQ(notice.icon, static_cast<UINT>(MB_ICONWARNING));
    ASSERT_TRUE(AnswerMessageBox(notice, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
    EXPECT_FALSE(FolderExists(ExpectedInstallation("C:\\x").programsFolder + "\\Trovado Pro"));
}

}  // namespace
