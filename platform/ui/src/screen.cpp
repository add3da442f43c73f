#include "platform/ui/screen.h"

#include <gtk/gtk.h>

#include <algorithm>

#include "platform/ui/message_loop.h"
#include "platform/ui/window.h"
#include "window_internal.h"

namespace platform {

RECT IntersectRects(const RECT& a, const RECT& b) {
  const RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  return RectIsEmpty(r) ? RECT{} : r;
}

RECT UnionRects(const RECT& a, const RECT& b) {
  if (RectIsEmpty(a)) return b;
  if (RectIsEmpty(b)) return a;
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

}  // namespace platform

namespace platform::ui {
namespace {

constexpr RECT kFallbackScreen{0, 0, 1024, 768};  // when no display is open

GdkMonitor* MonitorOf(HWND window) {
  if (!InitUiThread()) return nullptr;
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return nullptr;
  if (const detail::WindowRecord* record = detail::Find(window)) {
    GtkWidget* top = gtk_widget_get_toplevel(record->outer);
    if (GdkWindow* gdkWindow = top ? gtk_widget_get_window(top) : nullptr) {
      if (GdkMonitor* monitor = gdk_display_get_monitor_at_window(display, gdkWindow)) return monitor;
    }
    const RECT rect = GetWindowRect(window);
    return gdk_display_get_monitor_at_point(display, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }
  GdkMonitor* primary = gdk_display_get_primary_monitor(display);
  return primary ? primary : gdk_display_get_monitor(display, 0);
}

RECT ToRect(const GdkRectangle& r) { return {r.x, r.y, r.x + r.width, r.y + r.height}; }

// The monitor's full or working area.
RECT MonitorArea(HWND window, void (*query)(GdkMonitor*, GdkRectangle*)) {
  GdkMonitor* monitor = MonitorOf(window);
  if (!monitor) return kFallbackScreen;
  GdkRectangle area;
  query(monitor, &area);
  return ToRect(area);
}

}  // namespace

namespace detail {

RECT WorkAreaOf(HWND window) { return MonitorArea(window, gdk_monitor_get_workarea); }

}  // namespace detail

RECT MonitorRectOf(HWND window) { return MonitorArea(window, gdk_monitor_get_geometry); }

int MonitorWidthOf(HWND window) { return RectWidth(MonitorRectOf(window)); }

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN: return RectWidth(MonitorRectOf(nullptr));
    case SM_CYSCREEN: return RectHeight(MonitorRectOf(nullptr));
    default: return 0;  // frames and borders: our windows have none
  }
}

RECT FullScreenRect(int screenWidth, int screenHeight, int frameX, int borderX, int frameY, int borderY) {
  const int marginX = frameX + borderX;
  const int marginY = frameY + borderY;
  return {-marginX, -marginY, screenWidth + marginX, screenHeight + marginY};
}

RECT FullScreenRect() {
  return FullScreenRect(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CXDLGFRAME),
                        GetSystemMetrics(SM_CXBORDER), GetSystemMetrics(SM_CYDLGFRAME), GetSystemMetrics(SM_CYBORDER));
}

bool GetWindowPlacement(HWND window, WINDOWPLACEMENT* placement) {
  const detail::WindowRecord* record = detail::Find(window);
  if (!record || !placement || record->child) return false;
  placement->length = sizeof(WINDOWPLACEMENT);
  placement->flags = 0;
  placement->showCmd = record->iconified ? SW_SHOWMINIMIZED : record->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  placement->ptMinPosition = {-1, -1};
  placement->ptMaxPosition = {-1, -1};
  placement->rcNormalPosition = record->maximized || record->iconified ? record->normalRect : GetWindowRect(window);
  return true;
}

bool SetWindowPlacement(HWND window, const WINDOWPLACEMENT* placement) {
  detail::WindowRecord* record = detail::Find(window);
  if (!record || !placement || record->child) return false;
  if (record->maximized || record->iconified) ShowWindowCommand(window, SW_RESTORE);
  const RECT& r = placement->rcNormalPosition;
  SetWindowPos(window, nullptr, r.left, r.top, RectWidth(r), RectHeight(r), SWP_NOZORDER | SWP_NOACTIVATE);
  if (placement->showCmd != SW_SHOWNORMAL && placement->showCmd != SW_RESTORE) {
    ShowWindowCommand(window, static_cast<int>(placement->showCmd));
  }
  return true;
}

}  // namespace platform::ui
