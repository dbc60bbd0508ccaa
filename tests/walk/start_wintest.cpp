// Start-up, the backdrop, the welcome and license pages, walked in the real
// setup.exe from outside.
#include <gtest/gtest.h>

#include <string>

#include "backdrop/dib.h"
#include "core/app.h"
#include "resources/ids.h"
#include "tests/support/temp_folder.h"
#include "tests/support/screen.h"
#include "tests/walk/walk.h"

namespace {

const char kUnloadSwitchKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\explorer\\AlwaysUnloadDll";
const COLORREF kPanel = 0x601800;
const COLORREF kRule = 0xFFF8F8;
const COLORREF kWhite = 0xFFFFFF;

bool UnloadSwitchIsOn() {
    char value[8] = "";
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_LOCAL_MACHINE, kUnloadSwitchKey, nullptr, RRF_RT_REG_SZ, nullptr, value,
                        &size) == ERROR_SUCCESS &&
           std::string(value) == "1";
}

// The labels of the step panel, top to bottom.
const char* const kSteps[] = {"License Agreement", "Program Location", "Installing Files",
                              "Program Group",     "Creating Shortcuts", "View Read Me",
                              "Finished"};


// Share of the pixels of a screen area that equal an expected picture.
double Agreement(const Image& screen, int left, int top, const Image& expected) {
    int same = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (screen.At(left + x, top + y) == expected.At(x, y)) ++same;
    return static_cast<double>(same) / (expected.width * expected.height);
}

// A picture drawn into a memory bitmap by draw(dc), read back.
template <typename Draw>
Image DrawnPicture(int width, int height, Draw draw) {
    Image image;
    image.width = width;
    image.height = height;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    draw(memory);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) image.pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

class StartTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        ForgetEarlierRuns();
    }
};

TEST_F(StartTest, WelcomePageShowsTheProductAndCancelOrEscapeEndsQuietly) {
    const char* const ways[] = {"cancel", "escape"};
    for (const char* way : ways) {
        SCOPED_TRACE(way);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUnloadSwitchKey);
        Walk walk(std::string("welcome-") + way);
        ASSERT_TRUE(StartSetup(&walk.run));
        HWND page = WaitForWelcome(walk);
        ASSERT_TRUE(page);
        EXPECT_EQ(GetWindow(page, GW_OWNER), nullptr);
        EXPECT_TRUE(UnloadSwitchIsOn()) << "written before anything is shown";

        EXPECT_EQ(ItemText(page, IDC_DESCRIPTION),
                  "This program will install Trovado Pro to your computer. It is strongly "
                  "recommended that you quit all running programs and restart your computer "
                  "before you continue.");
        bool banner = false;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (TextOf(child) == "Portavo For Windows\r\nSoftware Installation Wizard") banner = true;
        EXPECT_TRUE(banner);
        // The program icon in the page's icon control, as the program's resources draw it.
        HWND icon = nullptr;
        for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon = child;
        ASSERT_TRUE(icon);
        // Looked at once painted: a page that has just appeared may still be drawing.
        double agreement = 0;
        for (const DWORD start = GetTickCount();; Sleep(50)) {
            const Image shown = CaptureRect(ScreenRect(icon));
            const Image expected = DrawnPicture(shown.width, shown.height, [&](HDC dc) {
                HBRUSH face = CreateSolidBrush(shown.At(shown.width - 1, shown.height - 1));
                const RECT all = {0, 0, shown.width, shown.height};
                FillRect(dc, &all, face);
                DeleteObject(face);
                DrawIconEx(dc, 0, 0, LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_PROGRAM)), 0, 0, 0,
                           nullptr, DI_NORMAL | DI_DEFAULTSIZE);
            });
            agreement = Agreement(shown, 0, 0, expected);
            if (agreement > 0.95 || GetTickCount() - start >= Patience(1000)) break;
        }
        EXPECT_GT(agreement, 0.95);

        const RECT r = ScreenRect(page);
        const int w = r.right - r.left, h = r.bottom - r.top;
        EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - w) / 2) << "centred on the whole screen";
        EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - h) / 2);
        Snap(walk, "welcome");

        if (std::string(way) == "cancel")
            Click(page, IDCANCEL);
        else
            PressKey(page, VK_ESCAPE);
        bool backdrop = false;
        while (WaitForSingleObject(walk.run.process.hProcess, 10) == WAIT_TIMEOUT &&
               Elapsed(walk.run) < 15000)
            backdrop = backdrop || FindRunWindow(walk.run, "InstallApp", nullptr);
        EXPECT_FALSE(backdrop);
        EXPECT_EQ(FindRunWindow(walk.run, "#32770", "Portavo"), nullptr) << "no message box";
        EXPECT_EQ(WaitForExit(&walk.run, 5000), 1);
    }
}

