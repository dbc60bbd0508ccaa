// The program group page and its shortcut dialog, run in-process as modal
// dialogs on scratch folders standing in for the Start menu's Programs folder,
// the install folder and the Windows folder. A thread timer plays the user;
// window hooks watch the shortcut dialog; links are read back through the
// shell's link object.
#include "backdrop/backdrop.h"
#include "core/app.h"
#include "core/config.h"
#include "core/wizard.h"
#include "pages/pages.h"
#include "pages/programs_folder.h"
#include "resources/ids.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/programs_folder_at.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

const char kAbortStart[] = "Installation Aborted!";

// --- What the hooks see of one run of the group page ---

struct Seen {
    HWND page = nullptr;
    HWND shortcuts = nullptr;
    std::string shortcutCaption;
    int stepMaskWhileShortcuts = 0;
    bool continueEnabledWhileShortcuts = true;
    std::vector<std::string> names;  // what control 600 showed, in order
    int steps = 0;                   // PBM_STEPIT on the bar
    int rangeHigh = -1;
    int finalPosition = -1;
    // Ends of the two dialogs: the shortcut dialog once hidden, the page when
    // it starts to hide (Wine without a window manager waits up to 2 s for
    // the X server to withdraw a window, which is left out this way).
    DWORD shortcutsHidden = 0;
    DWORD pageHiding = 0;
};

using Step = std::function<void(HWND page)>;

Seen g_seen;
std::set<HWND> g_pageWindows;  // every page and shortcut dialog of the test program
std::vector<Step> g_steps;
size_t g_nextStep;
DWORD g_runStart;

LRESULT CALLBACK AfterCall(int code, WPARAM wParam, LPARAM lParam) {
    const CWPRETSTRUCT& m = *reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m.message == WM_INITDIALOG) {
        if (GetDlgItem(m.hwnd, IDC_GROUP_LIST)) {
            g_seen.page = m.hwnd;
            g_pageWindows.insert(m.hwnd);
        }
        if (GetDlgItem(m.hwnd, IDC_SHORTCUT_PROGRESS)) {
            g_pageWindows.insert(m.hwnd);
            g_seen.shortcuts = m.hwnd;
            char caption[100];
            GetWindowTextA(m.hwnd, caption, sizeof caption);
            g_seen.shortcutCaption = caption;
            g_seen.stepMaskWhileShortcuts = g_stepMask;
            g_seen.continueEnabledWhileShortcuts =
                IsWindowEnabled(GetDlgItem(g_seen.page, IDC_GROUP_CONTINUE)) != FALSE;
        }
    } else if (code == HC_ACTION && m.message == WM_WINDOWPOSCHANGED &&
               m.hwnd == g_seen.shortcuts &&
               (reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags & SWP_HIDEWINDOW)) {
        g_seen.shortcutsHidden = GetTickCount();
    } else if (code == HC_ACTION && m.message == WM_SETTEXT && g_seen.shortcuts &&
               m.hwnd == GetDlgItem(g_seen.shortcuts, IDC_SHORTCUT_NAME)) {
        char text[100];
        GetWindowTextA(m.hwnd, text, sizeof text);
        g_seen.names.push_back(text);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK BeforeCall(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_seen.shortcuts) {
        HWND bar = GetDlgItem(g_seen.shortcuts, IDC_SHORTCUT_PROGRESS);
        if (m.hwnd == bar && m.message == PBM_STEPIT) ++g_seen.steps;
        if (m.hwnd == g_seen.shortcuts && m.message == WM_DESTROY) {
            g_seen.finalPosition = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
            g_seen.rangeHigh = static_cast<int>(SendMessageA(bar, PBM_GETRANGE, FALSE, 0));
        }
    }
    if (code == HC_ACTION && m.hwnd == g_seen.page && m.message == WM_WINDOWPOSCHANGING &&
        (reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags & SWP_HIDEWINDOW) &&
        !g_seen.pageHiding)
        g_seen.pageHiding = GetTickCount();
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Plays the next step whenever the page is open and not behind a modal child;
// a page still open after 40 s is ended with 99 so that a fault cannot hang.
void CALLBACK PlayStep(HWND, UINT, UINT_PTR, DWORD) {
    HWND page = g_seen.page;
    if (!page || !IsWindow(page)) return;
    if (GetTickCount() - g_runStart > 40000) {
        EndDialog(page, 99);
        return;
    }
    if (!IsWindowEnabled(page) || g_nextStep >= g_steps.size()) return;
    g_steps[g_nextStep++](page);
}

INT_PTR RunGroupPage(std::vector<Step> steps) {
    g_seen = Seen();
    g_steps = std::move(steps);
    g_nextStep = 0;
    g_runStart = GetTickCount();
    HHOOK after = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterCall, nullptr, GetCurrentThreadId());
    HHOOK before = SetWindowsHookExA(WH_CALLWNDPROC, BeforeCall, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 120, PlayStep);
    const INT_PTR result =
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_GROUP), nullptr, GroupPageProc, 0);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(before);
    UnhookWindowsHookEx(after);
    EXPECT_EQ(g_nextStep, g_steps.size()) << "the page ended before every step was played";
    return result;
}

