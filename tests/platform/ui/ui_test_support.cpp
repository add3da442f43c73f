#include "ui_test_support.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/ui/message_loop.h"

namespace uitest {
namespace {
// The file chooser keeps its settings; without a session bus they go to memory.
const bool kSettingsInMemory = setenv("GSETTINGS_BACKEND", "memory", 0) == 0;
}  // namespace

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    platform::ui::DispatchPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

void Settle(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    platform::ui::DispatchPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

RecordingWindow::RecordingWindow(int x, int y, int width, int height, bool visible) {
  platform::ui::WindowSpec spec;
  spec.className = "";
  spec.title = "recording";
  spec.style = visible ? platform::WS_VISIBLE : 0;
  spec.x = x;
  spec.y = y;
  spec.width = width;
  spec.height = height;
  spec.handler = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    messages.push_back({message, wParam, lParam});
    if (message == platform::WM_NCHITTEST) return hitTest;
    return platform::ui::DefWindowProc(window, message, wParam, lParam);
  };
  hwnd = platform::ui::CreateNativeWindow(spec);
}

RecordingWindow::~RecordingWindow() {
  if (platform::ui::IsNativeWindow(hwnd)) platform::ui::DestroyWindow(hwnd);
}

std::vector<Message> RecordingWindow::Of(UINT message) const {
  std::vector<Message> found;
  for (const Message& m : messages) {
    if (m.message == message) found.push_back(m);
  }
  return found;
}

int Xdotool(const std::string& arguments) {
  const std::string command = "xdotool " + arguments + " >/dev/null 2>&1";
  return std::system(command.c_str());
}

void ClickAt(int x, int y, int count) {
  Xdotool("mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
  Settle(50);
  Xdotool("click --repeat " + std::to_string(count) + " --delay 60 1");
}

}  // namespace uitest
