// The program location page, dialog 1003: the install folder in a path field,
// a small owner-drawn browser of the fixed drives and of one folder with its
// ancestors and subfolders, "Reset Folder", and the check on "Continue" that
// refuses malformed paths and makes the folder name the product.
#include "pages/location.h"

#include <shellapi.h>
#include <shlobj.h>
#include <commctrl.h>

#include <cstdint>
#include <cstring>

#include "backdrop/backdrop.h"
#include "core/config.h"
#include "core/dll_search.h"
#include "core/text.h"
#include "pages/location_path.h"
#include "pages/page.h"
#include "pages/pages.h"
#include "resources/ids.h"
#include "system/registry.h"

namespace {

const char kDefaultParent[] = "C:\\Velmora Utilities";
const UINT kItemInfoFlags = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON;

enum { kRootNameSize = 128, kPathFieldLimit = kPathBufferSize - 1 };

char g_rootName[kRootNameSize];
int16_t g_rootIcon;
int16_t g_currentItem;
int g_drivesView;
int16_t g_indent[kIndentEntries];

void AddItem(HWND list, const char* text, int kind) {
    const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_SETITEMDATA, index, kind);
}

void InsertItem(HWND list, int index, const char* text, int kind) {
    SendMessageA(list, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_SETITEMDATA, index, kind);
}

int ItemCount(HWND list) { return static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); }

// Sets the indentation of items first to the end of the list.
void IndentFrom(HWND list, int first, int level) {
    const int count = ItemCount(list);
    for (int i = first; i < count && i < kIndentEntries; ++i) g_indent[i] = static_cast<int16_t>(level);
}

void EndListing(HWND list) {
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void ListDrives(HWND page) {
    HWND list = GetDlgItem(page, IDC_FOLDER_LIST);
    char roots[128];
    const DWORD length = GetLogicalDriveStringsA(sizeof roots, roots);
    if (length == 0 || length >= sizeof roots) roots[0] = roots[1] = '\0';
    for (char* root = roots; *root; root += strlen(root) + 1) {
        *root = FoldAscii(*root);
        if (GetDriveTypeA(root) == DRIVE_FIXED) AddItem(list, root, kDriveItem);
    }
    InsertItem(list, 0, g_rootName, kRootItem);
    LRESULT current =
        SendMessageA(list, LB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(g_installFolder));
    if (current == LB_ERR) current = 0;
    SendMessageA(list, LB_SETCURSEL, current, 0);
    g_currentItem = static_cast<int16_t>(current);
    g_indent[0] = 0;
    IndentFrom(list, 1, 1);
    EndListing(list);
}

void InsertAncestor(const char* folder, int level, void* list) {
    InsertItem(static_cast<HWND>(list), level, folder, level == 1 ? kDriveItem : kFolderItem);
    if (level < kIndentEntries) g_indent[level] = static_cast<int16_t>(level);
}

void CountAncestor(const char*, int, void*) {}

// Adds the subfolders of path in sorted order, as many as the indentation
// table leaves room for after room other items.
void ListSubfolders(HWND list, const char* path, int room) {
    char pattern[kPathBufferSize];
    if (!JoinPath(pattern, sizeof pattern, path, "*.*", 0)) return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || found.cFileName[0] == '.')
            continue;
        // Opening a subfolder makes its path the install folder, so a path
        // that does not fit the slot is not offered.
        char subfolder[kSlotSize];
        if (!JoinPath(subfolder, sizeof subfolder, path, found.cFileName, 0)) continue;
        AddItem(list, subfolder, kFolderItem);
        // When the table is full the last name in sorted order goes, so the
        // list keeps the first names whatever order they arrive in.
        const int count = ItemCount(list);
        if (count > room) SendMessageA(list, LB_DELETESTRING, count - 1, 0);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

void ListFolder(HWND page, const char* path) {
    HWND list = GetDlgItem(page, IDC_FOLDER_LIST);
    const int ancestors = WalkAncestors(path, CountAncestor, nullptr);
    const int room = kIndentEntries - 1 - ancestors;
    if (room > 0) ListSubfolders(list, path, room);
    InsertItem(list, 0, g_rootName, kRootItem);
    g_indent[0] = 0;
    const int current = WalkAncestors(path, InsertAncestor, list);
    SendMessageA(list, LB_SETCURSEL, current, 0);
    g_currentItem = static_cast<int16_t>(current);
    IndentFrom(list, current + 1, current + 1);
    EndListing(list);
}

void ShowFolderList(HWND page, const char* path, int drives) {
    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    if (path != g_installFolder) lstrcpynA(g_installFolder, path, kSlotSize);
    SetDlgItemTextA(page, IDC_FOLDER_PATH, g_installFolder);
    HWND list = GetDlgItem(page, IDC_FOLDER_LIST);
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    g_drivesView = drives ? 1 : 0;
    if (drives)
        ListDrives(page);
    else
        ListFolder(page, g_installFolder);
}

void LoadRootItem(HWND page) {
    LPITEMIDLIST computer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(page, CSIDL_DRIVES, &computer))) return;
    SHFILEINFOA info = {};
    if (SHGetFileInfoA(reinterpret_cast<const char*>(computer), 0, &info, sizeof info,
                       SHGFI_PIDL | kItemInfoFlags)) {
        lstrcpynA(g_rootName, info.szDisplayName, sizeof g_rootName);
        g_rootIcon = static_cast<int16_t>(info.iIcon);
    }
    CoTaskMemFree(computer);
}

