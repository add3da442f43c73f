#include "engine_window.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <thread>

// Last: Xlib defines macros such as None and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace domeview_play {
namespace {

Display* AsDisplay(void* display) { return static_cast<Display*>(display); }

// Byte position of a channel given its mask in a 32-bit pixel, e.g. 0xff0000 -> 16.
int ShiftOf(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) mask >>= 1, ++shift;
  return shift;
}

// Ignores the error of a window that vanished while the tree was walked.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

EngineWindow::~EngineWindow() {
  if (display_) XCloseDisplay(AsDisplay(display_));
}

bool EngineWindow::Connect(std::string* error) {
  display_ = XOpenDisplay(nullptr);
  if (display_) return true;
  *error = "cannot open the X display (is DISPLAY set? without one, run it under scripts/run-with-display.sh)";
  return false;
}

bool EngineWindow::IsOurs(unsigned long window, const std::string& title) const {
  Display* display = AsDisplay(display_);
  char* name = nullptr;
  const bool titled = XFetchName(display, window, &name) && name && title == name;
  if (name) XFree(name);
  if (!titled) return false;
  const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  bool ours = false;
  if (pidAtom && XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                                    &after, &data) == Success &&
      data && count == 1 && format == 32) {
    ours = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == getpid();
  }
  if (data) XFree(data);
  return ours;
}

// Depth first: a window manager puts the client window inside its frame.
unsigned long EngineWindow::FindWindow(unsigned long root, const std::string& title) const {
  Window parent = 0, rootReturn = 0, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(AsDisplay(display_), root, &rootReturn, &parent, &children, &count)) return 0;
  unsigned long found = 0;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = IsOurs(children[i], title) ? children[i] : FindWindow(children[i], title);
  }
  if (children) XFree(children);
  return found;
}

bool EngineWindow::Attach(const std::string& title, int timeout_ms, std::string* error) {
  Display* display = AsDisplay(display_);
  XErrorHandler previous = XSetErrorHandler(IgnoreXError);
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  window_ = 0;
  while (!window_ && std::chrono::steady_clock::now() < giveUp) {
    window_ = FindWindow(DefaultRootWindow(display), title);
    if (!window_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  // Keys and screenshots need the window on screen, not just created.
  XWindowAttributes attributes{};
  while (window_ && XGetWindowAttributes(display, window_, &attributes) && attributes.map_state != IsViewable &&
         std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  if (!window_ || attributes.map_state != IsViewable) {
    return *error = "the engine's window \"" + title + "\" did not appear", false;
  }
  width_ = attributes.width, height_ = attributes.height;
  XSelectInput(display, window_, KeyPressMask | StructureNotifyMask);
  XFlush(display);
  return true;
}

Key EngineWindow::NextKey(int timeout_ms) {
  Display* display = AsDisplay(display_);
  if (!XPending(display)) {
    pollfd waiting{ConnectionNumber(display), POLLIN, 0};
    poll(&waiting, 1, timeout_ms);
  }
  while (XPending(display)) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == ConfigureNotify && event.xconfigure.window == window_) {
      width_ = event.xconfigure.width, height_ = event.xconfigure.height;
    }
    if (event.type != KeyPress || event.xkey.window != window_) continue;
    Key key;
    key.x = event.xkey.x, key.y = event.xkey.y;
    const KeySym sym = XLookupKeysym(&event.xkey, 0);
    if (sym == XK_space) key.kind = Key::kSpace;
    if (sym == XK_Left) key.kind = Key::kLeft;
    if (sym == XK_Right) key.kind = Key::kRight;
    if (sym == XK_q || sym == XK_Escape) key.kind = Key::kQuit;
    if (sym >= XK_0 && sym <= XK_9) key.kind = Key::kDigit, key.digit = static_cast<int>(sym - XK_0);
    if (sym >= XK_KP_0 && sym <= XK_KP_9) key.kind = Key::kDigit, key.digit = static_cast<int>(sym - XK_KP_0);
    if (key.kind != Key::kNone) return key;
  }
  return {};
}

std::vector<uint8_t> EngineWindow::Grab(int* width, int* height) {
  Display* display = AsDisplay(display_);
  XWindowAttributes attributes;
  if (!window_ || !XGetWindowAttributes(display, window_, &attributes)) return {};
  XImage* image = XGetImage(display, window_, 0, 0, static_cast<unsigned>(attributes.width),
                            static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (!image) return {};
  *width = attributes.width, *height = attributes.height;
  std::vector<uint8_t> rgb(size_t(*width) * *height * 3);
  const int shifts[3] = {ShiftOf(image->red_mask), ShiftOf(image->green_mask), ShiftOf(image->blue_mask)};
  for (int y = 0; y < *height; ++y) {
    for (int x = 0; x < *width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      uint8_t* out = &rgb[(size_t(y) * *width + x) * 3];
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(pixel >> shifts[c]);
    }
  }
  XDestroyImage(image);
  return rgb;
}

}  // namespace domeview_play
