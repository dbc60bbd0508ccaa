// The wizard's dialog templates, read back out of the compiled resources and
// compared field by field with the page tables below.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/app.h"
#include "core/wizard.h"
#include "resources/ids.h"
#include "tests/resources/dialog_template.h"

namespace {

constexpr DWORD kPageStyle = 0x90C000C4;     // popup, visible, caption, modal frame, set font, 3D look
constexpr DWORD kLicenseStyle = 0x90C40044;  // sizing border instead of the modal frame

// One control: id, class, style, rectangle, and either a text or the id of
// the icon or bitmap the control shows (`image`, 0 for a text).
struct Control {
    int id;
    const char* cls;
    DWORD style;
    short x, y, cx, cy;
    const char* text;
    int image;
};

struct Page {
    int id;
    const char* caption;
    const char* cls;  // nullptr: the system dialog class
    DWORD style;
    short x, y, cx, cy;
    const Control* controls;
    size_t count;
};

const Control kWelcome[] = {
    {-1, "STATIC", 0x58000003, 5, 5, 20, 20, nullptr, 100},
    {-1, "STATIC", 0x50020001, 33, 6, 122, 20, "Portavo For Windows\r\nSoftware Installation Wizard", 0},
    {-1, "STATIC", 0x50021000, 5, 31, 158, 46, "", 0},
    {700, "STATIC", 0x50020001, 10, 36, 147, 35, "This program will install %s to your computer. It is strongly recommended that you quit all running programs and restart your computer before you continue.", 0},
    {1, "BUTTON", 0x50010000, 31, 85, 50, 14, "Continue", 0},
    {2, "BUTTON", 0x50010000, 86, 85, 50, 14, "Cancel", 0},
};

const Control kLicense[] = {
    {1, "BUTTON", 0x50010000, 154, 161, 70, 15, "I Agree", 0},
    {2, "BUTTON", 0x50010000, 228, 161, 70, 15, "I Disagree", 0},
    {200, "EDIT", 0x50A00004, 1, 2, 298, 155, "", 0},
};

const Control kLocation[] = {
    {-1, "STATIC", 0x5000120E, 4, 4, 83, 105, nullptr, 200},
    {1, "BUTTON", 0x50010000, 234, 4, 50, 14, "Continue", 0},
    {302, "BUTTON", 0x50010000, 234, 20, 50, 14, "Reset Folder", 0},
    {2, "BUTTON", 0x50010000, 234, 36, 50, 14, "Cancel", 0},
    {700, "STATIC", 0x50020001, 93, 3, 134, 17, "The program files for %s will be installed to the following folder:", 0},
    {300, "EDIT", 0x50810080, 93, 21, 134, 12, "", 0},
    {301, "LISTBOX", 0x50A01163, 93, 34, 134, 75, "", 0},
    {-1, "STATIC", 0x50020000, 233, 60, 54, 50, "Double click to change folders.\r\n\r\nDouble click on the computer to changes drives.", 0},
};

const Control kInstalling[] = {
    {-1, "STATIC", 0x5000120E, 4, 4, 83, 105, nullptr, 200},
    {-1, "STATIC", 0x50000000, 93, 9, 35, 8, "Extracting:", 0},
    {400, "STATIC", 0x50000000, 132, 9, 153, 16, "", 0},
    {-1, "STATIC", 0x50000000, 93, 28, 35, 8, "Total Size:", 0},
    {401, "STATIC", 0x50000000, 134, 28, 48, 8, "", 0},
    {-1, "STATIC", 0x50000000, 192, 28, 40, 8, "Current Size:", 0},
    {402, "STATIC", 0x50000000, 236, 28, 48, 8, "", 0},
    {-1, "STATIC", 0x50000000, 93, 43, 35, 8, "Total Files:", 0},
    {403, "STATIC", 0x50000000, 134, 43, 48, 8, "", 0},
    {-1, "STATIC", 0x50000000, 192, 43, 40, 8, "Current File:", 0},
    {404, "STATIC", 0x50000000, 236, 43, 48, 8, "", 0},
    {405, "STATIC", 0x50001000, 93, 59, 191, 13, "", 0},
    {406, "STATIC", 0x50001001, 93, 81, 191, 28, "For other great software utilities be sure to\r\nstop by Velmora Utiltites home page at\r\nwww.velmora.com", 0},
};

const Control kGroup[] = {
    {-1, "STATIC", 0x5000120E, 4, 4, 83, 105, nullptr, 201},
    {501, "BUTTON", 0x50010000, 234, 4, 50, 14, "Continue", 0},
    {502, "BUTTON", 0x50010000, 234, 20, 50, 14, "Reset Group", 0},
    {700, "STATIC", 0x50020001, 93, 3, 134, 17, "Shortcuts for %s will be created and placed in the following group:", 0},
    {500, "COMBOBOX", 0x50210751, 93, 22, 134, 87, "", 0},
    {-1, "STATIC", 0x50020000, 233, 59, 53, 49, "You can type a new group name, or select one from the Existing Group List to the left...", 0},
};

const Control kShortcuts[] = {
    {-1, "STATIC", 0x58000003, 5, 5, 20, 20, nullptr, 101},
    {-1, "STATIC", 0x50020002, 32, 12, 60, 8, "Creating Shortcut:", 0},
    {600, "STATIC", 0x50020000, 100, 12, 95, 8, "", 0},
    {601, "msctls_progress32", 0x50800000, 5, 30, 190, 9, "", 0},
};

#define CONTROLS(table) table, sizeof(table) / sizeof(table[0])
const Page kPages[] = {
    {1001, "Portavo", "InstallDlg", kPageStyle, 20, 20, 168, 105, CONTROLS(kWelcome)},
    {1002, "%s License Agreement", nullptr, kLicenseStyle, 20, 20, 300, 178, CONTROLS(kLicense)},
    {1003, "%s Program Location", nullptr, kPageStyle, 20, 20, 289, 114, CONTROLS(kLocation)},
    {1004, "Installing %s Program Files", nullptr, kPageStyle, 20, 20, 289, 114, CONTROLS(kInstalling)},
    {1005, "%s Program Group", nullptr, kPageStyle, 20, 20, 289, 114, CONTROLS(kGroup)},
    {1006, "Creating %s Shortcuts", nullptr, kPageStyle, 20, 20, 200, 44, CONTROLS(kShortcuts)},
};

std::wstring Wide(const char* s) { return std::wstring(s, s + strlen(s)); }

std::string Narrow(const std::wstring& s) {
    std::string out;
    for (wchar_t c : s) out += c < 128 ? (char)c : '?';
    return out;
}

// Predefined control classes may be stored as ordinals 0x0080 to 0x0085 or
// by name; window class names are compared without regard to case, as the
// system does.
std::string ClassName(const NameOrOrdinal& cls) {
    if (!cls.isOrdinal) return Narrow(cls.name);
    static const char* const kPredefined[] = {"BUTTON", "EDIT", "STATIC", "LISTBOX", "SCROLLBAR", "COMBOBOX"};
    if (cls.ordinal >= 0x80 && cls.ordinal <= 0x85) return kPredefined[cls.ordinal - 0x80];
    return "#" + std::to_string(cls.ordinal);
}

bool SameClass(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

bool LoadTemplate(int id, ParsedDialog* out) {
    HRSRC res = FindResourceA(g_instance, MAKEINTRESOURCEA(id), RT_DIALOG);
    if (!res) return false;
    const BYTE* data = (const BYTE*)LockResource(LoadResource(g_instance, res));
    return data && ParseDialogTemplate(data, SizeofResource(g_instance, res), out);
}

class DialogTemplates : public ::testing::Test {
protected:
    void SetUp() override { g_instance = GetModuleHandleA(nullptr); }
};

TEST_F(DialogTemplates, MatchThePageTablesFieldByField) {
    for (const Page& page : kPages) {
        SCOPED_TRACE("dialog " + std::to_string(page.id));
        ParsedDialog d;
        ASSERT_TRUE(LoadTemplate(page.id, &d)) << "missing, extended or malformed template";
        EXPECT_EQ(d.style, page.style);
        EXPECT_EQ(d.exStyle, 0u);
        EXPECT_EQ(d.x, page.x);
        EXPECT_EQ(d.y, page.y);
        EXPECT_EQ(d.cx, page.cx);
        EXPECT_EQ(d.cy, page.cy);
        EXPECT_TRUE(!d.menu.isOrdinal && d.menu.name.empty()) << "a page has no menu";
        if (page.cls) {
            EXPECT_FALSE(d.cls.isOrdinal);
            EXPECT_TRUE(SameClass(Narrow(d.cls.name), page.cls)) << Narrow(d.cls.name);
        } else {
            EXPECT_TRUE(!d.cls.isOrdinal && d.cls.name.empty()) << "unexpected class " << ClassName(d.cls);
        }
        EXPECT_EQ(d.caption, Wide(page.caption));
        EXPECT_EQ(d.pointSize, 8);
        EXPECT_EQ(d.face, L"MS Sans Serif");

        ASSERT_EQ(d.controls.size(), page.count);
        for (size_t i = 0; i < page.count; ++i) {
            const Control& want = page.controls[i];
            const ParsedControl& got = d.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(want.id) + ")");
            EXPECT_EQ(got.id, (WORD)want.id);
            EXPECT_TRUE(SameClass(ClassName(got.cls), want.cls)) << ClassName(got.cls);
            EXPECT_EQ(got.style, want.style);
            EXPECT_EQ(got.exStyle, 0u);
            EXPECT_EQ(got.x, want.x);
            EXPECT_EQ(got.y, want.y);
            EXPECT_EQ(got.cx, want.cx);
            EXPECT_EQ(got.cy, want.cy);
            if (want.image) {
                EXPECT_TRUE(got.title.isOrdinal);
                EXPECT_EQ(got.title.ordinal, want.image);
            } else {
                EXPECT_FALSE(got.title.isOrdinal);
                EXPECT_EQ(got.title.name, Wide(want.text));
            }
            EXPECT_EQ(got.extraBytes, 0);
        }
    }
}

TEST_F(DialogTemplates, NoPageHasASystemMenuAndEveryControlIsAVisibleChild) {
    for (const Page& page : kPages) {
        SCOPED_TRACE("dialog " + std::to_string(page.id));
        ParsedDialog d;
        ASSERT_TRUE(LoadTemplate(page.id, &d));
        EXPECT_EQ(d.style & WS_SYSMENU, 0u);
        EXPECT_EQ(d.style & (DS_SETFONT | WS_CAPTION | WS_POPUP | WS_VISIBLE),
                  (DWORD)(DS_SETFONT | WS_CAPTION | WS_POPUP | WS_VISIBLE));
        for (const ParsedControl& c : d.controls)
            EXPECT_EQ(c.style & (WS_CHILD | WS_VISIBLE), (DWORD)(WS_CHILD | WS_VISIBLE)) << "id " << c.id;
    }
}

// The dialog manager builds every page from its template, picture statics
// included: they find their icons and bitmaps in the same module.
INT_PTR CALLBACK QuietPage(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(DialogTemplates, EveryPageOpensWithItsControlsAndPictures) {
    // The welcome page names the program's dialog class, registered here the
    // way the program registers it.
    ASSERT_EQ(RegisterDialogClass(), 1);

    for (const Page& page : kPages) {
        SCOPED_TRACE("dialog " + std::to_string(page.id));
        HWND dialog = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(page.id), nullptr, QuietPage, 0);
        ASSERT_NE(dialog, nullptr);
        char caption[128] = "";
        GetWindowTextA(dialog, caption, sizeof(caption));
        EXPECT_STREQ(caption, page.caption);
        for (size_t i = 0; i < page.count; ++i) {
            const Control& want = page.controls[i];
            if (want.id == -1 && !want.image) continue;
            if (want.id != -1) {
                HWND control = GetDlgItem(dialog, want.id);
                ASSERT_NE(control, nullptr) << "id " << want.id;
                char name[64] = "";
                GetClassNameA(control, name, sizeof(name));
                EXPECT_TRUE(SameClass(name, want.cls)) << name;
                continue;
            }
            // Picture statics carry no id of their own: find them by style.
            bool found = false;
            for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                LONG style = GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK;
                if (style == SS_BITMAP && want.image >= 200) {
                    found = SendMessageA(c, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
                } else if (style == SS_ICON && want.image < 200) {
                    found = SendMessageA(c, STM_GETICON, 0, 0) != 0;
                }
                if (found) break;
            }
            EXPECT_TRUE(found) << "picture " << want.image << " not shown";
        }
        DestroyWindow(dialog);
    }
    UnregisterClassA("InstallDlg", g_instance);
}

}  // namespace