// --- The user's actions ---

HWND GroupField(HWND page) {
    return FindWindowExA(GetDlgItem(page, IDC_GROUP_LIST), nullptr, "Edit", nullptr);
}

std::string FieldText(HWND page) {
    char text[300];
    GetDlgItemTextA(page, IDC_GROUP_LIST, text, sizeof text);
    return text;
}

std::string SelectedGroup(HWND page) {
    const LRESULT index = SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return "<none>";
    char text[300];
    SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> ListedGroups(HWND page) {
    std::vector<std::string> items;
    const LRESULT count = SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[300];
        SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Replaces the field's text the way typing does: select all, then characters.
void Type(HWND page, const std::string& text) {
    HWND field = GroupField(page);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 0);
    for (char c : text) SendMessageA(field, WM_CHAR, static_cast<unsigned char>(c), 0);
}

void Click(HWND page, int id) { PostMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }

// A key posted to the field passes the dialog's own key handling, as typed.
void PressKey(HWND page, WPARAM key) {
    HWND field = GroupField(page);
    SetFocus(field);
    PostMessageA(field, WM_KEYDOWN, key, 1);
    PostMessageA(field, WM_KEYUP, key, 0xC0000001);
}

// --- Links read back through the shell ---

struct LinkInfo {
    bool loaded = false;
    std::string target, folder, description;
};

LinkInfo ReadLink(const std::string& path) {
    LinkInfo info;
    if (FAILED(CoInitialize(nullptr))) return info;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        CoUninitialize();
        return info;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char text[MAX_PATH];
            info.loaded = true;
            if (SUCCEEDED(link->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH)))
                info.target = text;
            if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text))) info.folder = text;
            if (SUCCEEDED(link->GetDescription(text, sizeof text))) info.description = text;
        }
        file->Release();
    }
    link->Release();
    CoUninitialize();
    return info;
}

std::set<std::string> FilesIn(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (found.cFileName[0] != '.') names.insert(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::set<std::string> ShippedLinkNames() {
    std::set<std::string> names;
    for (int i = 0; i < g_product.shortcutCount; ++i)
        names.insert(std::string(g_product.files[i].shortcutName) + ".lnk");
    return names;
}

// True when the thread's COM is not initialised: a balanced program leaves it so.
bool ComIsOff() {
    const HRESULT started = CoInitialize(nullptr);
    if (SUCCEEDED(started)) CoUninitialize();
    return started == S_OK;
}

// Only the real message boxes count here, not the pages themselves, which
// are dialogs with statics of id -1 as well.
std::vector<CaughtBox> BoxesOf(const MessageBoxCatcher& catcher) {
    std::vector<CaughtBox> boxes;
    for (const CaughtBox& box : catcher.boxes())
        if (!g_pageWindows.count(box.window)) boxes.push_back(box);
    return boxes;
}

std::string Describe(const std::vector<CaughtBox>& boxes) {
    std::string all;
    for (const CaughtBox& box : boxes) all += "[" + box.caption + ": " + box.text + "]";
    return all;
}

// --- The fixture: scratch Programs, install and Windows folders ---

class GroupPage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        g_instance = GetModuleHandleA(nullptr);
        g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
        g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
        SetUpBackdrop(nullptr);  // the image list and item colours of the Group list
    }

    void SetUp() override {
        ASSERT_FALSE(programs_.path().empty());
        SetSlot(g_programsFolder, programs_.path());
        SetSlot(g_installFolder, install_.path());
        SetSlot(g_windowsFolder, windows_.path());
        strcpy(g_groupName, ".");
        g_stepMask = 0;
        // The installed files the links point at.
        for (int i = 0; i < g_product.fileCount; ++i) {
            const FileEntry& entry = g_product.files[i];
            const TempFolder& folder = (entry.flags & kInWindowsFolder) ? windows_ : install_;
            ASSERT_TRUE(WriteWholeFile(folder / entry.fileName, "installed"));
        }
    }

    static void SetSlot(char* slot, const std::string& value) {
        ASSERT_LT(value.size(), static_cast<size_t>(kSlotSize));
        strcpy(slot, value.c_str());
    }

    std::string Group(const std::string& name) const { return programs_ / name; }

    // Every shipped link is in folder and says what its entry's flags decide.
    void ExpectShippedLinks(const std::string& folder) const {
        for (int i = 0; i < g_product.shortcutCount; ++i) {
            const FileEntry& entry = g_product.files[i];
            const std::string entryFolder =
                (entry.flags & kInInstallFolder) ? install_.path() : windows_.path();
            const LinkInfo link = ReadLink(folder + "\\" + entry.shortcutName + ".lnk");
            ASSERT_TRUE(link.loaded) << entry.shortcutName;
            EXPECT_EQ(link.target, entryFolder + "\\" + entry.fileName) << entry.shortcutName;
            EXPECT_EQ(link.folder, entryFolder) << entry.shortcutName;
            EXPECT_EQ(link.description, entry.shortcutName);
        }
    }

    TempFolder programs_{"programs"};
    TempFolder install_{"install"};
    TempFolder windows_{"windows"};
};

