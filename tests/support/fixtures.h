// Where the extract tests find what tests/extract/fixtures.sh prepared outside
// Wine (CTest passes the folder in PORTAVO_EXTRACT_FIXTURES).
#pragma once

#include <string>

// The fixture folder as a Wine path, or "" with *why set when the test program
// was started without it.
std::string ExtractFixtures(std::string* why);

// The small tmpfs on which writes run out of space, or "" with *why set.
std::string SmallDisk(std::string* why);
