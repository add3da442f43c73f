#include "platform/ui/window.h"

#include <gdk/gdkx.h>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "platform/trace.h"
#include "platform/ui/file_drop.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/timers.h"
#include "window_internal.h"

namespace platform::ui {
namespace detail {
namespace {

constexpr int kDefaultWidth = 640;   // pixels, for CW_USEDEFAULT sizes
constexpr int kDefaultHeight = 480;
constexpr const char* kHandleKey = "kestra-hwnd";
constexpr const char* kEmbeddedKey = "kestra-embedded";

std::unordered_map<HWND, std::unique_ptr<WindowRecord>>& Table() {
  static std::unordered_map<HWND, std::unique_ptr<WindowRecord>> table;
  return table;
}

std::map<std::string, WindowClass>& Classes() {
  static std::map<std::string, WindowClass> classes;
  return classes;
}

LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

WindowRecord* Find(HWND window) {
  const auto it = Table().find(window);
  return it == Table().end() ? nullptr : it->second.get();
}

GtkWindow* GtkWindowOf(HWND window) {
  const WindowRecord* record = Find(window);
  GtkWidget* top = record ? gtk_widget_get_toplevel(record->outer) : nullptr;
  return top && GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> windows;
  for (const auto& [handle, record] : Table()) {
    if (!record->child) windows.push_back(handle);
  }
  return windows;
}

std::vector<HWND> OwnedWindows(HWND owner) {
  std::vector<HWND> owned;
  for (const auto& [handle, record] : Table()) {
    if (!record->child && record->parent == owner) owned.push_back(handle);
  }
  return owned;
}

std::unordered_map<HWND, int>& EndedModalResults() {
  static std::unordered_map<HWND, int> results;
  return results;
}

int TakeEndedModalResult(HWND window) {
  const auto it = EndedModalResults().find(window);
  if (it == EndedModalResults().end()) return 0;
  const int result = it->second;
  EndedModalResults().erase(it);
  return result;
}

void StoreEndedModalResult(HWND window, int result) { EndedModalResults()[window] = result; }

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::SendMessage(window, message, wParam, lParam);
}

namespace {

// Every message of our windows passes here: WM_SHOWWINDOW posted by the
// platform core (from any thread) is applied first, then the procedure runs.
LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  WindowRecord* record = Find(window);
  if (!record) return 0;
  if (message == WM_SHOWWINDOW && record->visible != (wParam != 0)) {
    ShowWindowCommand(window, wParam ? SW_SHOWNA : SW_HIDE);
    return 0;  // ShowWindowCommand sent the notification itself
  }
  MessageHandler procedure = record->procedure;  // may be replaced while it runs
  return procedure ? procedure(window, message, wParam, lParam)
                   : DefWindowProc(window, message, wParam, lParam);
}

gboolean OnChildPosition(GtkOverlay* overlay, GtkWidget* widget, GdkRectangle* allocation, gpointer) {
  if (g_object_get_data(G_OBJECT(widget), kEmbeddedKey)) {
    *allocation = {0, 0, gtk_widget_get_allocated_width(GTK_WIDGET(overlay)),
                   gtk_widget_get_allocated_height(GTK_WIDGET(overlay))};
    return TRUE;
  }
  const auto window = static_cast<HWND>(g_object_get_data(G_OBJECT(widget), kHandleKey));
  const WindowRecord* record = Find(window);
  if (!record) return FALSE;
  const RECT& r = record->childRect;
  *allocation = {r.left, r.top, std::max(0, RectWidth(r)), std::max(0, RectHeight(r))};
  return TRUE;
}

GtkWidget* NewOverlay(GtkWidget* canvas) {
  GtkWidget* overlay = gtk_overlay_new();
  gtk_container_add(GTK_CONTAINER(overlay), canvas);
  g_signal_connect(overlay, "get-child-position", G_CALLBACK(OnChildPosition), nullptr);
  gtk_widget_show(canvas);
  gtk_widget_show(overlay);
  return overlay;
}

// The client-area widget of a window with a procedure: painted through
// WM_PAINT and fed input.
GtkWidget* NewCanvas() {
  GtkWidget* canvas = gtk_drawing_area_new();
  gtk_widget_set_can_focus(canvas, TRUE);
  gtk_widget_add_events(canvas, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                    GDK_SCROLL_MASK | GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK |
                                    GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK);
  return canvas;
}

// A plain native surface: no input selected, never painted or cleared by
// GTK, so another client may select button events on it and draw into it.
GtkWidget* NewPlainSurface() {
  GtkWidget* surface = gtk_drawing_area_new();
  gtk_widget_set_app_paintable(surface, TRUE);
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  gtk_widget_set_double_buffered(surface, FALSE);
  G_GNUC_END_IGNORE_DEPRECATIONS
  g_signal_connect(surface, "draw", G_CALLBACK(+[](GtkWidget*, cairo_t*, gpointer) -> gboolean { return TRUE; }),
                   nullptr);
  return surface;
}

int OrDefault(int value, int fallback) { return value == CW_USEDEFAULT ? fallback : value; }

void PublishNativeId(WindowRecord& record) {
  GtkWidget* widget = record.toplevel ? record.toplevel : record.canvas;
  gtk_widget_realize(widget);
  GdkWindow* gdkWindow = gtk_widget_get_window(widget);
  if (!gdkWindow) return;
  if (record.child && !gdk_window_ensure_native(gdkWindow)) {
    DebugTrace("window: no native window for child %p", static_cast<void*>(record.hwnd));
    return;
  }
  if (GDK_IS_X11_WINDOW(gdkWindow)) SetNativeWindowId(record.hwnd, GDK_WINDOW_XID(gdkWindow));
  if (record.inputMethod) gtk_im_context_set_client_window(record.inputMethod, gtk_widget_get_window(record.canvas));
}

bool BuildToplevel(WindowRecord& record, const WindowSpec& spec) {
  record.toplevel = gtk_window_new((spec.style & WS_POPUP) ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL);
  record.outer = record.toplevel;
  gtk_window_set_decorated(GTK_WINDOW(record.toplevel), FALSE);
  gtk_window_set_title(GTK_WINDOW(record.toplevel), spec.title.c_str());
  if (GtkWindow* owner = GtkWindowOf(spec.parent)) gtk_window_set_transient_for(GTK_WINDOW(record.toplevel), owner);
  record.canvas = NewCanvas();
  record.overlay = NewOverlay(record.canvas);
  gtk_container_add(GTK_CONTAINER(record.toplevel), record.overlay);
  const int width = std::max(1, OrDefault(spec.width, kDefaultWidth));
  const int height = std::max(1, OrDefault(spec.height, kDefaultHeight));
  RECT rect{OrDefault(spec.x, 0), OrDefault(spec.y, 0), 0, 0};
  if (spec.x == CW_USEDEFAULT) {
    const RECT area = WorkAreaOf(nullptr);
    rect.left = area.left + std::max(0, (RectWidth(area) - width) / 2);
    rect.top = area.top + std::max(0, (RectHeight(area) - height) / 2);
  }
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  gtk_window_set_default_size(GTK_WINDOW(record.toplevel), width, height);
  gtk_window_move(GTK_WINDOW(record.toplevel), rect.left, rect.top);
  if (spec.exStyle & WS_EX_TOPMOST) {
    gtk_window_set_keep_above(GTK_WINDOW(record.toplevel), TRUE);
    record.topmost = true;
  }
  record.normalRect = rect;
  GeometrySetPlacement(record.hwnd, record.parent, false, rect);
  GeometrySetClientSize(record.hwnd, width, height);
  ConnectToplevelEvents(record);
  return true;
}

bool BuildChild(WindowRecord& record, const WindowSpec& spec) {
  WindowRecord* parent = Find(spec.parent);
  if (!parent || !parent->overlay) {
    DebugTrace("window: a child window needs a parent window that can hold children");
    return false;
  }
  if (record.plain) {
    record.canvas = NewPlainSurface();
    record.outer = record.canvas;
    gtk_widget_show(record.canvas);
  } else {
    record.canvas = NewCanvas();
    record.overlay = NewOverlay(record.canvas);
    record.outer = record.overlay;
  }
  record.childRect = {OrDefault(spec.x, 0), OrDefault(spec.y, 0), 0, 0};
  record.childRect.right = record.childRect.left + std::max(0, OrDefault(spec.width, 0));
  record.childRect.bottom = record.childRect.top + std::max(0, OrDefault(spec.height, 0));
  g_object_set_data(G_OBJECT(record.outer), kHandleKey, record.hwnd);
  gtk_widget_set_no_show_all(record.outer, TRUE);
  gtk_widget_hide(record.outer);
  gtk_overlay_add_overlay(GTK_OVERLAY(parent->overlay), record.outer);
  parent->children.push_back(record.hwnd);
  GeometrySetPlacement(record.hwnd, record.parent, true, record.childRect);
  GeometrySetClientSize(record.hwnd, RectWidth(record.childRect), RectHeight(record.childRect));
  return true;
}

MessageHandler ProcedureFor(const WindowSpec& spec, bool* known) {
  *known = true;
  if (spec.handler) return spec.handler;
  const auto it = Classes().find(spec.className);
  if (it != Classes().end()) return it->second.procedure;
  *known = spec.className == kDialogClassName;
  return {};
}

}  // namespace
}  // namespace detail

