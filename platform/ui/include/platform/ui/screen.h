#pragma once
// Monitors, system metrics, window placement and the full-screen geometry.

#include "platform/ui/win_types.h"
#include "platform/window_registry.h"

namespace platform::ui {

// Full rectangle of the monitor that holds most of the window (the first
// monitor when the window is unknown or not realized), in screen pixels.
RECT MonitorRectOf(HWND window);
int MonitorWidthOf(HWND window);

// SM_CXSCREEN / SM_CYSCREEN: the primary monitor's size. Frame and border
// metrics are 0: the suite's windows are undecorated and draw their own
// caption, so no system frame surrounds them.
int GetSystemMetrics(int index);

// The rectangle that puts a window's frame outside the screen: x =
// -(dialog frame + border) and width = screen + twice that, likewise
// vertically. Screen and frame metrics given explicitly.
RECT FullScreenRect(int screenWidth, int screenHeight, int frameX, int borderX, int frameY, int borderY);
// The same with this system's metrics.
RECT FullScreenRect();

// Placement of a top-level window: show state (SW_SHOWNORMAL,
// SW_SHOWMAXIMIZED or SW_SHOWMINIMIZED) and the restored rectangle.
bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement);
// Restores the rectangle, then applies the show state.
bool SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement);

}  // namespace platform::ui
