#pragma once
// Waiting on the UI loop, real input through xdotool and a second X client's
// view of windows, for the windowing and framework tests.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "platform/ui/message_loop.h"

namespace uitest {

// Dispatches UI events until `done` holds or `timeoutMs` passed; true when it held.
inline bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    platform::ui::DispatchPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Lets pending events settle for about `ms` milliseconds.
inline void Settle(int ms = 100) {
  WaitFor([] { return false; }, ms);
}

// Runs "xdotool <arguments>" and returns its exit status.
inline int Xdotool(const std::string& arguments) {
  return std::system(("xdotool " + arguments + " >/dev/null 2>&1").c_str());
}

// Moves the real pointer to a screen point and waits until it is there.
// ("mousemove --sync" waits for a motion that never comes when the pointer
// is already there, so ask first.)
inline void MoveTo(int x, int y) {
  int nowX = -1, nowY = -1;
  if (FILE* pipe = popen("xdotool getmouselocation 2>/dev/null", "r")) {
    if (std::fscanf(pipe, "x:%d y:%d", &nowX, &nowY) != 2) nowX = nowY = -1;
    pclose(pipe);
  }
  if (nowX == x && nowY == y) return;
  Xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
}

// Moves the pointer to a screen point and clicks the left button `count` times.
inline void ClickAt(int x, int y, int count = 1) {
  MoveTo(x, y);
  Settle(60);
  Xdotool("click --repeat " + std::to_string(count) + " --delay 80 1");
}

}  // namespace uitest