using detail::Find;
using detail::WindowRecord;

void RegisterWindowClass(const WindowClass& windowClass) { detail::Classes()[windowClass.name] = windowClass; }

bool IsWindowClassRegistered(const std::string& name) {
  return name == kDialogClassName || detail::Classes().count(name) != 0;
}

bool IsNativeWindow(HWND window) { return Find(window) != nullptr; }

void SetWindowProcedure(HWND window, MessageHandler procedure) {
  if (WindowRecord* record = Find(window)) record->procedure = std::move(procedure);
}

HWND CreateNativeWindow(const WindowSpec& spec) {
  if (!InitUiThread()) return nullptr;
  bool knownClass = false;
  MessageHandler procedure = detail::ProcedureFor(spec, &knownClass);
  if (!knownClass) {
    DebugTrace("window: class \"%s\" is not registered", spec.className.c_str());
    return nullptr;
  }
  auto owned = std::make_unique<WindowRecord>();
  WindowRecord& record = *owned;
  record.child = (spec.style & WS_CHILD) != 0;
  record.hwnd = CreateWindowHandle(spec.parent);
  record.className = spec.className;
  record.procedure = std::move(procedure);
  record.plain = !record.procedure;
  record.style = spec.style;
  record.exStyle = spec.exStyle;
  record.parent = spec.parent;
  record.title = spec.title;
  if (!record.plain) record.inputMethod = gtk_im_multicontext_new();
  detail::Table()[record.hwnd] = std::move(owned);
  SetWindowHandler(record.hwnd, &detail::Dispatch);

  const bool built = record.child ? detail::BuildChild(record, spec) : detail::BuildToplevel(record, spec);
  if (!built) {
    DestroyWindow(record.hwnd);
    return nullptr;
  }
  if (!record.plain) detail::ConnectCanvasEvents(record);
  detail::PublishNativeId(record);
  const HWND handle = record.hwnd;
  if (detail::Send(handle, WM_CREATE, 0, spec.createParam) == -1) {
    DestroyWindow(handle);
    return nullptr;
  }
  if (!Find(handle)) return nullptr;  // destroyed by its own WM_CREATE
  RefreshSizeLimits(handle);
  const RECT client = GetClientRect(handle);
  detail::Send(handle, WM_SIZE, SIZE_RESTORED, MakeLParam(client.right, client.bottom));
  if (spec.style & WS_VISIBLE) ShowWindowCommand(handle, SW_SHOW);
  if (spec.exStyle & WS_EX_ACCEPTFILES) DragAcceptFiles(handle, true);
  return handle;
}

