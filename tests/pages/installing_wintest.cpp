// The installing page as it runs: its place, caption and colours, the folder
// slots it fills when it opens, the progress meter's picture at each stage of
// the count, the whole install step run from its timer with the page closing
// itself, and the abort when a file cannot be created.
#include "pages/installing.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "core/app.h"
#include "core/config.h"
#include "core/text.h"
#include "extract/install.h"
#include "extract/transaction.h"
#include "pages/pages.h"
#include "pages/programs_folder.h"
#include "resources/ids.h"
#include "system/desktop_user.h"
#include "tests/support/message_box_catcher.h"
#include "tests/support/programs_folder_at.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_page.h"
#include "tests/support/screen.h"

namespace {

const COLORREF kNavy = 0x800000, kDarkNavy = 0x400000, kWhite = 0xFFFFFF;
const char kCannotCreate[] = "Unable to create destination file!\r\nInstallation will now be aborted.";

std::string Thousands(uint32_t value) {
    char text[kThousandsTextSize];
    FormatThousands(value, text);
    return text;
}

uint32_t ShippedTotal() {
    uint32_t total = 0;
    for (int i = 0; i < g_product.fileCount; ++i) total += g_product.files[i].unpackedSize;
    return total;
}

std::string Normalized(std::string path) {
    NormalizeFolderCase(&path[0]);
    return path;
}

void UseThisModuleAndScreen() {
    g_instance = GetModuleHandleA(nullptr);
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
}

// --- Reading the meter's picture ---

// The meter as drawn: where the navy bar ends in a row clear of the text, and
// where the text's ink lies on either side of it. Text may be smoothed, so ink
// is any pixel of neither background; its exact colour shows in the strokes.
struct MeterPicture {
    int width = 0;
    int split = 0;               // navy columns from the left in the top row
    bool rowInTwoParts = false;  // the top row is navy up to the split and face after it
    int inkLeft = -1, inkRight = -1;
    int inkOnFill = 0, inkOnFace = 0;
    int whiteInk = 0, darkNavyInk = 0;  // pixels of exactly the two text colours
    int paleInkOnFace = 0;              // ink on the face that is lighter than the face
    int facePixels = 0;
};

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

MeterPicture ReadMeter(const Image& shot) {
    MeterPicture m;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    m.width = shot.width;
    while (m.split < shot.width && shot.At(m.split, 0) == kNavy) ++m.split;
    m.rowInTwoParts = true;
    for (int x = m.split; x < shot.width; ++x) m.rowInTwoParts &= shot.At(x, 0) == face;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            const COLORREF c = shot.At(x, y);
            m.facePixels += c == face;
            if (c == face || c == kNavy) continue;
            m.whiteInk += c == kWhite;
            m.darkNavyInk += c == kDarkNavy;
            if (x < m.split) {
                ++m.inkOnFill;
            } else {
                ++m.inkOnFace;
                m.paleInkOnFace += Brightness(c) > Brightness(face);
            }
            if (m.inkLeft < 0 || x < m.inkLeft) m.inkLeft = x;
            if (x > m.inkRight) m.inkRight = x;
        }
    }
    return m;
}

// The width the meter's font gives text, worked out on the screen.
int TextWidth(const char* text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE extent = {};
    GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &extent);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    return extent.cx;
}

// The text's ink is about as wide as the text and centred in the meter.
void ExpectMeterText(const MeterPicture& m, const char* text) {
    ASSERT_GE(m.inkLeft, 0) << "no text in the meter";
    const int ink = m.inkRight - m.inkLeft + 1;
    const int width = TextWidth(text);
    EXPECT_LE(ink, width) << "text wider than \"" << text << "\"";
    EXPECT_GE(ink, width - 4) << "text narrower than \"" << text << "\"";
    EXPECT_NEAR(m.inkLeft + m.inkRight + 1, m.width, 6) << "text not centred";
}

// --- The page opened without an owner, its step not started ---

WNDPROC g_pageMeterProc;
int g_meterPaints;

LRESULT CALLBACK CountingMeterProc(HWND meter, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) ++g_meterPaints;
    return CallWindowProcA(g_pageMeterProc, meter, message, wParam, lParam);
}

class InstallingPageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        UseThisModuleAndScreen();
        strcpy(g_windowsFolder, ".");
        strcpy(g_programsFolder, ".");
        page_ = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_INSTALLING), nullptr,
                                   InstallingPageProc, 0);
        // The step itself is run by the tests of whole runs below.
        KillTimer(page_, IDT_INSTALL_FILES);
        windowsSlot_ = g_windowsFolder;
        programsSlot_ = g_programsFolder;
        meter_ = GetDlgItem(page_, IDC_PROGRESS_METER);
    }
    static void TearDownTestSuite() {
        DestroyWindow(page_);
        strcpy(g_windowsFolder, ".");
        strcpy(g_programsFolder, ".");
        g_grandTotal = 0;
        ResetProgressMeter();
    }
    void SetUp() override {
        ASSERT_NE(page_, nullptr);
        ASSERT_NE(meter_, nullptr);
        ResetProgressMeter();
        g_grandTotal = ShippedTotal();
        SetDlgItemTextA(page_, IDC_CURRENT_SIZE, "");
        RedrawWindow(page_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        g_meterPaints = 0;
        g_pageMeterProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
            meter_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingMeterProc)));
    }
    void TearDown() override {
        SetWindowLongPtrA(meter_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pageMeterProc));
    }

    static MeterPicture Meter() { return ReadMeter(CaptureClient(meter_)); }
    static std::string Count() { return ControlText(page_, IDC_CURRENT_SIZE); }

    static HWND page_, meter_;
    static std::string windowsSlot_, programsSlot_;
};

HWND InstallingPageTest::page_;
HWND InstallingPageTest::meter_;
std::string InstallingPageTest::windowsSlot_;
std::string InstallingPageTest::programsSlot_;

TEST_F(InstallingPageTest, OpensCentredBesideTheStepPanelWithTheProductInItsCaption) {
    char caption[100];
    GetWindowTextA(page_, caption, sizeof caption);
    EXPECT_STREQ(caption, "Installing Trovado Pro Program Files");
    RECT r;
    GetWindowRect(page_, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(r.left, (g_screenWidth - w + 150) / 2);
    EXPECT_EQ(r.top, (g_screenHeight - h) / 2);
    EXPECT_NE(SendMessageA(page_, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(ControlText(page_, IDC_PROMOTION),
              "For other great software utilities be sure to\r\nstop by Velmora Utiltites home "
              "page at\r\nwww.velmora.com");
}

// Wine has one user, and its shell (found by its taskbar) runs as the test's
// own: the run is the desktop user's, whose Programs folder it takes.
TEST_F(InstallingPageTest, OpeningFillsTheWindowsAndProgramsFolderSlots) {
    EXPECT_EQ(FindDesktopUser(), kDesktopUserIsRunUser);
    EXPECT_FALSE(g_allUsersPrograms);
    char windows[MAX_PATH];
    ASSERT_NE(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    EXPECT_EQ(windowsSlot_, Normalized(windows));
    char programs[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs), S_OK);
    EXPECT_EQ(programsSlot_, Normalized(programs));
    EXPECT_NE(programsSlot_, ".");
}

// Values navy on the face, the promotional text navy on the window colour,
// labels and picture in the dialog's own colours.
TEST_F(InstallingPageTest, ValuesAndPromotionAreNavyAndLabelsKeepTheDialogsColours) {
    HDC dc = CreateCompatibleDC(nullptr);
    struct Case {
        int id;
        int background;  // system colour
    };
    for (const Case& c : {Case{400, COLOR_BTNFACE}, Case{401, COLOR_BTNFACE}, Case{402, COLOR_BTNFACE},
                          Case{403, COLOR_BTNFACE}, Case{404, COLOR_BTNFACE},
                          Case{IDC_PROMOTION, COLOR_WINDOW}}) {
        SCOPED_TRACE(c.id);
        SetTextColor(dc, RGB(1, 2, 3));
        SetBkColor(dc, RGB(4, 5, 6));
        const LRESULT brush = SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(GetDlgItem(page_, c.id)));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(c.background)));
        EXPECT_EQ(GetTextColor(dc), kNavy);
        EXPECT_EQ(GetBkColor(dc), GetSysColor(c.background));
    }
    int labels = 0;
    for (HWND child = GetWindow(page_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetDlgCtrlID(child) & 0xFFFF) != 0xFFFF) continue;
        ++labels;
        SetTextColor(dc, RGB(1, 2, 3));
        SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(child));
        EXPECT_NE(GetTextColor(dc), kNavy) << ControlText(page_, GetDlgCtrlID(child));
    }
    EXPECT_EQ(labels, 6);  // the picture and five labels
    DeleteDC(dc);

    // As drawn: the promotional box holds navy ink on the window colour.
    const Image shot = CaptureClient(GetDlgItem(page_, IDC_PROMOTION));
    ASSERT_GT(shot.width, 0);
    int window = 0, navy = 0;
    for (COLORREF c : shot.pixels) window += c == GetSysColor(COLOR_WINDOW), navy += c == kNavy;
    EXPECT_GT(window, shot.width * shot.height / 2);
    EXPECT_GT(navy, 50);
}