// Shows the default folder unless the slot holds it already, so "Reset
// Folder" leaves a typed path alone until the list has moved.
void LoadDefaultFolder(HWND page) {
    LoadRootItem(page);
    char folder[kPathBufferSize];
    ProposeInstallFolder(folder);
    if (strcmp(g_installFolder, folder) == 0) return;
    ShowFolderList(page, folder, 0);
}

void InitLocationPage(HWND page) {
    CenterPage(page, 1);
    FormatCaption(page, 1);
    FormatCaption(page, 0);
    SendDlgItemMessageA(page, IDC_FOLDER_PATH, EM_LIMITTEXT, kPathFieldLimit, 0);
    LoadDefaultFolder(page);
}

void OnFolderDoubleClick(HWND page) {
    HWND list = GetDlgItem(page, IDC_FOLDER_LIST);
    const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    char text[kPathBufferSize];
    if (SendMessageA(list, LB_GETTEXTLEN, index, 0) >= static_cast<LRESULT>(sizeof text)) return;
    SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text));
    if (g_drivesView) {
        if (index != 0) ShowFolderList(page, text, 0);
    } else if (index == 0) {
        ShowFolderList(page, text, 1);
    } else if (index != g_currentItem) {
        ShowFolderList(page, text, 0);
    }
}

int ValidateLocation(HWND page) {
    char typed[kPathBufferSize];
    GetDlgItemTextA(page, IDC_FOLDER_PATH, typed, sizeof typed);
    char folder[kSlotSize];
    const LocationProblem problem = CompleteLocation(typed, g_product, folder);
    if (problem != kLocationAccepted) {
        char warning[kLocationWarningSize];
        FormatLocationWarning(warning, problem);
        MessageBoxA(page, warning, kMessageCaption, MB_ICONWARNING);
        return -1;
    }
    memcpy(g_installFolder, folder, sizeof folder);
    ShowFolderList(page, g_installFolder, 0);
    return 1;
}

