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

}  // namespace uitest
