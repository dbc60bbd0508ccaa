#include "tests/extract/progress_log.h"

#include "pages/installing.h"

namespace {

std::vector<ProgressCall>& Calls() {
    static std::vector<ProgressCall> calls;
    return calls;
}

}  // namespace

void AdvanceProgress(HWND page, uint32_t bytes) { Calls().push_back({page, bytes}); }

const std::vector<ProgressCall>& ProgressLog() { return Calls(); }

void ClearProgressLog() { Calls().clear(); }

uint64_t ProgressLogTotal() {
    uint64_t total = 0;
    for (const ProgressCall& call : Calls()) total += call.bytes;
    return total;
}