INT_PTR OnLocationCommand(HWND page, int id, int notification) {
    switch (id) {
    case IDOK:
        if (notification != 0) return 0;
        if (ValidateLocation(page) == -1)
            SetFocus(GetDlgItem(page, IDC_FOLDER_PATH));
        else
            EndDialog(page, 1);
        return 0;
    case IDCANCEL:
        if (notification != 0) return 0;
        ShowAbortNotice(page);
        EndDialog(page, 2);
        return 0;
    case IDC_FOLDER_LIST:
        if (notification == LBN_DBLCLK) OnFolderDoubleClick(page);
        return 0;
    case IDC_RESET_FOLDER:
        if (notification == 0) LoadDefaultFolder(page);
        return 0;
    default:
        return 1;
    }
}

int DrawFolderItem(const DRAWITEMSTRUCT* d) {
    // An empty list asks for its focus rectangle with no item; it is never
    // empty once the page has opened.
    if (d->CtlID != IDC_FOLDER_LIST || d->itemID >= kIndentEntries) return 1;
    const int x0 = d->rcItem.left + 8 * g_indent[d->itemID] + 1;
    char text[kPathBufferSize];
    if (SendMessageA(d->hwndItem, LB_GETTEXTLEN, d->itemID, 0) >= static_cast<LRESULT>(sizeof text))
        return 1;
    SendMessageA(d->hwndItem, LB_GETTEXT, d->itemID, reinterpret_cast<LPARAM>(text));
    char label[kPathBufferSize];
    const int icon = DescribeFolderItem(text, d->itemData,
                                        static_cast<int>(d->itemID) == g_currentItem, label);
    const bool selected = (d->itemState & ODS_SELECTED) != 0;
    g_imageListDraw(g_systemImageList, icon, d->hDC, x0, d->rcItem.top,
                    selected ? ILD_SELECTED : ILD_NORMAL);
    SetTextColor(d->hDC, selected ? g_itemColors.selectedText : g_itemColors.text);
    SetBkColor(d->hDC, selected ? g_itemColors.selectedBack : g_itemColors.back);
    const int length = lstrlenA(label);
    SIZE size = {};
    GetTextExtentPointA(d->hDC, label, length, &size);
    const RECT t = {x0 + 18, d->rcItem.top, x0 + 23 + size.cx, d->rcItem.bottom};
    ExtTextOutA(d->hDC, x0 + 20, d->rcItem.top + 1, ETO_OPAQUE | ETO_CLIPPED, &t, label,
                static_cast<UINT>(length), nullptr);
    if (d->itemState & ODS_FOCUS) DrawFocusRect(d->hDC, &t);
    return 1;
}

}  // namespace

void ProposeInstallFolder(char* folder) {
    if (!ReadPreviousInstallFolder(folder)) JoinPath(folder, kPathBufferSize, kDefaultParent, g_product.productName, 0);
}

int FolderIndent(int index) { return index >= 0 && index < kIndentEntries ? g_indent[index] : -1; }

int DescribeFolderItem(const char* text, ULONG_PTR kind, bool current, char* label) {
    if (kind == kRootItem) {
        lstrcpynA(label, text, kPathBufferSize);
        return g_rootIcon;
    }
    SHFILEINFOA info = {};
    UINT flags = kItemInfoFlags;
    if (kind == kFolderItem && current) flags |= SHGFI_OPENICON;
    // A path the shell cannot look at (a folder not made yet, a drive not
    // ready) is described by its kind alone: the generic folder or drive
    // icon. Such a drive is labelled with its root path.
    const bool described = SHGetFileInfoA(text, 0, &info, sizeof info, flags) != 0;
    if (!described)
        SHGetFileInfoA(text, FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                       flags | SHGFI_USEFILEATTRIBUTES);
    const bool byPath = (kind == kDriveItem && !described) || info.szDisplayName[0] == '\0';
    lstrcpynA(label, byPath ? text : info.szDisplayName, kPathBufferSize);
    return info.iIcon;
}

INT_PTR CALLBACK LocationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
        return DrawFolderItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_INITDIALOG:
        InitLocationPage(page);
        return 1;
    case WM_COMMAND:
        return OnLocationCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            ColorDescriptionStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return 0;
    }
}
