// Win32 helpers that keep a page current while work runs in its timer handler.
#pragma once

#include <windows.h>
#include <cstdint>

// Shows value with thousands separators in the dialog's control.
void SetNumberText(HWND dialog, int id, uint32_t value);

// Dispatches the messages of window and its children for at least ms
// milliseconds, polling without sleep. A tick-count wrap does not lengthen it.
void PumpMessagesFor(HWND window, uint32_t ms);