// --- Opening, the field, the list, Reset Group, Enter and Escape ---

TEST_F(GroupPage, OpensOnTheProductNameSelectsItsGroupAndResetsAfterTyping) {
    for (const char* name : {"Zeta Tools", "trovado pro", "Accessories", ".hidden"})
        ASSERT_TRUE(CreateDirectoryA(Group(name).c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(Group("Notes.txt"), "a file, not a group"));

    MessageBoxCatcher catcher;
    std::string caption;
    const INT_PTR result = RunGroupPage({
        [&](HWND page) {
            char text[100];
            GetWindowTextA(page, text, sizeof text);
            caption = text;
            EXPECT_EQ(ListedGroups(page),
                      (std::vector<std::string>{"Accessories", "trovado pro", "Zeta Tools"}));
            EXPECT_EQ(FieldText(page), "Trovado Pro");
            EXPECT_EQ(SelectedGroup(page), "trovado pro");
            Type(page, "Velmora Games");
            EXPECT_EQ(FieldText(page), "Velmora Games");
            Click(page, IDC_RESET_GROUP);
        },
        [&](HWND page) {
            EXPECT_EQ(FieldText(page), "Trovado Pro");
            EXPECT_EQ(SelectedGroup(page), "trovado pro");
            Type(page, "Velmora Games");
            PressKey(page, VK_RETURN);
        },
        [&](HWND page) {
            // Enter sent id 1, which the page leaves alone.
            EXPECT_EQ(g_seen.shortcuts, nullptr);
            EXPECT_EQ(FieldText(page), "Velmora Games");
            EXPECT_TRUE(BoxesOf(catcher).empty()) << Describe(BoxesOf(catcher));
            PressKey(page, VK_ESCAPE);
        },
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(caption, "Trovado Pro Program Group");
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    ASSERT_EQ(boxes.size(), 1u) << Describe(boxes);
    EXPECT_EQ(boxes[0].text.rfind(kAbortStart, 0), 0u) << boxes[0].text;
    EXPECT_EQ(boxes[0].caption, "Portavo");
    EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_FALSE(FolderExists(Group("Velmora Games")));
}

// --- What the Group list draws ---

int TextWidth(HWND window, const char* text) {
    HDC dc = GetDC(window);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    GetTextExtentPointA(dc, text, static_cast<int>(strlen(text)), &extent);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
    return extent.cx;
}

TEST_F(GroupPage, DrawsEachGroupWithItsIconAndOnlyTheLabelHighlighted) {
    for (const char* name : {"Accessories", "Trovado Pro"})
        ASSERT_TRUE(CreateDirectoryA(Group(name).c_str(), nullptr));
    MessageBoxCatcher catcher;
    RunGroupPage({[&](HWND page) {
        HWND list = FindWindowExA(GetDlgItem(page, IDC_GROUP_LIST), nullptr, "ComboLBox", nullptr);
        ASSERT_NE(list, nullptr);
        RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const Image shot = CaptureClient(list);
        const char* const names[] = {"Accessories", "Trovado Pro"};
        for (int item = 0; item < 2; ++item) {
            RECT r;
            SendMessageA(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&r));
            const int x0 = r.left + 1, width = TextWidth(list, names[item]);
            const COLORREF back = item == 1 ? g_itemColors.selectedBack : g_itemColors.back;
            // Between the label's end and the right of its rectangle: its background.
            EXPECT_EQ(shot.At(x0 + 21 + width, r.top + 1), back) << names[item];
            EXPECT_EQ(shot.At(x0 + 19, r.bottom - 2), back) << names[item];
            // Past the label the list is not highlighted.
            EXPECT_NE(shot.At(x0 + 30 + width, r.top + 1), g_itemColors.selectedBack)
                << names[item];
            // The folder icon: more than one colour in its 16 by 16 square.
            std::set<COLORREF> iconColors;
            for (int y = r.top; y < r.top + 16 && y < shot.height; ++y)
                for (int x = x0; x < x0 + 16; ++x) iconColors.insert(shot.At(x, y));
            EXPECT_GT(iconColors.size(), 2u) << names[item];
        }
        PressKey(page, VK_ESCAPE);
    }});
}

TEST_F(GroupPage, TakesFortyCharactersTypedAndNothingSelectedWithoutAMatch) {
    MessageBoxCatcher catcher;
    const INT_PTR result = RunGroupPage({
        [&](HWND page) {
            EXPECT_TRUE(ListedGroups(page).empty());
            EXPECT_EQ(SelectedGroup(page), "<none>");
            EXPECT_EQ(FieldText(page), "Trovado Pro");
            Type(page, std::string(45, 'x'));
            EXPECT_EQ(FieldText(page), std::string(40, 'x'));
            PressKey(page, VK_ESCAPE);
        },
    });
    EXPECT_EQ(result, 2);
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    EXPECT_EQ(boxes.size(), 1u);
}

// --- Names the page refuses and keeps the page for ---

TEST_F(GroupPage, WarnsAboutAnEmptyOrUnusableNameAndStays) {
    // One of each kind; the native tests of the path level rule go through
    // them all. The last is refused only below a long Programs folder.
    const std::vector<std::string> refused = {
        "",         "C:\\Trovado", "\\Trovado",    "..\\..\\x", "A\\\\B",
        "Tro/vado", "Tro*vado",    "Tro\tvado",    "Trovado Pro ", "Tools...",
        "nul",      "Velmora\\Com1.log", "Trovado Pro"};
    // Programs folder + "\Trovado Pro\" + the longest shortcut name + ".lnk"
    // one character past a path.
    size_t longest = 0;
    for (int i = 0; i < g_product.shortcutCount; ++i)
        longest = std::max(longest, strlen(g_product.files[i].shortcutName));
    std::string deepPrograms = programs_.path() + "\\";
    deepPrograms += std::string(260 - deepPrograms.size() - 13 - longest - 4, 'p');
    ASSERT_TRUE(CreateDirectoryA(deepPrograms.c_str(), nullptr));
    MessageBoxCatcher catcher;
    std::vector<Step> steps;
    for (size_t i = 0; i < refused.size(); ++i)
        steps.push_back([&, i](HWND page) {
            if (i + 1 == refused.size()) SetSlot(g_programsFolder, deepPrograms);
            SetDlgItemTextA(page, IDC_GROUP_LIST, refused[i].c_str());
            Click(page, IDC_GROUP_CONTINUE);
        });
    steps.push_back([](HWND page) {
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_GROUP_CONTINUE)));
        EXPECT_EQ(g_seen.shortcuts, nullptr);
        PressKey(page, VK_ESCAPE);
    });
    EXPECT_EQ(RunGroupPage(steps), 2);

    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    ASSERT_EQ(boxes.size(), refused.size() + 1);
    EXPECT_EQ(boxes[0].text, "Group may not be empty!");
    for (size_t i = 0; i < refused.size(); ++i) {
        const CaughtBox& box = boxes[i];
        EXPECT_EQ(box.caption, "Portavo") << refused[i];
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONWARNING)) << refused[i];
        EXPECT_EQ(box.owner, g_seen.page) << refused[i];
        if (i > 0) EXPECT_EQ(box.text.rfind("Group ", 0), 0u) << refused[i] << ": " << box.text;
    }
    EXPECT_EQ(boxes[boxes.size() - 2].text, "Group is too long for the shortcuts' file names!");
    EXPECT_EQ(boxes.back().text.rfind(kAbortStart, 0), 0u);
    // Nothing was created, neither beside nor below the long Programs folder.
    const std::string deepName = deepPrograms.substr(programs_.path().size() + 1);
    EXPECT_EQ(FilesIn(programs_.path()), std::set<std::string>{deepName});
    EXPECT_TRUE(FilesIn(deepPrograms).empty());
    EXPECT_EQ(g_stepMask & kStepShortcuts, 0);
}

