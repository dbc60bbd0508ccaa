// The shortcut dialog, dialog 1006, run by the group page: it makes the group
// folder below the Start menu's Programs folder and one shell link in it for
// each of the file table's first shortcut-count entries, showing each name and
// stepping a progress bar. It ends with 1 when every link was saved, else 2.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include "core/app.h"
#include "core/config.h"
#include "core/log.h"
#include "core/pump.h"
#include "core/text.h"
#include "extract/transaction.h"
#include "pages/group.h"
#include "pages/page.h"
#include "pages/pages.h"
#include "pages/programs_folder.h"
#include "resources/ids.h"

namespace {

// The shell link's class and the two interfaces used here, defined in this
// file: naming them from libuuid links in every GUID it knows (about 40 KB).
const CLSID kShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kPersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Makes and saves one shell link; false when any part of it failed.
bool CreateShortcut(const char* target, const char* folder, const WCHAR* linkPath,
                    const char* description) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, kShellLinkInterface,
                                reinterpret_cast<void**>(&link))))
        return false;
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->SetPath(target)) && SUCCEEDED(link->SetWorkingDirectory(folder)) &&
        SUCCEEDED(link->SetDescription(description)) &&
        SUCCEEDED(link->QueryInterface(kPersistFileInterface, reinterpret_cast<void**>(&file)))) {
        // A link of the same name is an earlier one: it is kept aside until
        // the run completes. (A folder of that name makes the save fail.)
        const DWORD existing = GetFileAttributesW(linkPath);
        if ((existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY) ||
             MoveAside(linkPath)) &&
            NoteNewFile(linkPath))
            saved = SUCCEEDED(file->Save(linkPath, TRUE));
        if (saved) LogWideLine("Link created", linkPath);
        file->Release();
    }
    link->Release();
    return saved;
}

}  // namespace

bool CreateEntryShortcut(const FileEntry& entry) {
    const char* folder = (entry.flags & kInInstallFolder) ? g_installFolder : g_windowsFolder;
    char target[kPathBufferSize];
    WCHAR linkPath[kPathBufferSize];
    return JoinPath(target, sizeof target, folder, entry.fileName, 0) &&
           MakeLinkPath(linkPath, g_groupName, entry.shortcutName) &&
           CreateShortcut(target, folder, linkPath, entry.shortcutName);
}

namespace {

// 1 when COM started and every link was saved. A link that fails still steps
// the bar and the others are still tried, so the user sees the whole run.
int CreateShortcuts(HWND dialog) {
    // S_FALSE: COM was already running on this thread, which is just as good;
    // either way the call is balanced by CoUninitialize.
    if (FAILED(CoInitialize(nullptr))) return 0;
    const int count = g_product.shortcutCount > 0 ? g_product.shortcutCount : 0;
    HWND bar = GetDlgItem(dialog, IDC_SHORTCUT_PROGRESS);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, count));
    SendMessageA(bar, PBM_SETSTEP, 1, 0);

    bool allSaved = MakeGroupFolder(g_groupName);

    for (int i = 0; i < count && i < kMaxFiles; ++i) {
        SetDlgItemTextA(dialog, IDC_SHORTCUT_NAME, g_product.files[i].shortcutName);
        if (!CreateEntryShortcut(g_product.files[i])) allSaved = false;
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        PumpMessagesFor(dialog, 200);
    }
    PumpMessagesFor(dialog, 500);  // the full bar stays in view
    CoUninitialize();
    return allSaved ? 1 : 0;
}

void InitShortcutPage(HWND dialog) {
    CenterPage(dialog, 1);
    FormatCaption(dialog, 1);
    SetTimer(dialog, IDT_MAKE_SHORTCUTS, 250, nullptr);
}

INT_PTR OnShortcutTimer(HWND dialog, UINT_PTR id) {
    // Once only: the timed pump between links dispatches this dialog's messages.
    KillTimer(dialog, id);
    EndDialog(dialog, CreateShortcuts(dialog) ? 1 : 2);
    return 0;
}

}  // namespace

INT_PTR CALLBACK ShortcutPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitShortcutPage(dialog);
        return TRUE;
    case WM_TIMER:
        return OnShortcutTimer(dialog, wParam);
    default:
        return FALSE;
    }
}
