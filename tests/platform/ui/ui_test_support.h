#pragma once
// Helpers of the windowing tests: waiting on the UI loop, recording the
// messages a window receives, real input through xdotool.

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/win_types.h"
#include "platform/ui/window.h"
#include "ui_test_helpers.h"

namespace uitest {

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

struct Message {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// A top-level window whose handler records every message and answers
// WM_NCHITTEST with `hitTest` (HTCLIENT unless changed).
struct RecordingWindow {
  RecordingWindow(int x, int y, int width, int height, bool visible = true);
  ~RecordingWindow();
  HWND hwnd = nullptr;
  std::vector<Message> messages;
  platform::LRESULT hitTest = platform::HTCLIENT;
  std::vector<Message> Of(UINT message) const;
  bool Received(UINT message) const { return !Of(message).empty(); }
};

}  // namespace uitest
