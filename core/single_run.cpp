// One copy of the program per machine: two copies would clean and write the
// same folders and registry keys under each other, also when two users run
// it at once (fast user switching, Remote Desktop).
#include "core/single_run.h"

#include <windows.h>

#include "core/app.h"
#include "core/config.h"
#include "core/text.h"

namespace {

const char kGlobalPrefix[] = "Global\\";

enum {
    kMutexNameSize = sizeof kGlobalPrefix + kCompanyNameSize + kProductNameSize + 8,
    kRunningTextSize = 80,
};

// The Administrators group, S-1-5-32-544: a SID of revision 1 with two
// sub-authorities below the NT authority (5).
const DWORD kAdministrators[] = {0x00000201, 0x05000000, 32, 544};

// Appends the ASCII letters and digits of text: no backslash or other
// character the object namespace could take for something else.
char* AppendLettersAndDigits(char* out, const char* text) {
    for (; *text; ++text) {
        const char c = *text;
        if ((c >= '0' && c <= '9') || (FoldAscii(c) >= 'A' && FoldAscii(c) <= 'Z')) *out++ = c;
    }
    *out = '\0';
    return out;
}

// The private namespace alias (plain ASCII), created or opened, whose
// boundary holds the Administrators group: setup.exe always runs elevated,
// and a standard user, who could create any name of the Global\ namespace
// first and deny everyone access to it, cannot create this one; nor open it,
// since it keeps the default security of its elevated creator, which lets
// in only the administrators and the system. nullptr where the system has
// no private namespaces to give (Wine has none).
HANDLE OpenProgramNamespace(const char* alias) {
    WCHAR wide[kCompanyNameSize];
    int i = 0;
    while ((wide[i] = static_cast<unsigned char>(alias[i])) != 0) ++i;
    HANDLE boundary = CreateBoundaryDescriptorW(wide, 0);
    if (!boundary) return nullptr;
    HANDLE space = nullptr;
    if (AddSIDToBoundaryDescriptor(&boundary, const_cast<DWORD*>(kAdministrators))) {
        space = CreatePrivateNamespaceW(nullptr, boundary, wide);
        if (!space && GetLastError() == ERROR_ALREADY_EXISTS) space = OpenPrivateNamespaceW(boundary, wide);
    }
    DeleteBoundaryDescriptor(boundary);
    return space;
}

}  // namespace

bool ClaimSingleRun() {
    // "VelmoraUtilities\TrovadoProSetup" in the private namespace
    // VelmoraUtilities; without it "Global\VelmoraUtilitiesTrovadoProSetup",
    // one name for every session.
    char name[kMutexNameSize];
    lstrcpyA(name, kGlobalPrefix);
    char* const local = name + sizeof kGlobalPrefix - 1;
    char* end = AppendLettersAndDigits(local, g_product.companyName);
    HANDLE space = OpenProgramNamespace(local);
    if (space) *end++ = '\\';
    end = AppendLettersAndDigits(end, g_product.productName);
    lstrcpyA(end, "Setup");
    // The first copy keeps its handles open to the end: the system releases
    // the mutex when the process ends, so a run that crashed never blocks
    // the next one.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, space ? local : name);
    DWORD error = GetLastError();
    if (!space && !mutex && error != ERROR_ACCESS_DENIED) {
        // No global namespace to be had: one copy per session at least.
        mutex = CreateMutexA(nullptr, FALSE, local);
        error = GetLastError();
    }
    // Access denied: another user's copy holds it. A system that can make no
    // named mutex at all has nothing to tell a second copy by, and the run
    // goes on rather than leave the user no way to install.
    if (mutex ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED) return true;
    if (mutex) CloseHandle(mutex);
    // Closing the handle is ClosePrivateNamespace without destroying it.
    if (space) CloseHandle(space);
    char text[kRunningTextSize];
    FormatText(text, sizeof text, "The %s setup program is already running.",
               g_product.productName);
    ShowMessage(nullptr, text, MB_ICONWARNING);
    return false;
}
