// The progress sink of the install step's tests: wintest-extract links this
// recorder as its AdvanceProgress (declared in pages/installing.h) in place of
// the installing page's, and it records every call.
#pragma once

#include <windows.h>
#include <cstdint>

#include <vector>

struct ProgressCall {
    HWND page;
    uint32_t bytes;
};

// The calls since the last ClearProgressLog, in order.
const std::vector<ProgressCall>& ProgressLog();
void ClearProgressLog();
uint64_t ProgressLogTotal();
