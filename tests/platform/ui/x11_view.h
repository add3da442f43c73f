#pragma once
// A second X client looking at our windows, as the engine's SDL does.
// Include after gtest: Xlib defines macros (None, Bool) that its headers
// use as names.

#include <X11/Xlib.h>

#include "platform/ui/win_types.h"

namespace uitest {

class X11View {
 public:
  X11View() : display_(XOpenDisplay(nullptr)) {}
  ~X11View() {
    if (display_) XCloseDisplay(display_);
  }
  X11View(const X11View&) = delete;
  X11View& operator=(const X11View&) = delete;
  Display* display() const { return display_; }

  bool Viewable(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable;
  }

  platform::RECT ScreenRect(Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
    return {x, y, x + attributes.width, y + attributes.height};
  }

  // True when selecting button presses on the window is refused (BadAccess):
  // X lets one client only select them.
  bool ButtonSelectionRefused(Window window) {
    refused_ = false;
    XErrorHandler previous = XSetErrorHandler(&X11View::OnError);
    XSelectInput(display_, window, ButtonPressMask | ButtonReleaseMask | PointerMotionMask);
    XSync(display_, False);
    XSetErrorHandler(previous);
    return refused_;
  }

 private:
  static int OnError(Display*, XErrorEvent* error) {
    if (error->error_code == BadAccess) refused_ = true;
    return 0;
  }
  static inline bool refused_ = false;
  Display* display_;
};

}  // namespace uitest
