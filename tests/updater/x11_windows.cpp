#include "x11_windows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace renovo_test {

X11Windows::X11Windows() : display_(XOpenDisplay(nullptr)) {}

X11Windows::~X11Windows() {
  if (display_) XCloseDisplay(display_);
}

std::optional<long> X11Windows::CardinalProperty(Window window, Atom property) {
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::optional<long> value;
  if (XGetWindowProperty(display_, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &remaining,
                         &data) == Success &&
      data && format == 32 && count == 1) {
    value = *reinterpret_cast<long*>(data);
  }
  if (data) XFree(data);
  return value;
}

std::optional<Window> X11Windows::FindWindowOf(pid_t pid) {
  if (!display_) return std::nullopt;
  const Atom pidAtom = XInternAtom(display_, "_NET_WM_PID", False);
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  std::optional<Window> found;
  if (!XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count)) return found;
  for (unsigned int i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes{};
    if (CardinalProperty(children[i], pidAtom) == static_cast<long>(pid) &&
        XGetWindowAttributes(display_, children[i], &attributes) && attributes.map_state == IsViewable) {
      found = children[i];
    }
  }
  if (children) XFree(children);
  return found;
}

std::string X11Windows::Title(Window window) {
  const Atom name = XInternAtom(display_, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, remaining = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display_, window, name, 0, 1024, False, utf8, &type, &format, &count, &remaining, &data) ==
          Success &&
      data) {
    title.assign(reinterpret_cast<const char*>(data), count);
  }
  if (data) XFree(data);
  return title;
}

void X11Windows::RequestClose(Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
}

}  // namespace renovo_test
