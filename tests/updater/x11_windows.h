#pragma once
// Finding and closing another process's top-level window on the test's X
// display, the way a window manager's close button does.

#include <X11/Xlib.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace renovo_test {

class X11Windows {
 public:
  X11Windows();
  ~X11Windows();
  X11Windows(const X11Windows&) = delete;
  X11Windows& operator=(const X11Windows&) = delete;

  bool Connected() const { return display_ != nullptr; }
  // The mapped top-level window of the process, if it shows one.
  std::optional<Window> FindWindowOf(pid_t pid);
  std::string Title(Window window);
  // Sends WM_DELETE_WINDOW.
  void RequestClose(Window window);

 private:
  std::optional<long> CardinalProperty(Window window, Atom property);

  Display* display_ = nullptr;
};

}  // namespace renovo_test