// A copy of setup.exe with damage made to it where the build put it.
struct DamagedCopy {
    const char* what;
    std::string bytes;
    const char* named;  // what the error box must name
};

// Replaces the first occurrence of a run of bytes found in the program; false
// when it is not there.
bool Damage(std::string* program, const std::string& run, size_t at, char with) {
    const size_t found = program->find(run);
    if (run.empty() || found == std::string::npos) return false;
    (*program)[found + at] = with;
    return true;
}

TEST_F(StartTest, DamagedCopyShowsOneErrorBoxEndsAndWritesNothing) {
    std::string program, readMe, checksums;
    ASSERT_TRUE(ReadWholeFile(SetupPath(), &program));
    ASSERT_TRUE(ReadWholeFile(PORTAVO_TREE_GEN "/packed/Read Me.txt", &readMe));
    ASSERT_TRUE(ReadWholeFile(PORTAVO_TREE_GEN "/checksums.bin", &checksums));
    DamagedCopy copies[] = {
        {"a payload byte flipped", program, "\"Read Me.txt\""},
        {"a recorded CRC-32 changed", program, "\"Trovado Pro.exe\""},
        {"no checksum table", program, "checksum table is missing"},
    };
    ASSERT_TRUE(Damage(&copies[0].bytes, readMe, readMe.size() / 2, static_cast<char>(readMe[readMe.size() / 2] ^ 4)));
    // Entry 2's CRC-32 follows "PVCK", the count and two 20-byte entries, and its name.
    ASSERT_TRUE(Damage(&copies[1].bytes, checksums, 8 + 2 * 20 + 16, static_cast<char>(checksums[8 + 2 * 20 + 16] ^ 1)));
    // The resource directory names the table in UTF-16; another name hides it.
    ASSERT_TRUE(Damage(&copies[2].bytes, std::string("C\0H\0E\0C\0K\0S\0U\0M\0S\0", 18), 16, 'X'));

    TempFolder folder("damaged");
    int n = 0;
    for (const DamagedCopy& copy : copies) {
        SCOPED_TRACE(copy.what);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUnloadSwitchKey);
        const std::string path = folder / "setup.exe";
        ASSERT_TRUE(WriteWholeFile(path, copy.bytes));
        Walk walk("damaged-" + std::to_string(++n));
        ASSERT_TRUE(StartSetup(&walk.run, path));
        BoxInfo box;
        ASSERT_TRUE(WaitForMessageBox(walk.run, &box, 15000));
        Snap(walk, "refused");
        EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(box.owner, nullptr);
        EXPECT_NE(box.text.find(copy.named), std::string::npos) << box.text;
        EXPECT_NE(box.text.find("fresh copy of the setup program"), std::string::npos) << box.text;
        EXPECT_EQ(FindRunWindow(walk.run, "InstallDlg", nullptr), nullptr) << "no welcome page";
        EXPECT_TRUE(AnswerMessageBox(box, IDOK));
        EXPECT_EQ(WaitForExit(&walk.run, 10000), 1);
        EXPECT_FALSE(UnloadSwitchIsOn()) << "nothing written";
    }
}

