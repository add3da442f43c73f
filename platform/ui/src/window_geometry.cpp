// Placement, size and visibility of windows, and the geometry copy that
// other threads read (the engine's play thread measures its video window).

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "window_internal.h"

namespace platform::ui {
namespace detail {
namespace {

struct Geometry {
  HWND parent = nullptr;
  bool child = false;
  RECT rectInParent;  // screen rectangle for a top-level window
  int clientWidth = 0;
  int clientHeight = 0;
  bool visible = false;
};

std::mutex& GeometryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::unordered_map<HWND, Geometry>& Geometries() {
  static std::unordered_map<HWND, Geometry> geometries;
  return geometries;
}

// Screen rectangle of a window; the caller holds the geometry lock.
RECT ScreenRectLocked(HWND window) {
  auto& map = Geometries();
  auto it = map.find(window);
  if (it == map.end()) return {};
  RECT rect = it->second.rectInParent;
  int depth = 0;  // guards against a cycle of parents
  while (it->second.child && depth++ < 64) {
    it = map.find(it->second.parent);
    if (it == map.end()) break;
    const RECT& parent = it->second.rectInParent;
    rect = {rect.left + parent.left, rect.top + parent.top, rect.right + parent.left, rect.bottom + parent.top};
  }
  return rect;
}

}  // namespace

void GeometrySetPlacement(HWND window, HWND parent, bool child, const RECT& rectInParent) {
  std::lock_guard<std::mutex> lock(GeometryMutex());
  Geometry& geometry = Geometries()[window];
  geometry.parent = parent;
  geometry.child = child;
  geometry.rectInParent = rectInParent;
}

void GeometrySetClientSize(HWND window, int width, int height) {
  std::lock_guard<std::mutex> lock(GeometryMutex());
  Geometry& geometry = Geometries()[window];
  geometry.clientWidth = width;
  geometry.clientHeight = height;
}

void GeometrySetVisible(HWND window, bool visible) {
  std::lock_guard<std::mutex> lock(GeometryMutex());
  Geometries()[window].visible = visible;
}

void GeometryForget(HWND window) {
  std::lock_guard<std::mutex> lock(GeometryMutex());
  Geometries().erase(window);
}

namespace {

void ApplyToplevelRect(WindowRecord& record, const RECT& rect, bool move, bool resize) {
  GtkWindow* top = GTK_WINDOW(record.toplevel);
  if (move) gtk_window_move(top, rect.left, rect.top);
  if (resize) gtk_window_resize(top, std::max(1, RectWidth(rect)), std::max(1, RectHeight(rect)));
  GeometrySetPlacement(record.hwnd, record.parent, false, rect);
  if (resize) GeometrySetClientSize(record.hwnd, RectWidth(rect), RectHeight(rect));
}

// Maximising is done here rather than asked of a window manager, so it
// behaves the same with any manager or none: the window covers the work
// area of its monitor and remembers its restored rectangle.
void Maximize(WindowRecord& record) {
  if (record.maximized) return;
  record.normalRect = GetWindowRect(record.hwnd);
  record.maximized = true;
  ApplyToplevelRect(record, WorkAreaOf(record.hwnd), true, true);
}

void Unmaximize(WindowRecord& record) {
  if (!record.maximized) return;
  record.maximized = false;
  ApplyToplevelRect(record, record.normalRect, true, true);
}

void ShowToplevel(WindowRecord& record, bool activate) {
  GtkWindow* top = GTK_WINDOW(record.toplevel);
  if (!activate) gtk_window_set_focus_on_map(top, FALSE);
  gtk_widget_show(record.toplevel);
  if (activate) {
    gtk_window_present(top);
  } else {
    gtk_window_set_focus_on_map(top, TRUE);
  }
}

void ApplyToplevelCommand(WindowRecord& record, int command) {
  GtkWindow* top = GTK_WINDOW(record.toplevel);
  switch (command) {
    case SW_HIDE:
      gtk_widget_hide(record.toplevel);
      return;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
      ShowToplevel(record, false);
      gtk_window_iconify(top);
      record.iconified = true;
      Send(record.hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
      return;
    case SW_SHOWMAXIMIZED:
      ShowToplevel(record, true);
      Maximize(record);
      return;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT:
      if (record.iconified) gtk_window_deiconify(top);
      record.iconified = false;
      Unmaximize(record);
      ShowToplevel(record, true);
      return;
    case SW_SHOWNOACTIVATE:
    case SW_SHOWNA:
      ShowToplevel(record, false);
      return;
    default:
      ShowToplevel(record, true);
      return;
  }
}

}  // namespace
}  // namespace detail

using detail::Find;
using detail::WindowRecord;

bool ShowWindowCommand(HWND window, int command) {
  WindowRecord* record = Find(window);
  if (!record) return false;
  const bool wasVisible = record->visible;
  const bool show = command != SW_HIDE;
  if (record->toplevel) {
    detail::ApplyToplevelCommand(*record, command);
  } else if (show) {
    gtk_widget_show(record->outer);
  } else {
    gtk_widget_hide(record->outer);
  }
  record->visible = show;
  detail::GeometrySetVisible(window, show);
  if (wasVisible != show) detail::Send(window, WM_SHOWWINDOW, show ? 1 : 0);
  return wasVisible;
}

bool IsWindowVisible(HWND window) {
  std::lock_guard<std::mutex> lock(detail::GeometryMutex());
  // Visible only when it and every parent are shown, as on the design's system.
  auto& map = detail::Geometries();
  auto it = map.find(window);
  for (int depth = 0; it != map.end() && depth < 64; ++depth) {
    if (!it->second.visible) return false;
    if (!it->second.child) return true;
    it = map.find(it->second.parent);
  }
  return false;
}

bool IsZoomed(HWND window) {
  const WindowRecord* record = Find(window);
  return record && record->maximized;
}

bool IsIconic(HWND window) {
  const WindowRecord* record = Find(window);
  return record && record->iconified;
}

bool IsTopmost(HWND window) {
  const WindowRecord* record = Find(window);
  return record && record->topmost;
}

RECT GetWindowRect(HWND window) {
  std::lock_guard<std::mutex> lock(detail::GeometryMutex());
  return detail::ScreenRectLocked(window);
}

RECT GetClientRect(HWND window) {
  std::lock_guard<std::mutex> lock(detail::GeometryMutex());
  const auto it = detail::Geometries().find(window);
  if (it == detail::Geometries().end()) return {};
  return {0, 0, it->second.clientWidth, it->second.clientHeight};
}

POINT ClientToScreen(HWND window, POINT point) {
  const RECT rect = GetWindowRect(window);
  return {point.x + rect.left, point.y + rect.top};
}

POINT ScreenToClient(HWND window, POINT point) {
  const RECT rect = GetWindowRect(window);
  return {point.x - rect.left, point.y - rect.top};
}

namespace {

void ApplyZOrder(WindowRecord& record, HWND insertAfter) {
  if (!record.toplevel) return;
  if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
    record.topmost = insertAfter == HWND_TOPMOST;
    gtk_window_set_keep_above(GTK_WINDOW(record.toplevel), record.topmost);
  } else if (insertAfter == HWND_TOP) {
    if (GdkWindow* gdkWindow = gtk_widget_get_window(record.toplevel)) gdk_window_raise(gdkWindow);
  }
}

}  // namespace

bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, uint32_t flags) {
  WindowRecord* record = Find(window);
  if (!record) return false;
  const bool move = !(flags & SWP_NOMOVE);
  const bool resize = !(flags & SWP_NOSIZE);
  RECT rect = record->child ? record->childRect : GetWindowRect(window);
  if (move) rect = {x, y, x + RectWidth(rect), y + RectHeight(rect)};
  if (resize) rect = {rect.left, rect.top, rect.left + std::max(0, width), rect.top + std::max(0, height)};
  if (record->child) {
    if (move || resize) {
      record->childRect = rect;
      detail::GeometrySetPlacement(window, record->parent, true, rect);
      detail::GeometrySetClientSize(window, RectWidth(rect), RectHeight(rect));
      gtk_widget_queue_resize(record->outer);
    }
  } else if (move || resize) {
    detail::ApplyToplevelRect(*record, rect, move, resize);
    if (!record->maximized) record->normalRect = GetWindowRect(window);
  }
  if (!(flags & SWP_NOZORDER)) ApplyZOrder(*record, insertAfter);
  if (flags & SWP_SHOWWINDOW) ShowWindowCommand(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindowCommand(window, SW_HIDE);
  if (flags & SWP_FRAMECHANGED) RefreshSizeLimits(window);
  return true;
}

bool MoveWindow(HWND window, int x, int y, int width, int height) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CenterWindow(HWND window) {
  const WindowRecord* record = Find(window);
  if (!record || record->child) return;
  const RECT rect = GetWindowRect(window);
  RECT around = detail::WorkAreaOf(window);
  if (IsNativeWindow(record->parent) && IsWindowVisible(record->parent) && !IsIconic(record->parent)) {
    around = GetWindowRect(record->parent);
  }
  const RECT area = detail::WorkAreaOf(window);
  int x = around.left + (RectWidth(around) - RectWidth(rect)) / 2;
  int y = around.top + (RectHeight(around) - RectHeight(rect)) / 2;
  x = std::max(area.left, std::min(x, area.right - RectWidth(rect)));
  y = std::max(area.top, std::min(y, area.bottom - RectHeight(rect)));
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void RefreshSizeLimits(HWND window) {
  const WindowRecord* record = Find(window);
  if (!record || !record->toplevel) return;
  const RECT monitor = MonitorRectOf(window);
  MINMAXINFO info;
  info.ptMaxSize = {RectWidth(monitor), RectHeight(monitor)};
  info.ptMaxTrackSize = info.ptMaxSize;
  info.ptMinTrackSize = {1, 1};
  detail::Send(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  record = Find(window);
  if (!record) return;
  // Only the minimum becomes a hint: the maximum of the design limits user
  // sizing, which an undecorated window here only gets through our own
  // sizing edges, and a hint would also cap our own full-screen placement.
  GdkGeometry hints{};
  hints.min_width = std::max(1, info.ptMinTrackSize.x);
  hints.min_height = std::max(1, info.ptMinTrackSize.y);
  gtk_window_set_geometry_hints(GTK_WINDOW(record->toplevel), nullptr, &hints, GDK_HINT_MIN_SIZE);
}

}  // namespace platform::ui