TEST_F(InstallingPageTest, MeterShowsZeroPercentInDarkNavyOnTheFaceBeforeTheFirstReport) {
    const MeterPicture m = Meter();
    EXPECT_EQ(m.split, 0);
    EXPECT_TRUE(m.rowInTwoParts);
    EXPECT_GT(m.inkOnFace, 10);
    EXPECT_GT(m.darkNavyInk, 0);
    EXPECT_EQ(m.paleInkOnFace, 0);
    EXPECT_EQ(m.whiteInk, 0);
    ExpectMeterText(m, "0%");
    EXPECT_EQ(Count(), "");
}

TEST_F(InstallingPageTest, MeterFillsItsShareOfEachHalfPercentAndShowsWholePercents) {
    struct Case {
        uint32_t bytes;
        int halfPercent;
        const char* text;
    };
    // 4,740 bytes are just over one half-percent of the shipped 947,817.
    const Case cases[] = {{4740, 1, "0%"}, {473909, 100, "50%"}, {943078, 199, "99%"},
                          {947816, 199, "99%"}, {947817, 200, "100%"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ResetProgressMeter();
        g_meterPaints = 0;

        AdvanceProgress(page_, c.bytes);

        EXPECT_EQ(g_meterPaints, 1);
        EXPECT_EQ(Count(), Thousands(c.bytes));
        const MeterPicture m = Meter();
        EXPECT_EQ(m.split, m.width * c.halfPercent / 200);
        EXPECT_TRUE(m.rowInTwoParts);
        ExpectMeterText(m, c.text);
        EXPECT_EQ(m.paleInkOnFace, 0);
        if (c.halfPercent == 100) {  // the bar's edge runs through the digits
            EXPECT_GT(m.inkOnFill, 10);
            EXPECT_GT(m.inkOnFace, 10);
            EXPECT_GT(m.whiteInk, 0);
            EXPECT_GT(m.darkNavyInk, 0);
        }
        if (c.halfPercent == 199) EXPECT_GT(m.facePixels, 0);
        if (c.halfPercent == 200) {
            EXPECT_EQ(m.facePixels, 0);
            EXPECT_GT(m.whiteInk, 0);
            EXPECT_EQ(m.darkNavyInk, 0);
        }
    }
}

TEST_F(InstallingPageTest, MeterRepaintsOnlyWhenItsHalfPercentChangesButTheCountOnEveryReport) {
    SetDlgItemTextA(page_, IDC_CURRENT_SIZE, "untouched");
    AdvanceProgress(page_, 0);  // nothing done yet: nothing at all happens
    EXPECT_EQ(Count(), "untouched");

    AdvanceProgress(page_, 1000);  // still under one half-percent
    EXPECT_EQ(Count(), "1,000");
    SetDlgItemTextA(page_, IDC_CURRENT_SIZE, "x");
    AdvanceProgress(page_, 0);
    EXPECT_EQ(Count(), "1,000");
    EXPECT_EQ(g_meterPaints, 0);

    AdvanceProgress(page_, 3740);
    EXPECT_EQ(g_meterPaints, 1);
    EXPECT_EQ(Meter().split, Meter().width / 200);

    // The whole shipped table in blocks of 1024: one repaint per half-percent.
    ResetProgressMeter();
    g_meterPaints = 0;
    for (uint32_t done = 0; done < ShippedTotal(); done += 1024) AdvanceProgress(page_, 1024);
    EXPECT_EQ(g_meterPaints, 200);
    EXPECT_EQ(Count(), "947,817");
}

TEST_F(InstallingPageTest, ReportsPastTheGrandTotalAreClampedToIt) {
    AdvanceProgress(page_, ShippedTotal() - 100);
    AdvanceProgress(page_, 5000);
    EXPECT_EQ(Count(), "947,817");
    AdvanceProgress(page_, 0xFFFFFFFFu);  // would wrap a 32-bit sum
    EXPECT_EQ(Count(), "947,817");
    const MeterPicture m = Meter();
    EXPECT_EQ(m.split, m.width);
    ExpectMeterText(m, "100%");
}

TEST_F(InstallingPageTest, GrandTotalOfZeroLeavesTheMeterAtZeroAndTheCountEmpty) {
    g_grandTotal = 0;
    AdvanceProgress(page_, 1000);
    AdvanceProgress(page_, 0);
    EXPECT_EQ(Count(), "");
    EXPECT_EQ(g_meterPaints, 0);
    const MeterPicture m = Meter();
    EXPECT_EQ(m.split, 0);
    ExpectMeterText(m, "0%");
}

TEST_F(InstallingPageTest, ProgressOfLargeTotalsIsWorkedOutWithoutOverflow) {
    g_grandTotal = 4000000000u;
    AdvanceProgress(page_, 3000000000u);  // times 200 is far beyond 32 bits
    EXPECT_EQ(Count(), "3,000,000,000");
    const MeterPicture m = Meter();
    EXPECT_EQ(m.split, m.width * 150 / 200);
    ExpectMeterText(m, "75%");
}

// The shell is pointed at a Programs folder on a drive that does not exist,
// so that it cannot name it: the slot is left empty rather than ".".
TEST(InstallingPageSlots, ProgramsFolderTheShellCannotNameLeavesTheSlotEmpty) {
    UseThisModuleAndScreen();
    const DWORD drives = GetLogicalDrives();
    char letter = 'K';
    while (letter < 'Y' && (drives & (1u << (letter - 'A')))) ++letter;
    ASSERT_LT(letter, 'Y') << "no free drive letter";
    const std::wstring nowhere = std::wstring(1, letter) + L":\\Start Menu\\Programs";
    strcpy(g_programsFolder, ".");
    HWND page;
    std::string slot, windowsSlot;
    {
        ProgramsFolderAt programs(nowhere);
        ASSERT_TRUE(programs.set());
        page = CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_INSTALLING), nullptr, InstallingPageProc, 0);
        slot = g_programsFolder;
        windowsSlot = g_windowsFolder;
        if (page) {
            KillTimer(page, IDT_INSTALL_FILES);
            DestroyWindow(page);
        }
    }
    strcpy(g_programsFolder, ".");
    strcpy(g_windowsFolder, ".");

    ASSERT_NE(page, nullptr);
    EXPECT_EQ(slot, "");
    EXPECT_NE(windowsSlot, "");  // the other slot is filled as ever
}

