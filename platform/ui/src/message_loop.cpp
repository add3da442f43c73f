#include "platform/ui/message_loop.h"

#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/trace.h"
#include "window_internal.h"

namespace platform::ui {
namespace {

// Upper bound of one DispatchPending: a source that re-arms itself forever
// (a repaint loop, an idle handler) must not keep the caller inside.
constexpr int kMaxIterationsPerDispatch = 10000;

std::atomic<bool> g_initialised{false};
std::atomic<bool> g_dispatchScheduled{false};

gboolean DeliverPosted(gpointer) {
  // Cleared before delivering, so a message posted by a handler (or by
  // another thread meanwhile) schedules the next delivery.
  g_dispatchScheduled.store(false);
  platform::DispatchPostedMessages();
  return G_SOURCE_REMOVE;
}

// Runs on the posting thread: g_idle_add is thread-safe and wakes the
// UI thread's main context. One pending source is enough for any number of
// queued messages.
void WakeUiThread() {
  if (!g_dispatchScheduled.exchange(true)) g_idle_add_full(G_PRIORITY_DEFAULT, DeliverPosted, nullptr, nullptr);
}

// A change of the screen's size reaches every top-level window as
// WM_DISPLAYCHANGE: wParam the colour depth in bits, lParam the new width
// and height of the primary monitor.
void OnScreenSizeChanged(GdkScreen* screen, gpointer) {
  GdkVisual* visual = gdk_screen_get_system_visual(screen);
  GdkDisplay* display = gdk_screen_get_display(screen);
  GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
  if (!monitor) monitor = gdk_display_get_monitor(display, 0);
  GdkRectangle area{0, 0, 0, 0};
  if (monitor) gdk_monitor_get_geometry(monitor, &area);
  const int width = area.width, height = area.height;
  const WPARAM depth = visual ? static_cast<WPARAM>(gdk_visual_get_depth(visual)) : 24;
  for (HWND window : detail::TopLevelWindows()) {
    if (detail::Find(window)) detail::Send(window, WM_DISPLAYCHANGE, depth, MakeLParam(width, height));
  }
}

}  // namespace

bool InitUiThread() {
  if (g_initialised.load()) return true;
  if (!gtk_init_check(nullptr, nullptr)) {
    DebugTrace("window: no display available; windows cannot be shown");
    return false;
  }
  platform::BindUiThread();
  platform::SetMessageWaker(&WakeUiThread);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  g_signal_connect(gdk_screen_get_default(), "size-changed", G_CALLBACK(OnScreenSizeChanged), nullptr);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_initialised.store(true);
  if (platform::PendingMessageCount() > 0) WakeUiThread();
  return true;
}

bool IsUiInitialised() { return g_initialised.load(); }

void DispatchPending() {
  if (!g_initialised.load() || !platform::IsUiThread()) return;
  for (int i = 0; i < kMaxIterationsPerDispatch && g_main_context_pending(nullptr); ++i) {
    g_main_context_iteration(nullptr, FALSE);
  }
  platform::DispatchPostedMessages();
}

void PumpMessages(int passes, int sleepMs) {
  for (int pass = 0; pass < passes; ++pass) {
    if (sleepMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    DispatchPending();
  }
}

int RunModalLoop(HWND window) {
  detail::WindowRecord* record = detail::Find(window);
  if (!record || record->modalLoop) return 0;
  GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
  record->modalLoop = loop;
  record->modalResult = 0;
  GtkWindow* modal = record->toplevel ? GTK_WINDOW(record->toplevel) : nullptr;
  if (modal && gtk_window_get_transient_for(modal)) gtk_window_set_modal(modal, TRUE);
  g_main_loop_run(loop);
  int result = 0;
  if (detail::WindowRecord* after = detail::Find(window)) {
    result = after->modalResult;
    after->modalLoop = nullptr;
    if (modal) gtk_window_set_modal(modal, FALSE);
  } else {
    result = detail::TakeEndedModalResult(window);
  }
  g_main_loop_unref(loop);
  return result;
}

void EndModalLoop(HWND window, int code) {
  detail::WindowRecord* record = detail::Find(window);
  if (!record || !record->modalLoop) return;
  record->modalResult = code;
  g_main_loop_quit(record->modalLoop);
}

void SetModalResult(HWND window, int code) {
  if (detail::WindowRecord* record = detail::Find(window)) record->modalResult = code;
}

bool IsInModalLoop(HWND window) {
  const detail::WindowRecord* record = detail::Find(window);
  return record && record->modalLoop;
}

}  // namespace platform::ui
