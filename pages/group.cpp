// The program group page, dialog 1005: lists the groups in the Start menu's
// Programs folder, proposes the product name, and on "Continue" runs the
// shortcut dialog as its own modal child. "Continue" is 501, not 1, so Enter
// does nothing here; Escape ends the run with the abort notice.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstring>

#include "backdrop/backdrop.h"
#include "core/app.h"
#include "core/config.h"
#include "core/dll_search.h"
#include "core/pump.h"
#include "core/text.h"
#include "core/wizard.h"
#include "pages/group.h"
#include "pages/group_name.h"
#include "pages/page.h"
#include "pages/pages.h"
#include "pages/programs_folder.h"
#include "resources/ids.h"

namespace {

const char kNoStartMenuText[] = "Unable to locate the Start Menu!";
const char kEmptyGroupText[] = "Group may not be empty!";
// In the order of GroupNameFault, from kGroupNameOutside on.
const char* const kGroupFaultTexts[] = {
    "Group must be a folder inside the Start Menu: no drive, no leading backslash, "
    "and no empty part or part made only of dots!",
    "Group may not contain / : * ? \" < > | or control characters!",
    "Group names may not end in a space or a dot!",
    "Group names may not be device names such as CON or NUL!",
    "Group names may not end in an incomplete character!",
};
static_assert(sizeof kGroupFaultTexts / sizeof *kGroupFaultTexts == kGroupNameBroken - kGroupNameOutside + 1,
              "one text for each fault");
const char kGroupTooLongText[] = "Group is too long for the shortcuts' file names!";
const char kShortcutsFailedText[] = "Unable To Create Shortcuts!";

void ResetGroup(HWND page) {
    lstrcpynA(g_groupName, g_product.productName, kGroupNameMax + 1);
    const LRESULT match =
        SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(g_groupName));
    SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_SETCURSEL, static_cast<WPARAM>(match), 0);
    SetDlgItemTextA(page, IDC_GROUP_LIST, g_groupName);
}

void InitGroupPage(HWND page) {
    CenterPage(page, 1);
    FormatCaption(page, 1);
    FormatCaption(page, 0);
    if (!ListProgramGroups(GetDlgItem(page, IDC_GROUP_LIST))) {
        MessageBoxA(page, kNoStartMenuText, kMessageCaption, MB_ICONERROR);
        ShowAbortNotice(page);
        EndDialog(page, 2);
    }
    SendDlgItemMessageA(page, IDC_GROUP_LIST, CB_LIMITTEXT, kGroupNameMax, 0);
    ResetGroup(page);
}

void AcceptGroup(HWND page) {
    // At most 40 characters: a longer group picked from the list is cut.
    GetDlgItemTextA(page, IDC_GROUP_LIST, g_groupName, kGroupNameMax + 1);
    if (const char* refusal = GroupRefusal(g_groupName)) {
        MessageBoxA(page, refusal, kMessageCaption, MB_ICONWARNING);
        return;
    }
    SetStep(kStepShortcuts);
    EnableWindow(GetDlgItem(page, IDC_GROUP_CONTINUE), FALSE);
    const INT_PTR made =
        DialogBoxParamA(g_instance, MAKEINTRESOURCEA(IDD_SHORTCUTS), page, ShortcutPageProc, 0);
    if (made == 1) {
        PumpMessagesFor(page, 500);
        EndDialog(page, 1);
        return;
    }
    MessageBoxA(page, kShortcutsFailedText, kMessageCaption, MB_ICONERROR);
    ShowAbortNotice(page);
    EndDialog(page, 2);
}

INT_PTR OnGroupCommand(HWND page, int id, int notification) {
    if (id != IDCANCEL && id != IDC_GROUP_CONTINUE && id != IDC_RESET_GROUP) return 1;
    if (notification != 0) return 0;
    if (id == IDCANCEL) {
        ShowAbortNotice(page);
        EndDialog(page, 2);
    } else if (id == IDC_GROUP_CONTINUE) {
        AcceptGroup(page);
    } else {
        ResetGroup(page);
    }
    return 0;
}

// Like the location page's folder items, without indentation, with the item's
// own text as label and the shell's icon for the group folder.
INT_PTR DrawGroupItem(const DRAWITEMSTRUCT& d) {
    char text[MAX_PATH];
    const LRESULT length = SendMessageA(d.hwndItem, CB_GETLBTEXTLEN, d.itemID, 0);
    if (d.itemID == static_cast<UINT>(-1) || length == CB_ERR || length >= MAX_PATH) return 1;
    SendMessageA(d.hwndItem, CB_GETLBTEXT, d.itemID, reinterpret_cast<LPARAM>(text));

    const int x0 = d.rcItem.left + 1;
    WCHAR path[kPathBufferSize];
    SHFILEINFOW info = {};
    if (ProgramsFolderPath(path, text))
        SHGetFileInfoW(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    const bool selected = (d.itemState & ODS_SELECTED) != 0;
    g_imageListDraw(g_systemImageList, info.iIcon, d.hDC, x0, d.rcItem.top,
                    selected ? ILD_SELECTED : ILD_NORMAL);

    SetTextColor(d.hDC, selected ? g_itemColors.selectedText : g_itemColors.text);
    SetBkColor(d.hDC, selected ? g_itemColors.selectedBack : g_itemColors.back);
    SIZE extent = {};
    GetTextExtentPointA(d.hDC, text, static_cast<int>(length), &extent);
    const RECT label = {x0 + 18, d.rcItem.top, x0 + 23 + extent.cx, d.rcItem.bottom};
    ExtTextOutA(d.hDC, x0 + 20, d.rcItem.top + 1, ETO_OPAQUE | ETO_CLIPPED, &label, text,
                static_cast<UINT>(length), nullptr);
    if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &label);
    return 1;
}

}  // namespace

const char* GroupRefusal(const char* name) {
    if (name[0] == '\0') return kEmptyGroupText;
    const GroupNameFault fault = CheckGroupName(name);
    if (fault != kGroupNameFine) return kGroupFaultTexts[fault - kGroupNameOutside];
    return LinksFitBelowPrograms(name) ? nullptr : kGroupTooLongText;
}

INT_PTR CALLBACK GroupPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM:
        return DrawGroupItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_INITDIALOG:
        InitGroupPage(page);
        return 1;
    case WM_COMMAND:
        return OnGroupCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            ColorDescriptionStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    default:
        return 0;
    }
}
