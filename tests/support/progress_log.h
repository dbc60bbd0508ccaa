// The progress sink of the Win32 tests: this support library defines
// AdvanceProgress (declared in pages/installing.h) and records every call.
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
