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

// Appends the ASCII letters and digits of text: no backslash or other
// character the object namespace could take for something else.
char* AppendLettersAndDigits(char* out, const char* text) {
    for (; *text; ++text) {
        const char c = *text;
        if ((c >= '0' && c <= '9') || (FoldAscii(c) >= 'A' && FoldAscii(c) <= 'Z')) *out++ = c;
    }
    return out;
}

// "Global\VelmoraUtilitiesTrovadoProSetup", one name for every session.
void MutexName(char* name) {
    lstrcpyA(name, kGlobalPrefix);
    char* end = AppendLettersAndDigits(name + sizeof kGlobalPrefix - 1, g_product.companyName);
    end = AppendLettersAndDigits(end, g_product.productName);
    lstrcpyA(end, "Setup");
}

}  // namespace

bool ClaimSingleRun() {
    char name[kMutexNameSize];
    MutexName(name);
    // The first copy keeps its handle open to the end: the system releases
    // the mutex when the process ends, so a run that crashed never blocks
    // the next one.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    DWORD error = GetLastError();
    if (!mutex && error != ERROR_ACCESS_DENIED) {
        // No global namespace to be had: one copy per session at least.
        mutex = CreateMutexA(nullptr, FALSE, name + sizeof kGlobalPrefix - 1);
        error = GetLastError();
    }
    // Access denied: another user's copy holds it. A system that can make no
    // named mutex at all has nothing to tell a second copy by, and the run
    // goes on rather than leave the user no way to install.
    if (mutex ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED) return true;
    if (mutex) CloseHandle(mutex);
    char text[kRunningTextSize];
    FormatText(text, sizeof text, "The %s setup program is already running.",
               g_product.productName);
    MessageBoxA(nullptr, text, kMessageCaption, MB_ICONWARNING);
    return false;
}