// --- A Start menu that cannot be read ---

TEST_F(GroupPage, EndsWithTheAbortNoticeWhenTheProgramsFolderCannotBeRead) {
    for (const std::string& programs : {programs_ / "missing", std::string()}) {
        SetSlot(g_programsFolder, programs);
        MessageBoxCatcher catcher;
        EXPECT_EQ(RunGroupPage({}), 2) << programs;
        const std::vector<CaughtBox> boxes = BoxesOf(catcher);
        ASSERT_EQ(boxes.size(), 2u) << Describe(boxes);
        EXPECT_EQ(boxes[0].text, "Unable to locate the Start Menu!");
        EXPECT_EQ(boxes[0].caption, "Portavo");
        EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(boxes[1].text.rfind(kAbortStart, 0), 0u);
        EXPECT_EQ(g_seen.shortcuts, nullptr);
    }
    EXPECT_FALSE(FolderExists(programs_ / "missing"));
}

// --- Full runs ---

TEST_F(GroupPage, CreatesOneLinkPerShortcutEntryInTheNewGroup) {
    ASSERT_TRUE(ComIsOff());
    MessageBoxCatcher catcher;
    const INT_PTR result = RunGroupPage({[](HWND page) { Click(page, IDC_GROUP_CONTINUE); }});
    EXPECT_EQ(result, 1);
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_STREQ(g_groupName, "Trovado Pro");

    EXPECT_EQ(g_seen.shortcutCaption, "Creating Trovado Pro Shortcuts");
    EXPECT_EQ(g_seen.stepMaskWhileShortcuts, kStepShortcuts);
    EXPECT_FALSE(g_seen.continueEnabledWhileShortcuts);
    std::vector<std::string> expectedNames;
    for (int i = 0; i < g_product.shortcutCount; ++i)
        expectedNames.push_back(g_product.files[i].shortcutName);
    EXPECT_EQ(g_seen.names, expectedNames);
    EXPECT_EQ(g_seen.steps, g_product.shortcutCount);
    EXPECT_EQ(g_seen.rangeHigh, g_product.shortcutCount);
    EXPECT_EQ(g_seen.finalPosition, g_product.shortcutCount);
    // The page pumps for 500 ms after the dialog before it ends.
    const DWORD afterDialog = g_seen.pageHiding - g_seen.shortcutsHidden;
    EXPECT_GE(afterDialog, 450u);
    EXPECT_LT(afterDialog, 1500u);

    // Exactly the shortcut entries' links: none for the entries past the count.
    EXPECT_EQ(FilesIn(programs_.path()), std::set<std::string>{"Trovado Pro"});
    EXPECT_EQ(FilesIn(Group("Trovado Pro")), ShippedLinkNames());
    ExpectShippedLinks(Group("Trovado Pro"));
    EXPECT_TRUE(ComIsOff()) << "CoInitialize was not balanced";
}

