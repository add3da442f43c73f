#pragma once
// Helpers of the windowing tests: waiting on the UI loop, recording the
// messages a window receives, real input through xdotool.

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/win_types.h"
#include "platform/ui/window.h"

namespace uitest {

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::UINT;
using platform::WPARAM;

// Dispatches UI events until `done` holds or `timeoutMs` passed; true when it held.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);
// Lets pending events settle for about `ms` milliseconds.
void Settle(int ms = 100);

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

// Runs "xdotool <arguments>" and returns its exit status.
int Xdotool(const std::string& arguments);
// Moves the pointer to a screen point and clicks the left button `count` times.
void ClickAt(int x, int y, int count = 1);

}  // namespace uitest
