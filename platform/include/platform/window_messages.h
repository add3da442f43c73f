#pragma once
// Window message numbers exchanged inside the suite. The numbers are those
// of the original design and are kept as they are.

#include "platform/window_registry.h"

namespace platform {

constexpr UINT WM_SIZE = 5;
constexpr UINT WM_SHOWWINDOW = 24;
constexpr UINT WM_GETMINMAXINFO = 36;
constexpr UINT WM_DISPLAYCHANGE = 126;
constexpr UINT WM_KEYUP = 257;
constexpr UINT WM_TIMER = 275;
constexpr UINT WM_DROPFILES = 563;
constexpr UINT WM_USER = 1024;

// Posted by the engine to the parent of its video window.
constexpr UINT kMsgFileDropped = 1125;   // wParam: const char* path, owned by the engine
constexpr UINT kMsgDoubleClicked = 1224;

}  // namespace platform