TEST_F(GroupPage, UsesAnExistingGroupAsItIsAndCutsALongPickedNameToForty) {
    const std::string longName =
        "Velmora Utilities Trovado Pro Search Tools"  // 42
        "!!!";
    ASSERT_EQ(longName.size(), 45u);
    ASSERT_TRUE(CreateDirectoryA(Group(longName).c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(Group("Trovado Pro").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(Group("Trovado Pro\\Notes.txt"), "the user's own"));

    MessageBoxCatcher catcher;
    EXPECT_EQ(RunGroupPage({[](HWND page) { Click(page, IDC_GROUP_CONTINUE); }}), 1);
    std::string notes;
    ASSERT_TRUE(ReadWholeFile(Group("Trovado Pro\\Notes.txt"), &notes));
    EXPECT_EQ(notes, "the user's own");
    std::set<std::string> expected = ShippedLinkNames();
    expected.insert("Notes.txt");
    EXPECT_EQ(FilesIn(Group("Trovado Pro")), expected);

    const INT_PTR picked = RunGroupPage({[&](HWND page) {
        const LRESULT index =
            SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(longName.c_str()));
        ASSERT_NE(index, CB_ERR);
        SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_SETCURSEL, index, 0);
        EXPECT_EQ(FieldText(page), longName);
        Click(page, IDC_GROUP_CONTINUE);
    }});
    EXPECT_EQ(picked, 1);
    EXPECT_EQ(std::string(g_groupName), longName.substr(0, 40));
    EXPECT_EQ(FilesIn(Group(longName.substr(0, 40))), ShippedLinkNames());
    EXPECT_TRUE(FilesIn(Group(longName)).empty());
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
}

