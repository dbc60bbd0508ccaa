// The program location page in the real setup.exe: what it opens on, the
// Drives view, a refused path that keeps the page, and Escape.
#include <gtest/gtest.h>

#include <string>

#include "core/app.h"
#include "resources/ids.h"
#include "tests/walk/screen.h"
#include "tests/walk/walk.h"

namespace {

// A person's double click on the list's first item, the computer.
void DoubleClickFirstItem(HWND list) {
    const LPARAM at = MAKELPARAM(40, 6);
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
}

// The path field once it no longer shows text, within 5 s.
std::string FieldOnceChanged(HWND page, const std::string& text) {
    std::string now = ItemText(page, IDC_FOLDER_PATH);
    for (DWORD start = GetTickCount(); now == text && GetTickCount() - start < 5000; Sleep(50))
        now = ItemText(page, IDC_FOLDER_PATH);
    return now;
}

TEST(LocationWalk, RefusesARootDriveKeepsThePageAndEscapeEndsTheRun) {
    g_instance = GetModuleHandleA(nullptr);
    ForgetEarlierRuns();
    Walk walk("location");
    ASSERT_TRUE(StartSetup(&walk.run));
    ASSERT_TRUE(PassWelcome(walk));
    ASSERT_TRUE(PassLicense(walk));
    HWND page = WaitForPage(walk, "Trovado Pro Program Location");
    ASSERT_TRUE(page);
    Snap(walk, "opened");
    EXPECT_EQ(ItemText(page, IDC_FOLDER_PATH), "C:\\Velmora Utilities\\Trovado Pro");
    HWND list = GetDlgItem(page, IDC_FOLDER_LIST);
    const Image opened = CaptureRect(ScreenRect(list));
    EXPECT_GT(CountColor(opened, {0, 0, opened.width, opened.height}, GetSysColor(COLOR_HIGHLIGHT)),
              50)
        << "the selected folder in the highlight colour";

    DoubleClickFirstItem(list);
    const std::string computer = FieldOnceChanged(page, "C:\\Velmora Utilities\\Trovado Pro");
    EXPECT_NE(computer, "C:\\Velmora Utilities\\Trovado Pro") << "the Drives view";
    EXPECT_FALSE(computer.empty());
    Snap(walk, "drives");

    SetDlgItemTextA(page, IDC_FOLDER_PATH, "C:\\");
    Click(page, IDOK);
    BoxInfo warning;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &warning, 10000));
    EXPECT_EQ(warning.text, "Path Invalid!\r\n\r\nPath may not be a root drive...");
    EXPECT_EQ(warning.icon, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(warning.owner, page);
    Snap(walk, "refused");
    ASSERT_TRUE(AnswerMessageBox(warning, IDOK));
    // Without a window manager the closed box keeps the thread's focus for
    // about 2 s; the field gets it then.
    HWND field = GetDlgItem(page, IDC_FOLDER_PATH);
    for (DWORD start = GetTickCount(); FocusOf(page) != field && GetTickCount() - start < 5000;)
        Sleep(50);
    EXPECT_TRUE(IsWindowVisible(page));
    EXPECT_EQ(FocusOf(page), field);

    PressKey(page, VK_ESCAPE);
    BoxInfo notice;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &notice, 10000));
    EXPECT_EQ(notice.text.substr(0, 21), "Installation Aborted!");
    ASSERT_TRUE(AnswerMessageBox(notice, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
}

}  // namespace