TEST_F(StartTest, ASecondCopyWarnsAndEndsWhileTheFirstGoesOn) {
    Walk first("single-run");
    ASSERT_TRUE(StartSetup(&first.run));
    HWND welcome = WaitForWelcome(first);
    ASSERT_TRUE(welcome);
    // The first copy has written the unload switch; removed, it shows
    // whether the second writes anything.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kUnloadSwitchKey);

    Walk second("single-run-second");
    ASSERT_TRUE(StartSetup(&second.run));
    BoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(second.run, &box, 20000));
    Snap(second, "already-running");
    EXPECT_EQ(box.text, "The Trovado Pro setup program is already running.");
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(FindRunWindow(second.run, "InstallDlg", nullptr), nullptr) << "no welcome page";
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_EQ(WaitForExit(&second.run, 5000), 1);
    EXPECT_FALSE(UnloadSwitchIsOn()) << "the second copy wrote nothing";

    EXPECT_TRUE(IsWindowVisible(welcome));
    EXPECT_EQ(WaitForWelcome(first, 1000), welcome);
    Click(welcome, IDCANCEL);
    EXPECT_EQ(WaitForExit(&first.run, 5000), 1);
}

// Another user's copy, in another session, holds the mutex and this user may
// not open it: in the program's private namespace, which only members of
// the Administrators group can create, or where the system has none (Wine)
// in the Global\ namespace.
TEST_F(StartTest, AnotherUsersCopyAnywhereOnTheMachineStopsItToo) {
    SECURITY_DESCRIPTOR descriptor;
    ACL noAccess;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                InitializeAcl(&noAccess, sizeof noAccess, ACL_REVISION) &&
                SetSecurityDescriptorDacl(&descriptor, TRUE, &noAccess, FALSE));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, &descriptor, FALSE};
    HANDLE space = nullptr;
    if (HANDLE boundary = CreateBoundaryDescriptorW(L"VelmoraUtilities", 0)) {
        BYTE administrators[SECURITY_MAX_SID_SIZE];
        DWORD size = sizeof administrators;
        if (CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
            AddSIDToBoundaryDescriptor(&boundary, administrators))
            space = CreatePrivateNamespaceW(nullptr, boundary, L"VelmoraUtilities");
        DeleteBoundaryDescriptor(boundary);
    }
    const char* const kName =
        space ? "VelmoraUtilities\\TrovadoProSetup" : "Global\\VelmoraUtilitiesTrovadoProSetup";
    HANDLE other = CreateMutexA(&attributes, FALSE, kName);
    ASSERT_TRUE(other);
    HANDLE mine = CreateMutexA(nullptr, FALSE, kName);
    EXPECT_TRUE(!mine && GetLastError() == ERROR_ACCESS_DENIED) << "as for another user's mutex";
    if (mine) CloseHandle(mine);

    Walk walk("other-user");
    ASSERT_TRUE(StartSetup(&walk.run));
    BoxInfo box;
    ASSERT_TRUE(WaitForMessageBox(walk.run, &box, 20000));
    EXPECT_EQ(box.text, "The Trovado Pro setup program is already running.");
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(FindRunWindow(walk.run, "InstallDlg", nullptr), nullptr) << "no welcome page";
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_EQ(WaitForExit(&walk.run, 5000), 1);
    CloseHandle(other);
    if (space) ClosePrivateNamespace(space, 0);
}