TEST_F(GroupPage, CreatesEveryLevelOfANestedGroupAndTakesATrailingBackslash) {
    MessageBoxCatcher catcher;
    for (const char* name : {"Velmora\\Suite\\Trovado Pro", "Trovado Pro\\"}) {
        EXPECT_EQ(RunGroupPage({[name](HWND page) {
                      SetDlgItemTextA(page, IDC_GROUP_LIST, name);
                      Click(page, IDC_GROUP_CONTINUE);
                  }}),
                  1)
            << name;
    }
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_EQ(FilesIn(Group("Velmora\\Suite\\Trovado Pro")), ShippedLinkNames());
    ExpectShippedLinks(Group("Velmora\\Suite\\Trovado Pro"));
    EXPECT_EQ(FilesIn(Group("Trovado Pro")), ShippedLinkNames());
    EXPECT_EQ(FilesIn(programs_.path()), (std::set<std::string>{"Trovado Pro", "Velmora"}));
}

// --- Links that cannot be made, and COM that was already started ---

TEST_F(GroupPage, StepsThroughEveryEntryThenReportsALinkThatCouldNotBeSaved) {
    const std::string blocker = Group("Trovado Pro\\Read Me.lnk");
    ASSERT_TRUE(CreateDirectoryA(Group("Trovado Pro").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(blocker.c_str(), nullptr));
    SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_READONLY);

    MessageBoxCatcher catcher;
    EXPECT_EQ(RunGroupPage({[](HWND page) { Click(page, IDC_GROUP_CONTINUE); }}), 2);
    SetFileAttributesA(blocker.c_str(), FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(g_seen.steps, g_product.shortcutCount);
    EXPECT_EQ(g_seen.finalPosition, g_product.shortcutCount);
    EXPECT_EQ(static_cast<int>(g_seen.names.size()), g_product.shortcutCount);
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    ASSERT_EQ(boxes.size(), 2u) << Describe(boxes);
    EXPECT_EQ(boxes[0].text, "Unable To Create Shortcuts!");
    EXPECT_EQ(boxes[0].icon, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(boxes[0].owner, g_seen.page);
    EXPECT_EQ(boxes[1].text.rfind(kAbortStart, 0), 0u);
    // The entries after the failed one were still made.
    EXPECT_EQ(FilesIn(Group("Trovado Pro")), ShippedLinkNames());
    EXPECT_TRUE(FolderExists(blocker));
    for (int i = 0; i < g_product.shortcutCount; ++i) {
        const std::string name = g_product.files[i].shortcutName;
        if (name != "Read Me")
            EXPECT_TRUE(ReadLink(Group("Trovado Pro\\" + name + ".lnk")).loaded) << name;
    }
    EXPECT_TRUE(ComIsOff());
}

TEST_F(GroupPage, CreatesTheLinksWhenComIsAlreadyStartedAndLeavesItStarted) {
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    MessageBoxCatcher catcher;
    const INT_PTR result = RunGroupPage({[](HWND page) { Click(page, IDC_GROUP_CONTINUE); }});
    // Still started: the page's own start was balanced, this one is not yet.
    const HRESULT again = CoInitialize(nullptr);
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(again, S_FALSE);
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    ExpectShippedLinks(Group("Trovado Pro"));
    EXPECT_TRUE(ComIsOff());
}

TEST_F(GroupPage, ReportsShortcutsAsFailedWhenComCannotStartOnTheThread) {
    // A thread in the multithreaded apartment refuses the page's CoInitialize.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    MessageBoxCatcher catcher;
    const INT_PTR result = RunGroupPage({[](HWND page) { Click(page, IDC_GROUP_CONTINUE); }});
    CoUninitialize();
    EXPECT_EQ(result, 2);
    EXPECT_EQ(g_seen.steps, 0);
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    ASSERT_EQ(boxes.size(), 2u) << Describe(boxes);
    EXPECT_EQ(boxes[0].text, "Unable To Create Shortcuts!");
    EXPECT_EQ(boxes[1].text.rfind(kAbortStart, 0), 0u);
    EXPECT_TRUE(FilesIn(Group("Trovado Pro")).empty());
}

// --- A Programs folder with neither an ANSI spelling nor a short name ---

// What GetShortPathNameW gives on a volume that keeps no 8.3 names: the long
// form unchanged.
DWORD WINAPI LongFormOnly(LPCWSTR path, LPWSTR out, DWORD size) {
    const DWORD length = static_cast<DWORD>(lstrlenW(path));
    if (length >= size) return length + 1;
    lstrcpyW(out, path);
    return length;
}

// Wine makes a short name for every name outside 8.3, so for one scope this
// program's own import of GetShortPathNameW, through which the program's
// code calls it, is pointed at LongFormOnly.
class NoShortNames {
public:
    NoShortNames() {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
            base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); d->Name && !slot_; ++d) {
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<void**>(base + d->FirstThunk);
            for (; names->u1.AddressOfData && !slot_; ++names, ++slots)
                if (!IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal) &&
                    !strcmp(reinterpret_cast<const char*>(
                                reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name),
                            "GetShortPathNameW"))
                    slot_ = slots;
        }
        if (slot_) saved_ = Swap(reinterpret_cast<void*>(&LongFormOnly));
    }
    ~NoShortNames() {
        if (slot_) Swap(saved_);
    }
    NoShortNames(const NoShortNames&) = delete;
    NoShortNames& operator=(const NoShortNames&) = delete;
    bool on() const { return slot_ != nullptr; }

