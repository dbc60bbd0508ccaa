#include "system/desktop_shell.h"

#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>

#include "core/config.h"
#include "core/dll_search.h"

namespace {

// The classes and interfaces used here, defined in this file: naming them
// from libuuid links in every GUID it knows (about 40 KB).
const CLSID kShellWindowsClass = {0x9BA05972, 0xF6A8, 0x11CF, {0xA4, 0x42, 0, 0xA0, 0xC9, 0x0A, 0x8F, 0x39}};
const IID kShellWindowsInterface = {0x85CB6900, 0x4D95, 0x11CF, {0x96, 0x0C, 0, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
const IID kServiceProviderInterface = {0x6D5140C1, 0x7436, 0x11CE, {0x80, 0x34, 0, 0xAA, 0, 0x60, 0x09, 0xFA}};
const GUID kTopLevelBrowserService = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0, 0xAA, 0, 0x4A, 0xE8, 0x37}};
const IID kShellBrowserInterface = {0x000214E2, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kDispatchInterface = {0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kFolderViewInterface = {0xE7A1AF80, 0x4D96, 0x11CF, {0x96, 0x0C, 0, 0x80, 0xC7, 0xF4, 0xEE, 0x85}};
const IID kShellDispatch2Interface = {0xA4C6892C, 0x3BA9, 0x11D2, {0x9D, 0xEA, 0, 0xC0, 0x4F, 0xB1, 0x61, 0x62}};

// The desktop's folder view in the shell's process: its window's top-level
// browser, the active view, the view's background object and, from that, the
// shell's automation object, whose ShellExecute runs in the shell's process.
// values: the file, its arguments, its folder, the verb and the show command.
bool ShellExecuteOnDesktop(const VARIANT* values) {
    IShellWindows* windows = nullptr;
    IDispatch* found = nullptr;
    IServiceProvider* provider = nullptr;
    IShellBrowser* browser = nullptr;
    IShellView* view = nullptr;
    IDispatch* background = nullptr;
    IShellFolderViewDual* folderView = nullptr;
    IDispatch* application = nullptr;
    IShellDispatch2* shell = nullptr;
    VARIANT desktop = {};
    desktop.vt = VT_I4;
    desktop.lVal = CSIDL_DESKTOP;
    VARIANT none = {};
    long window;
    const bool started =
        SUCCEEDED(CoCreateInstance(kShellWindowsClass, nullptr, CLSCTX_LOCAL_SERVER, kShellWindowsInterface,
                                   reinterpret_cast<void**>(&windows))) &&
        windows->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, &found) == S_OK &&
        found &&
        SUCCEEDED(found->QueryInterface(kServiceProviderInterface, reinterpret_cast<void**>(&provider))) &&
        SUCCEEDED(provider->QueryService(kTopLevelBrowserService, kShellBrowserInterface,
                                         reinterpret_cast<void**>(&browser))) &&
        SUCCEEDED(browser->QueryActiveShellView(&view)) &&
        SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, kDispatchInterface,
                                      reinterpret_cast<void**>(&background))) &&
        SUCCEEDED(background->QueryInterface(kFolderViewInterface, reinterpret_cast<void**>(&folderView))) &&
        SUCCEEDED(folderView->get_Application(&application)) &&
        SUCCEEDED(application->QueryInterface(kShellDispatch2Interface, reinterpret_cast<void**>(&shell))) &&
        SUCCEEDED(shell->ShellExecute(values[0].bstrVal, values[1], values[2], values[3], values[4]));
    IUnknown* const held[] = {shell,  application, folderView, background, view,
                              browser, provider,   found,      windows};
    for (IUnknown* object : held)
        if (object) object->Release();
    return started;
}

}  // namespace

bool StartAsDesktopUser(const char* program, const char* arguments, const char* folder) {
    // The shell takes its texts as BSTRs, made by OLEAUT32.DLL, which is no
    // known DLL: it is loaded by its full path from the system folder.
    char library[MAX_PATH];
    HMODULE automation = SystemFolderFile(library, "oleaut32.dll") ? LoadLibraryA(library) : nullptr;
    if (!automation) return false;
    typedef BSTR(WINAPI * AllocateFunction)(const OLECHAR*);
    typedef void(WINAPI * FreeFunction)(BSTR);
    const auto allocate = reinterpret_cast<AllocateFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(automation, "SysAllocString")));
    const auto release =
        reinterpret_cast<FreeFunction>(reinterpret_cast<void (*)()>(GetProcAddress(automation, "SysFreeString")));
    // S_FALSE: COM was already running on this thread; balanced either way.
    const bool com = allocate && release && SUCCEEDED(CoInitialize(nullptr));
    const char* const texts[] = {program, arguments, folder, "open"};
    VARIANT values[5] = {};
    bool converted = com;
    for (int i = 0; i < 4 && com; ++i) {
        WCHAR wide[kPathBufferSize];
        values[i].vt = VT_BSTR;
        if (!MultiByteToWideChar(CP_ACP, 0, texts[i], -1, wide, kPathBufferSize) ||
            !(values[i].bstrVal = allocate(wide)))
            converted = false;
    }
    values[4].vt = VT_I4;
    values[4].lVal = SW_SHOWNORMAL;
    const bool started = converted && ShellExecuteOnDesktop(values);
    if (com) {
        for (int i = 0; i < 4; ++i) release(values[i].bstrVal);
        CoUninitialize();
    }
    FreeLibrary(automation);
    return started;
}
