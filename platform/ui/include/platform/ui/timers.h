#pragma once
// Window timers: WM_TIMER (275) with wParam = the timer id, delivered to the
// window's handler on the UI thread every `periodMs` milliseconds until
// killed or until the window is destroyed.

#include <cstdint>

#include "platform/window_registry.h"

namespace platform::ui {

// Starts the timer, or restarts it with the new period when the window
// already has one with that id. False for an unknown window.
bool SetTimer(HWND window, uintptr_t id, uint32_t periodMs);
// False when no such timer runs.
bool KillTimer(HWND window, uintptr_t id);
void KillAllTimers(HWND window);

}  // namespace platform::ui