private:
    void* Swap(void* procedure) {
        DWORD protection;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        void* const previous = *slot_;
        *slot_ = procedure;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
        return previous;
    }
    void** slot_ = nullptr;
    void* saved_ = nullptr;
};

std::wstring Widened(const std::string& text) {
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, MAX_PATH);
    return wide;
}

// A profile that the code page cannot spell (Пётр on a Western system) on a
// volume that keeps no 8.3 names: the Programs folder is kept in UTF-16, the
// page lists its groups, and the group folder and links go into it.
TEST_F(GroupPage, UsesAProgramsFolderWithNeitherAnAnsiSpellingNorAShortName) {
    const std::wstring programs = Widened(programs_.path()) + L"\\\u041F\u0451\u0442\u0440";
    ASSERT_TRUE(CreateDirectoryW(programs.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((programs + L"\\Accessories").c_str(), nullptr));
    char spelled[MAX_PATH];
    BOOL lost = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, programs.c_str(), -1, spelled, MAX_PATH, nullptr, &lost);
    ASSERT_TRUE(lost) << "the code page spells " << spelled;
    {
        ProgramsFolderAt shell(programs);
        NoShortNames volume;
        ASSERT_TRUE(shell.set() && volume.on());
        FindProgramsFolder(nullptr);
    }
    EXPECT_STREQ(g_programsFolder, "") << "neither form fits the slot";

    MessageBoxCatcher catcher;
    std::vector<std::string> listed;
    EXPECT_EQ(RunGroupPage({[&](HWND page) {
                  listed = ListedGroups(page);
                  Click(page, IDC_GROUP_CONTINUE);
              }}),
              1);
    const std::vector<CaughtBox> boxes = BoxesOf(catcher);
    EXPECT_TRUE(boxes.empty()) << Describe(boxes);
    EXPECT_EQ(listed, std::vector<std::string>{"Accessories"});
    EXPECT_EQ(NamesIn(programs), (std::set<std::string>{"Accessories", "Trovado Pro"}));
    EXPECT_EQ(NamesIn(programs + L"\\Trovado Pro"), ShippedLinkNames());
    FindProgramsFolder(nullptr);
    EXPECT_STRNE(g_programsFolder, "") << "the shell's own Programs folder again";
}

}  // namespace
