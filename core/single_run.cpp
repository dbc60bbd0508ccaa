// One copy of the program at a time: two copies would clean and write the
// same folders and registry keys under each other.
#include "core/single_run.h"

#include <windows.h>

#include "core/app.h"
#include "core/config.h"
#include "core/text.h"

namespace {

enum { kMutexNameSize = kCompanyNameSize + kProductNameSize + 8, kRunningTextSize = 80 };

}  // namespace

bool ClaimSingleRun() {
    char name[kMutexNameSize];
    FormatText(name, sizeof name, "%s %s Setup", g_product.companyName, g_product.productName);
    // The first copy keeps its handle open to the end: the system releases
    // the mutex when the process ends, so a run that crashed never blocks
    // the next one.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, name);
    if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) return true;
    CloseHandle(mutex);
    char text[kRunningTextSize];
    FormatText(text, sizeof text, "The %s setup program is already running.",
               g_product.productName);
    MessageBoxA(nullptr, text, kMessageCaption, MB_ICONWARNING);
    return false;
}
