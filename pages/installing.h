// What the installing page offers the install step, and what its tests reach.
#pragma once

#include <windows.h>
#include <cstdint>

#include "extract/install.h"

// The install step's sink that reports on page: its counters, its meter, a
// half-second pause at each file and boxes owned by it.
const InstallSink& InstallingPageSink(HWND page);

// Adds bytes to the running count, clamped to the grand total; repaints the
// progress meter when its half-percent changes and shows the count in control
// 402 of page.
void AdvanceProgress(HWND page, uint32_t bytes);

// For tests that run the page more than once in one process: puts the running
// count and the painted progress back to 0, as at program start. The program
// never calls it; its page runs once per run.
void ResetProgressMeter();
