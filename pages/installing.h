// What the installing page offers the install step.
#pragma once

#include <windows.h>
#include <cstdint>

// Adds bytes to the running count shown by the page's progress meter.
void AdvanceProgress(HWND page, uint32_t bytes);
