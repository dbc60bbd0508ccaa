// The entry point of the Win32 test programs: setup.exe's own first steps,
// so that the pages under test get COMCTL32 (the list icons, the progress
// bar) and the system code page's text rules the way the program does, then
// GoogleTest.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "core/dll_search.h"
#include "core/system_code_page.h"

int main(int argc, char** argv) {
    if (!UseSystemDllsOnly()) {
        fprintf(stderr, "COMCTL32.DLL could not be loaded from the system folder\n");
        return 1;
    }
    ReadSystemCodePage();
    testing::InitGoogleTest(&argc, argv);
    // A walk named for a code page runs only in it (scripts/wine-locale
    // starts it in its locale).
    std::string filter = GTEST_FLAG_GET(filter);
    for (const UINT codePage : {932u, 950u}) {
        if (GetACP() == codePage) continue;
        filter += filter.find('-') == std::string::npos ? "-" : ":";
        filter += "*InstallsIntoNamesOfCodePage" + std::to_string(codePage);
    }
    GTEST_FLAG_SET(filter, filter);
    return RUN_ALL_TESTS();
}