bool DestroyWindow(HWND window) {
  WindowRecord* record = Find(window);
  if (!record || record->destroying) return false;
  record->destroying = true;
  detail::Send(window, WM_DESTROY);
  for (HWND owned : detail::OwnedWindows(window)) DestroyWindow(owned);
  const std::vector<HWND> children = record->children;
  for (HWND child : children) DestroyWindow(child);
  detail::Send(window, WM_NCDESTROY);
  KillAllTimers(window);

  record = Find(window);  // the handlers above may not remove it, but stay safe
  if (!record) return true;
  if (record->modalLoop) {
    detail::StoreEndedModalResult(window, record->modalResult);
    g_main_loop_quit(record->modalLoop);
  }
  if (WindowRecord* parent = record->child ? Find(record->parent) : nullptr) {
    auto& list = parent->children;
    list.erase(std::remove(list.begin(), list.end(), window), list.end());
  }
  // Forget the window before GTK tears the widgets down, so the signals
  // emitted during the destruction find nothing to deliver to.
  std::unique_ptr<WindowRecord> owned = std::move(detail::Table()[window]);
  detail::Table().erase(window);
  detail::GeometryForget(window);
  DestroyWindowHandle(window);
  if (owned->inputMethod) g_object_unref(owned->inputMethod);
  if (GtkWidget* widget = owned->toplevel ? owned->toplevel : owned->outer) gtk_widget_destroy(widget);
  return true;
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      switch (wParam & 0xFFF0) {
        case SC_MINIMIZE: ShowWindowCommand(window, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindowCommand(window, SW_SHOWMAXIMIZED); break;
        case SC_RESTORE: ShowWindowCommand(window, SW_RESTORE); break;
        case SC_CLOSE: detail::Send(window, WM_CLOSE); break;
        default: break;
      }
      return 0;
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_NCLBUTTONDBLCLK:
      if (wParam == static_cast<WPARAM>(HTCAPTION)) {
        ShowWindowCommand(window, IsZoomed(window) ? SW_RESTORE : SW_SHOWMAXIMIZED);
      }
      return 0;
    default:
      return 0;
  }
}