// A Programs folder spelled in 256 to 259 bytes does not fit the slot; its
// short form does, and is taken.
TEST(InstallingPageSlots, ProgramsFolderTooLongForTheSlotIsTakenByItsShortForm) {
    TempFolder base("long-programs");
    std::string folder = base.path();
    while (folder.size() < 257) {
        folder += "\\" + std::string(std::min<size_t>(40, 257 - folder.size()), 'L');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    }
    char shortForm[MAX_PATH];
    ASSERT_LT(GetShortPathNameA(folder.c_str(), shortForm, MAX_PATH), static_cast<DWORD>(kSlotSize));
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wide, MAX_PATH);
    {
        ProgramsFolderAt programs(wide);
        ASSERT_TRUE(programs.set());
        FindProgramsFolder(nullptr);
    }
    EXPECT_EQ(lstrcmpiA(g_programsFolder, shortForm), 0) << g_programsFolder;
    strcpy(g_programsFolder, ".");
}

// --- Whole runs: the page as the wizard runs it, the step from its timer ---

// What a run showed, recorded by subclassing the page's value controls and
// its meter after the page set itself up.
struct RunRecord {
    std::string windowsFolder;  // where the Windows folder slot is pointed
    std::vector<std::string> targets, fileNumbers;
    DWORD lastCountTick = 0, closedTick = 0;
    int meterPaints = 0;
    Image meterAtTotal, midway, atTotal;
    std::string totalSize, currentSize, totalFiles;
    HWND page = nullptr;
};

