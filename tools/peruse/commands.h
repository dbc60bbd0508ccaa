// What the three commands of portavo-inspect do, as functions that print to
// the given streams and return the exit status.
#pragma once

#include <ctime>

#include "core/config.h"

#include <cstdio>
#include <string>

// Exit statuses: 0 all well, 1 the payload failed a check, 2 the input could
// not be read as a setup program or the output could not be written.
enum { kInspectOk = 0, kInspectFailed = 1, kInspectBadInput = 2 };

// The release time as this machine's local time, which extract stamps on
// every file.
time_t ReleaseTimeStamp(const ReleaseTime& t);

int ListCommand(const std::string& setup, FILE* out, FILE* err);
int VerifyCommand(const std::string& setup, FILE* out, FILE* err);
int ExtractCommand(const std::string& setup, const std::string& dir, FILE* out, FILE* err);
