#include "core/wizard.h"

#include "backdrop/backdrop.h"
#include "core/app.h"
#include "pages/pages.h"
#include "resources/ids.h"
#include "system/completion.h"
#include "system/registry.h"

// The dialog class copies the system one, whose windows need these extra
// bytes: 30 in the 32-bit program.
static_assert(sizeof(void*) != 4 || DLGWINDOWEXTRA == 30, "dialog windows need 30 extra bytes");

HWND g_backdrop;
int g_stepMask;

namespace {

const char kDialogClass[] = "InstallDlg";
const char kBackdropClass[] = "InstallApp";
const char kBackdropTitle[] = "Portavo";

// The step panel's labels, which SetStep repaints.
const RECT kStepPanel = {0, 120, 150, 244};

HICON SmallProgramIcon() {
    return static_cast<HICON>(
        LoadImageA(g_instance, MAKEINTRESOURCEA(IDI_PROGRAM), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
}

// Runs one page owned by the backdrop; true when it asks to go on.
bool RunPage(HWND backdrop, int step, int dialogId, DLGPROC procedure) {
    SetStep(step);
    return DialogBoxParamA(g_instance, MAKEINTRESOURCEA(dialogId), backdrop, procedure, 0) == 1;
}

LRESULT OnBackdropTimer(HWND window, UINT_PTR id) {
    KillTimer(window, id);
    RunLicensePage(window);
    return 0;
}

}  // namespace

BOOL InitApplication(HINSTANCE instance) {
    WriteUnloadSwitch();
    g_instance = instance;
    g_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    g_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    RegisterDialogClass();
    return RegisterBackdropClass() != 0;
}

int RegisterDialogClass() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(nullptr, MAKEINTRESOURCEA(0x8002), &wc)) return 0;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefDlgProcA;
    wc.cbWndExtra = DLGWINDOWEXTRA;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.hIconSm = SmallProgramIcon();
    wc.lpszClassName = kDialogClass;
    return RegisterClassExA(&wc) ? 1 : 0;
}

ATOM RegisterBackdropClass() {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = BackdropWndProc;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_PROGRAM));
    wc.hIconSm = SmallProgramIcon();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    wc.lpszClassName = kBackdropClass;
    return RegisterClassExA(&wc);
}

int CreateBackdropWindow(int showCommand) {
    g_backdrop = CreateWindowExA(WS_EX_TOPMOST, kBackdropClass, kBackdropTitle,
                                 WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU, 0, 0, g_screenWidth,
                                 g_screenHeight, nullptr, nullptr, g_instance, nullptr);
    if (!g_backdrop) return 0;
    ShowWindow(g_backdrop, showCommand);
    UpdateWindow(g_backdrop);
    return 1;
}

LRESULT CALLBACK BackdropWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetUpBackdrop(window);
        SetTimer(window, IDT_START_WIZARD, 250, nullptr);
        return 1;
    case WM_DESTROY:
        return ReleaseBackdrop(window);
    case WM_PAINT:
        return PaintBackdrop(window);
    case WM_ERASEBKGND:
        return 1;
    case WM_TIMER:
        return OnBackdropTimer(window, wParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void SetStep(int mask) {
    g_stepMask = mask;
    InvalidateRect(g_backdrop, &kStepPanel, FALSE);
    UpdateWindow(g_backdrop);
}

void RunLicensePage(HWND backdrop) {
    if (RunPage(backdrop, kStepLicense, IDD_LICENSE, LicensePageProc))
        RunLocationPage(backdrop);
    else
        DestroyWindow(backdrop);
}

void RunLocationPage(HWND backdrop) {
    if (RunPage(backdrop, kStepLocation, IDD_LOCATION, LocationPageProc))
        RunInstallingPage(backdrop);
    else
        DestroyWindow(backdrop);
}

void RunInstallingPage(HWND backdrop) {
    if (RunPage(backdrop, kStepInstalling, IDD_INSTALLING, InstallingPageProc))
        RunGroupPage(backdrop);
    else
        DestroyWindow(backdrop);
}

void RunGroupPage(HWND backdrop) {
    if (RunPage(backdrop, kStepGroup, IDD_GROUP, GroupPageProc))
        FinishInstallation(backdrop);
    else
        DestroyWindow(backdrop);
}