TEST_F(StartTest, BackdropCoversTheScreenAndTheLicensePageFollows) {
    Walk walk("license");
    ASSERT_TRUE(StartSetup(&walk.run));
    ASSERT_TRUE(PassWelcome(walk));
    HWND backdrop = WaitForBackdrop(walk);
    ASSERT_TRUE(backdrop);
    const DWORD backdropSeen = GetTickCount();
    // The panel before the first page, once painted: no step highlighted.
    std::string early;
    bool licenseAlreadyOpen = false;
    while (!licenseAlreadyOpen && (early.empty() || early.find('?') != std::string::npos)) {
        const Image screen = CaptureScreen();
        licenseAlreadyOpen = FindRunWindow(walk.run, "#32770", nullptr) != nullptr;
        if (screen.At(5, 300) == kPanel) early = StepColours(screen);
    }

    HWND page = WaitForPage(walk, "Trovado Pro License Agreement");
    ASSERT_TRUE(page);
    EXPECT_GE(GetTickCount() - backdropSeen, 240u) << "the license page waits 250 ms";
    // Only where the 250 ms can be watched: on a machine slow enough to need
    // stretched waits (PORTAVO_WALK_PATIENCE), painting the panel alone can
    // outlast them.
    if (!licenseAlreadyOpen && Patience(1) == 1) EXPECT_EQ(early, "iiiiiii");

    const int W = GetSystemMetrics(SM_CXSCREEN), H = GetSystemMetrics(SM_CYSCREEN);
    const RECT b = ScreenRect(backdrop);
    EXPECT_EQ(b.left, 0);
    EXPECT_EQ(b.top, 0);
    EXPECT_EQ(b.right, W);
    EXPECT_EQ(b.bottom, H);
    EXPECT_TRUE(GetWindowLongA(backdrop, GWL_EXSTYLE) & WS_EX_TOPMOST);
    // The system adds WS_CLIPSIBLINGS, and the open page disables its owner.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(backdrop, GWL_STYLE)) &
                  ~(WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU));
    EXPECT_EQ(GetWindow(page, GW_OWNER), backdrop);

    std::string license;
    ASSERT_TRUE(ReadWholeFile(WinePathOf(PORTAVO_SOURCE_DIR "/resources/license.txt"), &license));
    EXPECT_EQ(ItemText(page, IDC_LICENSE_TEXT), license) << "exactly the LICENSE bytes";

    RECT r = ScreenRect(page);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(r.left, (W - w + 150) / 2) << "centred right of the step panel";
    EXPECT_EQ(r.top, (H - h) / 2);
    Snap(walk, "license");

    // Growing the page grows the text and moves the buttons by as much.
    HWND text = GetDlgItem(page, IDC_LICENSE_TEXT);
    HWND agree = GetDlgItem(page, IDOK), disagree = GetDlgItem(page, IDCANCEL);
    const RECT t0 = ScreenRect(text), a0 = ScreenRect(agree), d0 = ScreenRect(disagree);
    SetWindowPos(page, nullptr, 0, 0, w + 40, h + 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT t1 = ScreenRect(text), a1 = ScreenRect(agree), d1 = ScreenRect(disagree);
    EXPECT_EQ(t1.right - t1.left, t0.right - t0.left + 40);
    EXPECT_EQ(t1.bottom - t1.top, t0.bottom - t0.top + 30);
    EXPECT_EQ(t1.left, t0.left);
    EXPECT_EQ(a1.left - a0.left, 40);
    EXPECT_EQ(a1.top - a0.top, 30);
    EXPECT_EQ(d1.left - d0.left, 40);
    EXPECT_EQ(d1.top - d0.top, 30);
    EXPECT_EQ(a1.right - a1.left, a0.right - a0.left) << "buttons keep their size";
    SetWindowPos(page, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT t2 = ScreenRect(text), a2 = ScreenRect(agree);
    EXPECT_EQ(t2.right - t2.left, t0.right - t0.left) << "shrinking undoes it";
    EXPECT_EQ(a2.left, a0.left);

    Click(page, IDCANCEL);
    bool box = false;
    while (WaitForSingleObject(walk.run.process.hProcess, 10) == WAIT_TIMEOUT &&
           Elapsed(walk.run) < 20000)
        box = box || FindRunWindow(walk.run, "#32770", "Portavo");
    EXPECT_FALSE(box) << "I Disagree ends the run without a message box";
    EXPECT_EQ(WaitForExit(&walk.run, 5000), 1);
}

TEST_F(StartTest, BackdropPictureWhileTheLicensePageIsOpen) {
    Walk walk("backdrop");
    ASSERT_TRUE(StartSetup(&walk.run));
    ASSERT_TRUE(PassWelcome(walk));
    HWND page = WaitForPage(walk, "Trovado Pro License Agreement");
    ASSERT_TRUE(page);
    // Move the page out of the way of the areas looked at.
    const RECT r = ScreenRect(page);
    SetWindowPos(page, nullptr, 400, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Sleep(300);
    Snap(walk, "backdrop");
    const Image screen = CaptureScreen();
    const int W = screen.width, H = screen.height;

    EXPECT_EQ(StepColours(screen), "Aiiiiii") << "only the license step is highlighted";
    EXPECT_EQ(screen.At(5, 300), kPanel);
    EXPECT_EQ(screen.At(145, 90), kPanel);
    EXPECT_EQ(screen.At(200, 61), kWhite);

    // Rules every 4 pixels from y = 63 to the bottom, right of the panel.
    int rules = 0;
    for (int y = 60; y < H; ++y) {
        const bool rule = screen.At(200, y) == kRule;
        if (rule && screen.At(W - 1, y) == kRule) ++rules;
        if ((y - 63) % 4 == 0) EXPECT_TRUE(rule) << "y " << y;
    }
    EXPECT_GE(rules, (H - 63) / 4);

    // The separator: two rows of different colours under the header.
    EXPECT_NE(screen.At(300, 58), screen.At(300, 59));
    EXPECT_EQ(screen.At(160, 58), screen.At(W - 10, 58));
    EXPECT_EQ(screen.At(160, 59), screen.At(W - 10, 59));
    EXPECT_NE(screen.At(300, 58), kWhite);

    // The banner at the right end of the header, as bitmap 202 draws.
    HGLOBAL banner = CopyDibResource(IDB_BANNER);
    HPALETTE palette = CreateDibPalette(banner);
    const Image expectedBanner =
        DrawnPicture(334, 58, [&](HDC dc) { DrawDib(dc, 0, 0, banner, palette); });
    EXPECT_GT(Agreement(screen, W - 334, 0, expectedBanner), 0.98);
    GlobalFree(banner);
    DeleteObject(palette);

    // The artwork at (16, H - 180), its teal replaced by the panel colour.
    const Image expectedArt = DrawnPicture(120, 168, [](HDC dc) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP art = LoadBitmapA(g_instance, MAKEINTRESOURCEA(IDB_START_MENU));
        HGDIOBJ previous = SelectObject(memory, art);
        BitBlt(dc, 0, 0, 120, 168, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(art);
        DeleteDC(memory);
    });
    int teal = 0, matched = 0, total = 0;
    for (int y = 0; y < 168; ++y)
        for (int x = 0; x < 120; ++x) {
            const COLORREF shown = screen.At(16 + x, H - 180 + y);
            if (shown == 0x808000) ++teal;
            if (expectedArt.At(x, y) == 0x808000) continue;
            ++total;
            if (shown == expectedArt.At(x, y)) ++matched;
        }
    EXPECT_EQ(teal, 0);
    EXPECT_GT(static_cast<double>(matched) / total, 0.98);
    EXPECT_EQ(screen.At(17, H - 179), kPanel) << "the background is the panel colour";
    EXPECT_EQ(screen.At(16 + 120, H - 100), kPanel) << "nothing drawn right of the artwork";

    SetWindowPos(page, nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Click(page, IDCANCEL);
    EXPECT_EQ(WaitForExit(&walk.run, 20000), 1);
}

}  // namespace
