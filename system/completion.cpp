#include "system/completion.h"

#include "core/config.h"
#include "core/dll_search.h"
#include "core/text.h"
#include "core/wizard.h"
#include "extract/transaction.h"
#include "pages/page.h"
#include "system/desktop_shell.h"
#include "system/desktop_user.h"
#include "system/registry.h"

// The start-up record handed to CreateProcessA is the 68-byte ANSI one.
static_assert(sizeof(void*) != 4 || sizeof(STARTUPINFOA) == 68, "STARTUPINFOA has 68 bytes");

namespace {

const char kQuestionFormat[] =
    "%s was successfully installed.\r\n\r\nWould you like to view the Read Me file now?";
const char kClosingText[] =
    "For other great software utilities be sure to\r\nstop by Velmora Utiltites home page at\r\n"
    PORTAVO_HOME_PAGE
    "\r\n\r\nIf you have any questions or comments you can\r\nemail support at "
    PORTAVO_SUPPORT_EMAIL "!";
const char kRestartLine[] = "\r\n\r\nRestart your computer to complete the update.";

enum { kMessageSize = 512, kDocumentSize = 256, kCommandLineSize = 260 };

// The quoted read-me path; false when it does not fit.
bool ReadMeDocument(char* document) {
    return JoinPath(document, kDocumentSize, g_installFolder, g_product.files[kReadMeEntry].fileName, 1);
}

// "Notepad.exe" with the quoted read-me path; false when either does not fit
// its buffer, and then Notepad is not started.
bool ReadMeCommandLine(char* commandLine) {
    char document[kDocumentSize];
    return ReadMeDocument(document) && FormatText(commandLine, kCommandLineSize, "Notepad.exe %s", document);
}

}  // namespace

void FinishInstallation(HWND backdrop) {
    WriteRegistryEntries();
    // The registry entries are the end of the installation: from here on it
    // stays, and the earlier copies go.
    CommitTransaction();
    SetStep(kStepReadMe);
    char text[kMessageSize];
    FormatText(text, sizeof text, kQuestionFormat, g_product.productName);
    if (MessageBoxA(backdrop, text, kMessageCaption, MB_ICONQUESTION | MB_YESNO) == IDYES)
        ViewReadMe(backdrop);
    SetStep(kStepFinished);
    FormatText(text, sizeof text, "%s%s", kClosingText,
               RestartCompletesInstallation() ? kRestartLine : "");
    MessageBoxA(backdrop, text, kMessageCaption, MB_ICONINFORMATION);
    DestroyWindow(backdrop);
}

void ViewReadMe(HWND backdrop) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    ShowWindow(backdrop, SW_MINIMIZE);
    // Notepad from the system folder by its full path: the search for a bare
    // "Notepad.exe" would look first in the folder setup.exe was started
    // from, a downloads folder, and run whatever lies there, elevated.
    char notepad[MAX_PATH];
    const bool found = SystemFolderFile(notepad, "notepad.exe");
    // A run of another user than the desktop's (an administrator's password
    // typed for a standard user) would give that user an elevated Notepad,
    // whose Open box browses and starts anything as the administrator. The
    // desktop's shell starts it as the user instead; the run cannot wait for
    // it, and the backdrop stays minimised so as not to cover it.
    if (FindDesktopUser() == kDesktopUserIsOther) {
        char document[kDocumentSize];
        if (found && ReadMeDocument(document)) StartAsDesktopUser(notepad, document, g_installFolder);
        return;
    }
    char commandLine[kCommandLineSize];
    PROCESS_INFORMATION process;
    if (found && ReadMeCommandLine(commandLine) &&
        CreateProcessA(notepad, commandLine, nullptr, nullptr, FALSE, 0, nullptr, g_installFolder,
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    ShowWindow(backdrop, SW_RESTORE);
}
