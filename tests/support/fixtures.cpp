#include "tests/support/fixtures.h"

#include <cstdlib>

#include "tests/support/temp_folder.h"

std::string ExtractFixtures(std::string* why) {
    const char* folder = getenv("PORTAVO_EXTRACT_FIXTURES");
    if (!folder || !*folder) {
        *why = "PORTAVO_EXTRACT_FIXTURES is not set: run through ctest, whose fixture "
               "tests/extract/fixtures.sh prepares it";
        return "";
    }
    return WinePathOf(folder);
}

std::string SmallDisk(std::string* why) {
    const std::string fixtures = ExtractFixtures(why);
    if (fixtures.empty()) return "";
    const std::string disk = fixtures + "\\small-disk";
    if (!FileExists(disk + "\\MOUNTED")) {
        std::string reason;
        ReadWholeFile(fixtures + "\\mount-error", &reason);
        *why = "no small tmpfs could be mounted at " + disk + ": " +
               (reason.empty() ? std::string("fixture not run") : reason);
        return "";
    }
    return disk;
}
