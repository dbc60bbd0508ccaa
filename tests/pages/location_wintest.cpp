// The location page run in this thread as the wizard runs it: a modal dialog
// driven from a timer inside its own message loop, on real folders, with the
// real registry value that remembers the install folder.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "backdrop/backdrop.h"
#include "core/app.h"
#include "core/config.h"
#include "pages/location.h"
#include "pages/pages.h"
#include "resources/ids.h"
#include "tests/core/code_pages.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/program_keys.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_page.h"
#include "tests/system/registry_tree.h"

namespace {

const char kAbortText[] =
    "Installation Aborted!\r\n\r\nIf you need assistance you can email\r\nsupport at - "
    "support@velmora.com!";

// ---- running the page ----------------------------------------------------

std::function<void(HWND)> g_script;
HWND g_page;

BOOL CALLBACK FindPage(HWND window, LPARAM) {
    if (!GetDlgItem(window, IDC_FOLDER_LIST)) return TRUE;
    g_page = window;
    return FALSE;
}

void CALLBACK RunScript(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_page = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPage, 0);
    if (!g_page) return;
    g_script(g_page);
}

// A script that stops early (a failed ASSERT) leaves the page open; this
// ends it so that the test program goes on.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_page && IsWindow(g_page)) {
        ADD_FAILURE() << "the page was still open after 20 s";
        EndDialog(g_page, 99);
    }
}

// Runs the page until it ends and returns its result; script runs once it
// has opened and ends it, directly or by a key it posts.
INT_PTR RunPage(std::function<void(HWND)> script) {
    g_script = std::move(script);
    const UINT_PTR start = SetTimer(nullptr, 0, 10, RunScript);
    const UINT_PTR watchdog = SetTimer(nullptr, 0, 20000, Watchdog);
    const INT_PTR result = DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_LOCATION), nullptr,
                                           LocationPageProc, 0);
    KillTimer(nullptr, start);
    KillTimer(nullptr, watchdog);
    return result;
}

// ---- looking at the page and acting on it ---------------------------------

HWND List(HWND page) { return GetDlgItem(page, IDC_FOLDER_LIST); }

