// The entry point of the Win32 test programs: setup.exe's own first steps,
// so that the pages under test get COMCTL32 (the list icons, the progress
// bar) and the system code page's text rules the way the program does, then
// GoogleTest.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/dll_search.h"
#include "core/system_code_page.h"

int main(int argc, char** argv) {
    ReadSystemCodePage();
    if (!UseSystemDllsOnly()) {
        fprintf(stderr, "COMCTL32.DLL could not be loaded from the system folder\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    // A run started to walk a code page (scripts/wine-locale names it) fails
    // when Wine's ANSI code page is another one or when it selects no test:
    // the locale is missing, Wine did not switch, or the walk was renamed.
    char wanted[8] = "";
    GetEnvironmentVariableA("PORTAVO_CODE_PAGE", wanted, sizeof wanted);
    if (wanted[0] && GetACP() != strtoul(wanted, nullptr, 10)) {
        fprintf(stderr, "Wine's ANSI code page is %u, not %s: is the locale there (scripts/bootstrap)?\n",
                GetACP(), wanted);
        return 1;
    }
    // Elsewhere a walk named for a code page runs only in it.
    std::string filter = GTEST_FLAG_GET(filter);
    for (const UINT codePage : {932u, 950u}) {
        if (GetACP() == codePage) continue;
        filter += filter.find('-') == std::string::npos ? "-" : ":";
        filter += "*InstallsIntoNamesOfCodePage" + std::to_string(codePage);
    }
    GTEST_FLAG_SET(filter, filter);
    const int failed = RUN_ALL_TESTS();
    if (wanted[0] && testing::UnitTest::GetInstance()->test_to_run_count() == 0) {
        fprintf(stderr, "no walk of code page %s was selected\n", wanted);
        return 1;
    }
    return failed;
}
