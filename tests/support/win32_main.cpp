// The entry point of the Win32 test programs: setup.exe's own first step,
// so that the pages under test get COMCTL32 (the list icons, the progress
// bar) the way the program does, then GoogleTest.
#include <gtest/gtest.h>

#include <cstdio>

#include "core/dll_search.h"

int main(int argc, char** argv) {
    if (!UseSystemDllsOnly()) {
        fprintf(stderr, "COMCTL32.DLL could not be loaded from the system folder\n");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