RunRecord* g_run;
std::map<HWND, WNDPROC> g_watched;

void PokeAtThePage(HWND page) {
    PostMessageA(page, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(page, WM_KEYUP, VK_ESCAPE, 0);
    PostMessageA(page, WM_COMMAND, IDCANCEL, 0);
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(page, WM_CLOSE, 0, 0);
}

void OnWatchedText(HWND control, const char* text) {
    switch (GetDlgCtrlID(control)) {
    case IDC_TARGET_PATH:
        g_run->targets.push_back(text);
        break;
    case IDC_CURRENT_FILE:
        g_run->fileNumbers.push_back(text);
        if (strcmp(text, "3") == 0) PokeAtThePage(g_run->page);
        break;
    case IDC_CURRENT_SIZE: {
        g_run->lastCountTick = GetTickCount();
        std::string digits(text);
        digits.erase(std::remove(digits.begin(), digits.end(), ','), digits.end());
        // Half-way, where the bar's edge runs through the digits, and at the
        // product's total (the pictures of make demo, for any product).
        uint32_t total = 0;
        for (int i = 0; i < g_product.fileCount; ++i) total += g_product.files[i].unpackedSize;
        char totalText[kThousandsTextSize];
        FormatThousands(total, totalText);
        if (g_run->midway.width == 0 && strtoul(digits.c_str(), nullptr, 10) * 2 >= total)
            g_run->midway = CaptureClient(g_run->page);
        if (strcmp(text, totalText) == 0 && g_run->atTotal.width == 0) {
            g_run->atTotal = CaptureClient(g_run->page);
            g_run->meterAtTotal = CaptureClient(GetDlgItem(g_run->page, IDC_PROGRESS_METER));
        }
        break;
    }
    }
}

LRESULT CALLBACK WatchingProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT && GetDlgCtrlID(control) == IDC_PROGRESS_METER) ++g_run->meterPaints;
    const LRESULT result = CallWindowProcA(g_watched[control], control, message, wParam, lParam);
    if (message == WM_SETTEXT) OnWatchedText(control, reinterpret_cast<const char*>(lParam));
    return result;
}

INT_PTR CALLBACK WatchedPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    // Ending the dialog hides it at once; the window goes later.
    if (message == WM_WINDOWPOSCHANGING && !g_run->closedTick &&
        (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_HIDEWINDOW))
        g_run->closedTick = GetTickCount();
    if (message == WM_DESTROY) {
        g_run->totalSize = ControlText(page, IDC_TOTAL_SIZE);
        g_run->currentSize = ControlText(page, IDC_CURRENT_SIZE);
        g_run->totalFiles = ControlText(page, IDC_TOTAL_FILES);
        for (const auto& watched : g_watched)
            SetWindowLongPtrA(watched.first, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watched.second));
        g_watched.clear();
    }
    const INT_PTR result = InstallingPageProc(page, message, wParam, lParam);
    if (message == WM_INITDIALOG) {
        g_run->page = page;
        // The page has just filled the slot with the system's folder; the test's
        // own stands in for it.
        strcpy(g_windowsFolder, g_run->windowsFolder.c_str());
        for (int id : {IDC_TARGET_PATH, IDC_CURRENT_SIZE, IDC_CURRENT_FILE, IDC_PROGRESS_METER}) {
            HWND control = GetDlgItem(page, id);
            g_watched[control] = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchingProc)));
        }
        PokeAtThePage(page);  // before the step starts, through the dialog's own loop
    }
    return result;
}

// The catcher takes the page for a box too (it is a dialog of the same
// class, and ignores the button click it is sent): the boxes are the others.
std::vector<CaughtBox> MessageBoxes(const MessageBoxCatcher& catcher, HWND page) {
    std::vector<CaughtBox> boxes;
    for (const CaughtBox& box : catcher.boxes())
        if (box.window != page) boxes.push_back(box);
    return boxes;
}

class InstallingRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseThisModuleAndScreen();
        ResetProgressMeter();
        windows_ = root_ / "Windows";
        install_ = root_ / "Velmora Utilities\\Trovado Pro";
        ASSERT_TRUE(CreateDirectoryA(windows_.c_str(), nullptr));
        strcpy(g_installFolder, install_.c_str());
        run_.windowsFolder = windows_;
        g_run = &run_;
    }
    void TearDown() override {
        RollBackTransaction();  // the page leaves its run open, as for the group page
        g_run = nullptr;
        strcpy(g_installFolder, ".");
        strcpy(g_windowsFolder, ".");
        strcpy(g_programsFolder, ".");
        g_grandTotal = 0;
        ResetProgressMeter();
    }

    INT_PTR RunPage() {
        return DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_INSTALLING), nullptr,
                               WatchedPageProc, 0);
    }
    std::string TargetOf(int entry) const {
        const FileEntry& e = g_product.files[entry];
        return ((e.flags & kInWindowsFolder) ? windows_ : install_) + "\\" + e.fileName;
    }

    TempFolder root_{"installing"};
    std::string windows_, install_;
    RunRecord run_;
};

TEST_F(InstallingRunTest, RunsTheStepOnceShowingEachFileAndClosesItselfASecondAfterTheLast) {
    MessageBoxCatcher boxes;

    EXPECT_EQ(RunPage(), 1);  // Escape and the close commands changed nothing
    // make demo keeps the pictures, whatever product it was built for; the
    // checks below pin the shipped one.
    if (getenv("PORTAVO_SHOTS")) {
        EXPECT_TRUE(SavePng(run_.midway, ShotPath("installing-midway.png")));
        EXPECT_TRUE(SavePng(run_.atTotal, ShotPath("installing-done.png")));
    }

    EXPECT_TRUE(MessageBoxes(boxes, run_.page).empty());
    ASSERT_EQ(g_product.fileCount, 10);
    std::vector<std::string> targets, numbers;
    for (int i = 0; i < g_product.fileCount; ++i) {
        targets.push_back(TargetOf(i));
        numbers.push_back(std::to_string(i + 1));
        EXPECT_TRUE(FileExists(TargetOf(i))) << TargetOf(i);
    }
    EXPECT_EQ(run_.targets, targets);
    EXPECT_EQ(run_.fileNumbers, numbers);
    EXPECT_EQ(run_.totalSize, "947,817");
    EXPECT_EQ(run_.currentSize, "947,817");
    EXPECT_EQ(run_.totalFiles, "10");

    EXPECT_GT(run_.meterPaints, 100);
    EXPECT_LE(run_.meterPaints, 200 + 5);  // its half-percents and a few exposures
    const MeterPicture m = ReadMeter(run_.meterAtTotal);
    EXPECT_EQ(m.split, m.width);
    ExpectMeterText(m, "100%");

    const DWORD lingered = run_.closedTick - run_.lastCountTick;
    EXPECT_GE(lingered, 900u);
    EXPECT_LE(lingered, 2000u);

}

TEST_F(InstallingRunTest, FileThatCannotBeCreatedShowsTheErrorThenTheAbortNoticeAndStops) {
    enum { kReadMe = 6 };
    CreateDirectoryA((root_ / "Velmora Utilities").c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(install_.c_str(), nullptr));
    // A folder where the new read-me is written before it takes its name.
    ASSERT_TRUE(CreateDirectoryA((TargetOf(kReadMe) + kNewSuffix).c_str(), nullptr));
    MessageBoxCatcher boxes;

    const INT_PTR result = RunPage();

    EXPECT_EQ(result, 2);
    const std::vector<CaughtBox> shown = MessageBoxes(boxes, run_.page);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, kCannotCreate);
    EXPECT_EQ(shown[0].icon, UINT(MB_ICONERROR));
    EXPECT_EQ(shown[1].text.rfind("Installation Aborted!", 0), 0u) << shown[1].text;
    EXPECT_EQ(shown[1].icon, UINT(MB_ICONWARNING));
    for (const CaughtBox& box : shown) {
        EXPECT_EQ(box.caption, "Portavo");
        EXPECT_EQ(box.owner, run_.page);
    }
    for (int i = 0; i < kReadMe; ++i) EXPECT_TRUE(FileExists(TargetOf(i))) << TargetOf(i);
    for (int i = kReadMe + 1; i < g_product.fileCount; ++i)
        EXPECT_FALSE(FileExists(TargetOf(i))) << TargetOf(i);
    EXPECT_EQ(run_.fileNumbers.back(), "7");
}

}  // namespace