void SetWindowText(HWND window, const std::string& utf8) {
  WindowRecord* record = Find(window);
  if (!record) return;
  record->title = utf8;
  if (record->toplevel) gtk_window_set_title(GTK_WINDOW(record->toplevel), utf8.c_str());
}

std::string GetWindowText(HWND window) {
  const WindowRecord* record = Find(window);
  return record ? record->title : std::string();
}

bool SetWindowIconPng(HWND window, const uint8_t* png, size_t size) {
  WindowRecord* record = Find(window);
  if (!record || !png || size == 0) return false;
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("png", nullptr);
  bool ok = loader && gdk_pixbuf_loader_write(loader, png, size, nullptr);
  ok = loader && gdk_pixbuf_loader_close(loader, nullptr) && ok;
  GdkPixbuf* picture = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
  if (picture && record->toplevel) gtk_window_set_icon(GTK_WINDOW(record->toplevel), picture);
  if (loader) g_object_unref(loader);
  return picture != nullptr;
}

void InvalidateRect(HWND window, const RECT* area) {
  const WindowRecord* record = Find(window);
  if (!record || record->plain) return;
  if (!area) {
    gtk_widget_queue_draw(record->canvas);
  } else if (!RectIsEmpty(*area)) {
    gtk_widget_queue_draw_area(record->canvas, area->left, area->top, RectWidth(*area), RectHeight(*area));
  }
}

void UpdateWindow(HWND window) {
  const WindowRecord* record = Find(window);
  if (!record || record->plain) return;
  if (GdkWindow* gdkWindow = gtk_widget_get_window(record->canvas)) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gdk_window_process_updates(gdkWindow, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
  }
}

void SetFocus(HWND window) {
  const WindowRecord* record = Find(window);
  if (record && !record->plain) gtk_widget_grab_focus(record->canvas);
}

bool HasFocus(HWND window) {
  const WindowRecord* record = Find(window);
  return record && !record->plain && gtk_widget_has_focus(record->canvas);
}

void SetForegroundWindow(HWND window) {
  const WindowRecord* record = Find(window);
  if (!record) return;
  if (GtkWindow* top = detail::GtkWindowOf(window)) gtk_window_present(top);
  if (!record->plain) gtk_widget_grab_focus(record->canvas);
}

void EnableWindow(HWND window, bool enable) {
  WindowRecord* record = Find(window);
  if (!record || record->enabled == enable) return;
  record->enabled = enable;
  gtk_widget_set_sensitive(record->outer, enable);
  detail::Send(window, WM_ENABLE, enable ? 1 : 0);
}

bool IsWindowEnabled(HWND window) {
  const WindowRecord* record = Find(window);
  return record && record->enabled;
}

void SetWindowCursor(HWND window, const char* cursorName) {
  const WindowRecord* record = Find(window);
  if (!record || record->plain || !cursorName) return;
  GdkWindow* gdkWindow = gtk_widget_get_window(record->canvas);
  if (!gdkWindow) return;
  GdkCursor* cursor = gdk_cursor_new_from_name(gdk_window_get_display(gdkWindow), cursorName);
  gdk_window_set_cursor(gdkWindow, cursor);
  if (cursor) g_object_unref(cursor);
}

void SetTooltipProvider(HWND window, TooltipProvider provider) {
  WindowRecord* record = Find(window);
  if (!record || record->plain) return;
  record->tooltip = std::move(provider);
  gtk_widget_set_has_tooltip(record->canvas, record->tooltip != nullptr);
}

bool EmbedWidget(HWND window, GtkWidget* widget) {
  const WindowRecord* record = Find(window);
  if (!record || !record->overlay || !widget) return false;
  g_object_set_data(G_OBJECT(widget), detail::kEmbeddedKey, GINT_TO_POINTER(1));
  gtk_overlay_add_overlay(GTK_OVERLAY(record->overlay), widget);
  gtk_widget_show(widget);
  return true;
}

bool CapturePointer(HWND window) {
  const WindowRecord* record = Find(window);
  GdkWindow* gdkWindow = record && !record->plain ? gtk_widget_get_window(record->canvas) : nullptr;
  if (!gdkWindow || !gdk_window_is_viewable(gdkWindow)) return false;
  GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(gdkWindow));
  return gdk_seat_grab(seat, gdkWindow, GDK_SEAT_CAPABILITY_ALL, FALSE, nullptr, nullptr, nullptr, nullptr) ==
         GDK_GRAB_SUCCESS;
}

void ReleasePointerCapture() {
  if (GdkDisplay* display = gdk_display_get_default()) gdk_seat_ungrab(gdk_display_get_default_seat(display));
}

GtkWidget* GetClientWidget(HWND window) {
  const WindowRecord* record = Find(window);
  return record ? record->canvas : nullptr;
}

}  // namespace platform::ui