std::vector<std::string> Items(HWND page) {
    std::vector<std::string> items;
    const int count = static_cast<int>(SendMessageA(List(page), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH + 1] = "";
        SendMessageA(List(page), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

std::vector<int> Kinds(HWND page) {
    std::vector<int> kinds;
    const int count = static_cast<int>(SendMessageA(List(page), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        kinds.push_back(static_cast<int>(SendMessageA(List(page), LB_GETITEMDATA, i, 0)));
    return kinds;
}

std::vector<int> Indents(HWND page) {
    std::vector<int> indents;
    const int count = static_cast<int>(SendMessageA(List(page), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) indents.push_back(FolderIndent(i));
    return indents;
}

int Selected(HWND page) { return static_cast<int>(SendMessageA(List(page), LB_GETCURSEL, 0, 0)); }

std::string Field(HWND page) { return ControlText(page, IDC_FOLDER_PATH); }

void Type(HWND page, const std::string& text) {
    SetDlgItemTextA(page, IDC_FOLDER_PATH, text.c_str());
}

void Click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

// A double click with the mouse on the item, brought into view first.
void DoubleClick(HWND page, int index) {
    HWND list = List(page);
    SendMessageA(list, LB_SETTOPINDEX, index, 0);
    RECT r;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

int IndexOf(HWND page, const std::string& text) {
    const std::vector<std::string> items = Items(page);
    const auto found = std::find(items.begin(), items.end(), text);
    return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

std::string RootName() {
    char name[MAX_PATH] = "";
    LPITEMIDLIST computer;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer))) {
        SHFILEINFOA info = {};
        SHGetFileInfoA(reinterpret_cast<const char*>(computer), 0, &info, sizeof info,
                       SHGFI_PIDL | SHGFI_DISPLAYNAME);
        lstrcpynA(name, info.szDisplayName, sizeof name);
        CoTaskMemFree(computer);
    }
    return name;
}

// Subfolder names of folder as the page should list them: no dot names,
// sorted without regard to case.
std::vector<std::string> ListableSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
            names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

// ---- the fixture ----------------------------------------------------------

// Each test starts as a fresh run: the slot as the program starts with it,
// no remembered folder unless the test writes one; the registry key is put
// back afterwards.
class LocationPage : public testing::Test {
protected:
    static void SetUpTestSuite() {
        g_instance = GetModuleHandleA(nullptr);
        g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
        g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
        SetUpBackdrop(nullptr);
    }
    void SetUp() override {
        saved_ = SaveKeyTree(HKEY_LOCAL_MACHINE, Wide(kCompanyKey));
        RemoveKeyTree(HKEY_LOCAL_MACHINE, Wide(kCompanyKey));
        lstrcpyA(g_installFolder, ".");
    }
    void TearDown() override { RestoreKeyTree(HKEY_LOCAL_MACHINE, saved_); }

    static void Remember(const std::string& folder) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCompanyKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, g_product.productName, 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(key);
    }

private:
    SavedKey saved_;
};

// ---- opening, cancelling ------------------------------------------------

TEST_F(LocationPage, FirstRunOpensOnTheDefaultFolderWithItsAncestors) {
    MessageBoxCatcher boxes;
    std::vector<std::string> items;
    std::vector<int> kinds, indents;
    std::string field, caption, description;
    int selected = -1;
    const INT_PTR result = RunPage([&](HWND page) {
        field = Field(page);
        items = Items(page);
        kinds = Kinds(page);
        indents = Indents(page);
        selected = Selected(page);
        char text[256];
        GetWindowTextA(page, text, sizeof text);
        caption = text;
        description = ControlText(page, IDC_DESCRIPTION);
        Click(page, IDCANCEL);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(caption, "Trovado Pro Program Location");
    EXPECT_EQ(description,
              "The program files for Trovado Pro will be installed to the following folder:");
    EXPECT_EQ(field, "C:\\Velmora Utilities\\Trovado Pro");
    EXPECT_STREQ(g_installFolder, "C:\\Velmora Utilities\\Trovado Pro");
    ASSERT_GE(items.size(), 4u);
    EXPECT_EQ(items[0], RootName());
    EXPECT_FALSE(items[0].empty());
    EXPECT_EQ(items[1], "C:\\");
    EXPECT_EQ(items[2], "C:\\Velmora Utilities");
    EXPECT_EQ(items[3], "C:\\Velmora Utilities\\Trovado Pro");
    EXPECT_EQ(std::vector<int>(kinds.begin(), kinds.begin() + 4),
              (std::vector<int>{kRootItem, kDriveItem, kFolderItem, kFolderItem}));
    EXPECT_EQ(std::vector<int>(indents.begin(), indents.begin() + 4),
              (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(selected, 3);
    // Cancel ends the run with the abort notice.
    ASSERT_EQ(boxes.boxes().size(), 1u);
    EXPECT_EQ(boxes.boxes()[0].caption, "Portavo");
    EXPECT_EQ(boxes.boxes()[0].text, kAbortText);
    EXPECT_EQ(boxes.boxes()[0].icon, static_cast<UINT>(MB_ICONWARNING));
}

TEST_F(LocationPage, OpensOnTheRememberedFolderWithItsSortedSubfolders) {
    TempFolder base("location");
    // Made in reverse order, so that a listing in the file system's order
    // would not come out sorted by accident.
    for (const char* name : {"zeta", "Mid", "alpha", ".hidden", ".."})
        CreateDirectoryA((base / name).c_str(), nullptr);
    WriteWholeFile(base / "a file.txt", "x");
    Remember(base.path());
    std::vector<std::string> items;
    std::vector<int> indents;
    int selected = -1;
    MessageBoxCatcher boxes;
    RunPage([&](HWND page) {
        items = Items(page);
        indents = Indents(page);
        selected = Selected(page);
        Click(page, IDCANCEL);
    });
    EXPECT_STREQ(g_installFolder, base.path().c_str());
    const int current = selected;
    ASSERT_GE(current, 1);
    ASSERT_EQ(items.size(), static_cast<size_t>(current) + 4);
    EXPECT_EQ(items[current], base.path());
    EXPECT_EQ(std::vector<std::string>(items.begin() + current + 1, items.end()),
              (std::vector<std::string>{base / "alpha", base / "Mid", base / "zeta"}));
    for (size_t i = current + 1; i < items.size(); ++i) EXPECT_EQ(indents[i], current + 1);
}

// ---- checking and completing the path --------------------------------------

struct Rejection {
    const char* typed;
    const char* reason;
};

// Types each rejected path and presses Continue; then types accepted and
// presses Continue once more, which ends the page.
void CheckContinue(const std::vector<Rejection>& rejections, const std::string& accepted,
                   const std::string& completed) {
    MessageBoxCatcher boxes;
    std::vector<bool> focusInField;
    std::vector<std::string> slotAfter;
    std::string field;
    std::vector<std::string> items;
    int selected = -1;
    const INT_PTR result = RunPage([&](HWND page) {
        for (const Rejection& r : rejections) {
            Type(page, r.typed);
            SetFocus(GetDlgItem(page, IDOK));
            Click(page, IDOK);
            focusInField.push_back(GetFocus() == GetDlgItem(page, IDC_FOLDER_PATH));
            slotAfter.push_back(g_installFolder);
        }
        Type(page, accepted);
        Click(page, IDOK);
        field = Field(page);
        items = Items(page);
        selected = Selected(page);
    });
    EXPECT_EQ(result, 1);
    ASSERT_EQ(boxes.boxes().size(), rejections.size());
    for (size_t i = 0; i < rejections.size(); ++i) {
        const CaughtBox& box = boxes.boxes()[i];
        EXPECT_EQ(box.caption, "Portavo");
        EXPECT_EQ(box.text, std::string("Path Invalid!\r\n\r\n") + rejections[i].reason)
            << "typed: " << rejections[i].typed;
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONWARNING));
        EXPECT_TRUE(focusInField[i]) << rejections[i].typed;
        EXPECT_EQ(slotAfter[i], "C:\\Velmora Utilities\\Trovado Pro") << rejections[i].typed;
    }
    EXPECT_STREQ(g_installFolder, completed.c_str());
    EXPECT_EQ(field, completed);
    ASSERT_GE(selected, 1);
    EXPECT_EQ(items[selected], completed);
}

TEST_F(LocationPage, RejectsMalformedPathsAndKeepsThePage) {
    const char* const missing = "Missing : or \\ in drive.";
    CheckContinue({{"", "Path may not be empty!"},
                   {"C:", missing},
                   {"Apps", missing},
                   {"\\\\server\\share", missing},
                   {"C:\\", "Path may not be a root drive..."}},
                  "D:\\Apps", "D:\\Apps\\Trovado Pro");
}

TEST_F(LocationPage, RejectsUnusableFolderNamesAndFoldersTooLongForTheFiles) {
    const char* const dots = "A folder name may not be empty or made of dots.";
    const char* const characters =
        "A folder name may not contain < > \" | ? * : / or control characters.";
    const char* const trailing = "A folder name may not end in a space or a dot.";
    const char* const device = "A folder name may not be a device name such as CON or NUL.";
    const char* const tooLong = "Path is too long for the program's files.";
    const std::string longFolder = "D:\\Trovado Pro\\" + std::string(240, 'x');
    // Code page 932's rules, where 0x83 is the first byte of a character.
    InCodePage japanese(932);
    CheckContinue({{"D:\\Apps\x83", "A folder name may not end in an incomplete character."},
                   {"D:\\Downloads\\Trovado Pro\\..", dots},
                   {"D:\\Trovado Pro\\.", dots},
                   {"D:\\Downloads\\Trovado Pro/..\\", characters},
                   {"D:\\Apps:Trovado Pro", characters},
                   {"D:\\Apps\\Trovado Pro ", trailing},
                   {"D:\\Apps.", trailing},
                   {"D:\\Apps\\nul.txt", device},
                   {longFolder.c_str(), tooLong}},
                  "D:\\my trovado pro files", "D:\\my trovado pro files");
}

TEST_F(LocationPage, EnterPressesContinue) {
    MessageBoxCatcher boxes;
    const INT_PTR result = RunPage([](HWND page) {
        HWND field = GetDlgItem(page, IDC_FOLDER_PATH);
        Type(page, "D:\\Trovado");
        SetFocus(field);
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_STREQ(g_installFolder, "D:\\Trovado\\Trovado Pro");
}

// ---- browsing -------------------------------------------------------------

std::vector<std::string> FixedDrives() {
    std::vector<std::string> drives;
    const DWORD mask = GetLogicalDrives();
    for (int i = 0; i < 26; ++i) {
        const std::string root = std::string(1, static_cast<char>('A' + i)) + ":\\";
        if ((mask & (1u << i)) && GetDriveTypeA(root.c_str()) == DRIVE_FIXED) drives.push_back(root);
    }
    return drives;
}

TEST_F(LocationPage, BrowsesDrivesAncestorsAndSubfolders) {
    TempFolder base("browse");
    CreateDirectoryA((base / "inner").c_str(), nullptr);
    CreateDirectoryA((base / "inner\\deep").c_str(), nullptr);
    Remember(base / "inner");
    MessageBoxCatcher boxes;
    const std::string root = RootName();
    const std::vector<std::string> drives = FixedDrives();
    RunPage([&](HWND page) {
        const int current = Selected(page);
        ASSERT_EQ(Items(page)[current], base / "inner");

        // The Current item: nothing happens.
        const std::vector<std::string> before = Items(page);
        DoubleClick(page, current);
        EXPECT_EQ(Items(page), before);
        EXPECT_EQ(Field(page), base / "inner");

        // A subfolder: that folder, its subfolders one level deeper.
        DoubleClick(page, IndexOf(page, base / "inner\\deep"));
        EXPECT_EQ(Field(page), base / "inner\\deep");
        EXPECT_EQ(Items(page)[Selected(page)], base / "inner\\deep");
        EXPECT_EQ(Selected(page), current + 1);
        EXPECT_EQ(static_cast<int>(Items(page).size()), current + 2);

        // An ancestor: that folder.
        DoubleClick(page, IndexOf(page, base.path()));
        EXPECT_EQ(Field(page), base.path());
        EXPECT_EQ(Selected(page), current - 1);
        EXPECT_EQ(Items(page).back(), base / "inner");
        EXPECT_EQ(Indents(page).back(), current);

        // The Root item: the Drives view, fixed drives only, upper-case.
        DoubleClick(page, 0);
        std::vector<std::string> items = Items(page);
        EXPECT_EQ(Field(page), root);
        EXPECT_EQ(g_installFolder, root);
        EXPECT_EQ(Selected(page), 0);
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items[0], root);
        EXPECT_EQ(std::vector<std::string>(items.begin() + 1, items.end()), drives);
        std::vector<int> kinds(items.size(), kDriveItem);
        kinds[0] = kRootItem;
        EXPECT_EQ(Kinds(page), kinds);
        std::vector<int> levels(items.size(), 1);
        levels[0] = 0;
        EXPECT_EQ(Indents(page), levels);

        // The Root item again: nothing.
        DoubleClick(page, 0);
        EXPECT_EQ(Items(page), items);
        EXPECT_EQ(Field(page), root);

        // Continue now fails the drive check.
        Click(page, IDOK);

        // A drive: its root, with its subfolders at level 2.
        DoubleClick(page, IndexOf(page, "C:\\"));
        items = Items(page);
        EXPECT_EQ(Field(page), "C:\\");
        EXPECT_EQ(Selected(page), 1);
        std::vector<std::string> expected = ListableSubfolders("C:");
        for (std::string& name : expected) name = "C:\\" + name;
        std::vector<std::string> listed(items.begin() + 2, items.end());
        std::sort(expected.begin(), expected.end());
        std::vector<std::string> sortedListed = listed;
        std::sort(sortedListed.begin(), sortedListed.end());
        EXPECT_EQ(sortedListed, expected);
        for (size_t i = 2; i < items.size(); ++i) EXPECT_EQ(Indents(page)[i], 2) << items[i];

        // Continue on a bare drive root is refused.
        Click(page, IDOK);
        Click(page, IDCANCEL);
    });
    ASSERT_EQ(boxes.boxes().size(), 3u);
    EXPECT_EQ(boxes.boxes()[0].text, "Path Invalid!\r\n\r\nMissing : or \\ in drive.");
    EXPECT_EQ(boxes.boxes()[1].text, "Path Invalid!\r\n\r\nPath may not be a root drive...");
    EXPECT_EQ(boxes.boxes()[2].text, kAbortText);
}

TEST_F(LocationPage, ResetFolderWaitsUntilTheListHasMoved) {
    MessageBoxCatcher boxes;
    RunPage([](HWND page) {
        const std::vector<std::string> opened = Items(page);
        Type(page, "D:\\Elsewhere");
        Click(page, IDC_RESET_FOLDER);
        EXPECT_EQ(Field(page), "D:\\Elsewhere");
        EXPECT_EQ(Items(page), opened);

        DoubleClick(page, 1);  // C:\, an ancestor
        EXPECT_EQ(Field(page), "C:\\");
        Click(page, IDC_RESET_FOLDER);
        EXPECT_EQ(Field(page), "C:\\Velmora Utilities\\Trovado Pro");
        EXPECT_EQ(Items(page), opened);
        EXPECT_EQ(Selected(page), 3);

        DoubleClick(page, 0);  // the Drives view
        Click(page, IDC_RESET_FOLDER);
        EXPECT_EQ(Field(page), "C:\\Velmora Utilities\\Trovado Pro");
        EXPECT_EQ(Items(page), opened);
        Click(page, IDCANCEL);
    });
}

// ---- limits ---------------------------------------------------------------

bool MakeLongFolder(const std::string& path) {
    std::wstring wide = L"\\\\?\\";
    for (char c : path) wide += static_cast<wchar_t>(c);
    return CreateDirectoryW(wide.c_str(), nullptr) != 0;
}

TEST_F(LocationPage, ListsNoMoreItemsThanTheIndentTableHolds) {
    TempFolder base("many");
    const int made = kIndentEntries + 20;
    for (int i = made - 1; i >= 0; --i) {
        char name[16];
        wsprintfA(name, "d%03d", i);
        ASSERT_TRUE(CreateDirectoryA((base / name).c_str(), nullptr));
    }
    Remember(base.path());
    MessageBoxCatcher boxes;
    std::vector<std::string> items;
    std::vector<int> indents;
    int current = -1;
    RunPage([&](HWND page) {
        items = Items(page);
        indents = Indents(page);
        current = Selected(page);
        // Every item is painted once on its way down the list.
        HWND list = List(page);
        for (size_t i = 0; i < items.size(); i += 10) {
            SendMessageA(list, LB_SETTOPINDEX, i, 0);
            UpdateWindow(list);
        }
        Click(page, IDCANCEL);
    });
    ASSERT_EQ(items.size(), static_cast<size_t>(kIndentEntries));
    ASSERT_EQ(items[current], base.path());
    // The first names in sorted order; the too-long one never.
    for (int i = current + 1; i < kIndentEntries; ++i) {
        char name[16];
        wsprintfA(name, "d%03d", i - current - 1);
        EXPECT_EQ(items[i], base / name);
        EXPECT_EQ(indents[i], current + 1);
    }
}

TEST_F(LocationPage, ListsASubfolderWhosePathJustFitsTheSlot) {
    TempFolder base("fit");
    const size_t room = kSlotSize - 1 - base.path().size() - 1;
    const std::string tooLong = base / std::string(room + 1, 'x');
    const std::string fits = base / std::string(room, 'y');
    ASSERT_TRUE(MakeLongFolder(tooLong));
    ASSERT_TRUE(CreateDirectoryA(fits.c_str(), nullptr));
    Remember(base.path());
    MessageBoxCatcher boxes;
    std::vector<std::string> items;
    std::string opened;
    RunPage([&](HWND page) {
        items = Items(page);
        DoubleClick(page, IndexOf(page, fits));
        opened = Field(page);
        Click(page, IDCANCEL);
    });
    EXPECT_EQ(std::count(items.begin(), items.end(), fits), 1);
    EXPECT_EQ(std::count(items.begin(), items.end(), tooLong), 0);
    EXPECT_EQ(opened, fits);
    std::wstring wide = L"\\\\?\\";
    for (char c : tooLong) wide += static_cast<wchar_t>(c);
    RemoveDirectoryW(wide.c_str());
}

// ---- drawing ---------------------------------------------------------------


TEST_F(LocationPage, DrawsIconsAtTheirIndentationAndTheSelectionInHighlightColours) {
    TempFolder base("draw");
    CreateDirectoryA((base / "First").c_str(), nullptr);
    CreateDirectoryA((base / "Second").c_str(), nullptr);
    Remember(base / "First");
    MessageBoxCatcher boxes;
    Image shot;
    std::vector<RECT> rows;
    std::vector<int> indents;
    int selected = -1;
    RunPage([&](HWND page) {
        HWND list = List(page);
        SetWindowPos(page, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        shot = CaptureClient(list);
        indents = Indents(page);
        selected = Selected(page);
        for (size_t i = 0; i < indents.size(); ++i) {
            RECT r;
            SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
            rows.push_back(r);
        }
        Click(page, IDCANCEL);
    });
    ASSERT_GT(shot.width, 0);
    ASSERT_GE(selected, 2);
    const ItemColors& c = g_itemColors;
    ASSERT_NE(c.selectedBack, c.back);
    for (size_t i = 0; i < rows.size(); ++i) {
        const RECT& r = rows[i];
        if (r.bottom > shot.height) break;
        const int x0 = r.left + 8 * indents[i] + 1;
        const bool isSelected = static_cast<int>(i) == selected;
        // The icon at its indentation, nothing left of it.
        EXPECT_GT(CountColor(shot, {x0, r.top, x0 + 16, r.top + 16}, c.back, false), 20) << "item " << i;
        EXPECT_EQ(CountColor(shot, {r.left, r.top, x0, r.bottom}, c.back, false), 0) << "item " << i;
        // The label's rectangle in the item's colours, beginning 18 pixels
        // right of the icon's left edge.
        const COLORREF back = isSelected ? c.selectedBack : c.back;
        const COLORREF text = isSelected ? c.selectedText : c.text;
        EXPECT_EQ(CountColor(shot, {x0 + 18, r.top, x0 + 20, r.bottom}, back, false), 0) << "item " << i;
        EXPECT_GT(CountColor(shot, {x0 + 20, r.top, x0 + 80, r.bottom}, text, true), 5) << "item " << i;
        if (isSelected) {
            EXPECT_EQ(CountColor(shot, {x0 + 16, r.top, x0 + 18, r.bottom}, c.selectedBack, true), 0);
        }
    }
}

TEST_F(LocationPage, DescribesWhatTheShellCannotLookAtByItsKind) {
    SHFILEINFOA folder = {};
    SHGetFileInfoA("x", FILE_ATTRIBUTE_DIRECTORY, &folder, sizeof folder,
                   SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    char label[kPathBufferSize];
    // A folder not made yet: the generic folder icon and a name.
    EXPECT_EQ(DescribeFolderItem("C:\\No Such Folder\\Not Made", kFolderItem, false, label),
              folder.iIcon);
    EXPECT_NE(label[0], '\0');
    // A root the shell cannot parse as a drive: labelled with its root path,
    // with an icon the list can draw.
    const int icon = DescribeFolderItem("1:\\", kDriveItem, false, label);
    EXPECT_STREQ(label, "1:\\");
    EXPECT_GE(icon, 0);
    // The system's COMCTL32, which the test program loaded at start as
    // setup.exe does, counts the images.
    typedef int(WINAPI * ImageCountFunction)(HIMAGELIST);
    const auto imageCount = reinterpret_cast<ImageCountFunction>(reinterpret_cast<void (*)()>(
        GetProcAddress(GetModuleHandleA("comctl32.dll"), "ImageList_GetImageCount")));
    ASSERT_NE(imageCount, nullptr);
    EXPECT_LT(icon, imageCount(g_systemImageList));
    // A drive the shell knows is labelled by the shell.
    SHFILEINFOA c = {};
    SHGetFileInfoA("C:\\", 0, &c, sizeof c, SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME);
    EXPECT_EQ(DescribeFolderItem("C:\\", kDriveItem, false, label), c.iIcon);
    EXPECT_STREQ(label, c.szDisplayName);
}

}  // namespace
