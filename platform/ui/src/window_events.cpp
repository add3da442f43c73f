// GTK signals of our windows turned into window messages.

#include <cmath>

#include "platform/text.h"
#include "window_internal.h"

namespace platform::ui::detail {
namespace {

HWND HandleOf(gpointer data) { return static_cast<HWND>(data); }

WPARAM KeyState(guint state) {
  WPARAM flags = 0;
  if (state & GDK_BUTTON1_MASK) flags |= MK_LBUTTON;
  if (state & GDK_BUTTON3_MASK) flags |= MK_RBUTTON;
  if (state & GDK_BUTTON2_MASK) flags |= MK_MBUTTON;
  if (state & GDK_SHIFT_MASK) flags |= MK_SHIFT;
  if (state & GDK_CONTROL_MASK) flags |= MK_CONTROL;
  return flags;
}

WPARAM ButtonFlag(guint button) {
  switch (button) {
    case 1: return MK_LBUTTON;
    case 2: return MK_MBUTTON;
    case 3: return MK_RBUTTON;
    default: return 0;
  }
}

LPARAM ClientPosition(double x, double y) {
  return MakeLParam(static_cast<int>(x), static_cast<int>(y));
}

UINT ButtonMessage(guint button, GdkEventType type) {
  const bool twice = type == GDK_2BUTTON_PRESS;
  switch (button) {
    case 1: return twice ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    case 2: return WM_MBUTTONDOWN;
    case 3: return twice ? WM_RBUTTONDBLCLK : WM_RBUTTONDOWN;
    default: return 0;
  }
}

GdkWindowEdge EdgeOf(LRESULT hit) {
  switch (hit) {
    case HTLEFT: return GDK_WINDOW_EDGE_WEST;
    case HTRIGHT: return GDK_WINDOW_EDGE_EAST;
    case HTTOP: return GDK_WINDOW_EDGE_NORTH;
    case HTTOPLEFT: return GDK_WINDOW_EDGE_NORTH_WEST;
    case HTTOPRIGHT: return GDK_WINDOW_EDGE_NORTH_EAST;
    case HTBOTTOM: return GDK_WINDOW_EDGE_SOUTH;
    case HTBOTTOMLEFT: return GDK_WINDOW_EDGE_SOUTH_WEST;
    default: return GDK_WINDOW_EDGE_SOUTH_EAST;
  }
}

// A press on the caption that may become a move of the window.
struct CaptionPress {
  HWND window = nullptr;
  double rootX = 0;
  double rootY = 0;
};

CaptionPress& PendingMove() {
  static CaptionPress press;
  return press;
}

// Starts the pending move once the pointer left the drag threshold; true
// while a caption press is pending for the window (its motion is consumed).
bool ContinueCaptionPress(HWND window, GtkWidget* widget, GdkEventMotion* event) {
  CaptionPress& press = PendingMove();
  if (press.window != window) return false;
  if (!(event->state & GDK_BUTTON1_MASK)) {
    press = {};
    return false;
  }
  int threshold = 8;
  g_object_get(gtk_widget_get_settings(widget), "gtk-dnd-drag-threshold", &threshold, nullptr);
  if (std::abs(event->x_root - press.rootX) < threshold && std::abs(event->y_root - press.rootY) < threshold) return true;
  const WindowRecord* record = Find(window);
  if (record && record->toplevel) {
    gtk_window_begin_move_drag(GTK_WINDOW(record->toplevel), 1, static_cast<int>(press.rootX),
                               static_cast<int>(press.rootY), event->time);
  }
  press = {};
  return true;
}

// A left press on a top-level window first asks where it landed: on the
// caption it moves the window (or, pressed twice, sends
// WM_NCLBUTTONDBLCLK), on a sizing edge it sizes it; true when consumed.
bool HandleNonClientPress(WindowRecord& record, GdkEventButton* event) {
  if (!record.toplevel || event->button != 1) return false;
  const HWND window = record.hwnd;
  const LPARAM screen = MakeLParam(static_cast<int>(event->x_root), static_cast<int>(event->y_root));
  const LRESULT hit = Send(window, WM_NCHITTEST, 0, screen);
  if (hit == HTCAPTION) {
    if (event->type == GDK_2BUTTON_PRESS) {
      PendingMove() = {};
      Send(window, WM_NCLBUTTONDBLCLK, static_cast<WPARAM>(HTCAPTION), screen);
    } else if (event->type == GDK_BUTTON_PRESS && !IsZoomed(window)) {
      // The move starts once the pointer has travelled a little, so that a
      // second click can still make a double-click.
      PendingMove() = {window, event->x_root, event->y_root};
    }
    return true;
  }
  if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT) {
    if (event->type == GDK_BUTTON_PRESS) {
      gtk_window_begin_resize_drag(GTK_WINDOW(record.toplevel), EdgeOf(hit), 1, static_cast<int>(event->x_root),
                                   static_cast<int>(event->y_root), event->time);
    }
    return true;
  }
  return false;
}

// GDK reports the second press of a double-click twice: as a press and,
// queued right behind it, as a double press. Windows report it once, as a
// double-click; the plain press is dropped here.
bool IsFirstHalfOfDoublePress(const GdkEventButton* event) {
  if (event->type != GDK_BUTTON_PRESS) return false;
  GdkEvent* next = gdk_event_peek();
  const bool doubled = next && next->type == GDK_2BUTTON_PRESS && next->button.button == event->button;
  if (next) gdk_event_free(next);
  return doubled;
}

gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  if (!record || (event->type != GDK_BUTTON_PRESS && event->type != GDK_2BUTTON_PRESS)) return TRUE;
  if (IsFirstHalfOfDoublePress(event)) return TRUE;
  if (!gtk_widget_has_focus(widget)) gtk_widget_grab_focus(widget);
  if (HandleNonClientPress(*record, event)) return TRUE;
  const UINT message = ButtonMessage(event->button, event->type);
  if (message == 0) return TRUE;
  Send(record->hwnd, message, KeyState(event->state) | ButtonFlag(event->button), ClientPosition(event->x, event->y));
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (PendingMove().window == HandleOf(data) && event->button == 1) {
    PendingMove() = {};
    return TRUE;
  }
  const UINT message = event->button == 1 ? WM_LBUTTONUP : event->button == 3 ? WM_RBUTTONUP
                       : event->button == 2                  ? WM_MBUTTONUP
                                                             : 0;
  if (message != 0 && Find(HandleOf(data))) {
    const WPARAM state = KeyState(event->state) & ~ButtonFlag(event->button);
    Send(HandleOf(data), message, state, ClientPosition(event->x, event->y));
  }
  return TRUE;
}

gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
  if (ContinueCaptionPress(HandleOf(data), widget, event)) return TRUE;
  if (Find(HandleOf(data))) Send(HandleOf(data), WM_MOUSEMOVE, KeyState(event->state), ClientPosition(event->x, event->y));
  return TRUE;
}

gboolean OnCrossing(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  if (event->mode != GDK_CROSSING_NORMAL || !Find(HandleOf(data))) return FALSE;
  if (event->type == GDK_LEAVE_NOTIFY) Send(HandleOf(data), WM_MOUSELEAVE);
  return FALSE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer data) {
  int delta = 0;
  if (event->direction == GDK_SCROLL_UP) delta = 120;
  if (event->direction == GDK_SCROLL_DOWN) delta = -120;
  if (event->direction == GDK_SCROLL_SMOOTH) delta = static_cast<int>(-event->delta_y * 120);
  if (delta == 0 || !Find(HandleOf(data))) return TRUE;
  const WPARAM wParam = (static_cast<WPARAM>(static_cast<uint16_t>(delta)) << 16) | KeyState(event->state);
  Send(HandleOf(data), WM_MOUSEWHEEL, wParam,
       MakeLParam(static_cast<int>(event->x_root), static_cast<int>(event->y_root)));
  return TRUE;
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  if (!record) return FALSE;
  const WPARAM key = VirtualKeyOf(event->keyval);
  const bool pressed = event->type == GDK_KEY_PRESS;
  if (key != 0) Send(record->hwnd, pressed ? WM_KEYDOWN : WM_KEYUP, key, pressed ? 1 : static_cast<LPARAM>(0xC0000001));
  record = Find(HandleOf(data));
  if (record && record->inputMethod && gtk_im_context_filter_keypress(record->inputMethod, event)) return TRUE;
  if (pressed && (key == VK_BACK || key == VK_RETURN || key == VK_ESCAPE || key == VK_TAB)) {
    if (Find(HandleOf(data))) Send(HandleOf(data), WM_CHAR, key, 1);
  }
  return TRUE;
}

void OnCommit(GtkIMContext*, const gchar* text, gpointer data) {
  for (char16_t unit : platform::Utf8ToUtf16(text)) {
    if (!Find(HandleOf(data))) return;
    Send(HandleOf(data), WM_CHAR, unit, 1);
  }
}

gboolean OnFocus(GtkWidget*, GdkEventFocus* event, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  if (!record) return FALSE;
  if (record->inputMethod) {
    if (event->in) gtk_im_context_focus_in(record->inputMethod);
    else gtk_im_context_focus_out(record->inputMethod);
  }
  Send(record->hwnd, event->in ? WM_SETFOCUS : WM_KILLFOCUS);
  return FALSE;
}

gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  if (!Find(HandleOf(data))) return TRUE;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
  const RECT area{static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2 + 0.999), static_cast<int>(y2 + 0.999)};
  Send(HandleOf(data), WM_PAINT, reinterpret_cast<WPARAM>(cr), reinterpret_cast<LPARAM>(&area));
  return TRUE;
}

void OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  if (!record) return;
  GeometrySetClientSize(record->hwnd, allocation->width, allocation->height);
  const WPARAM state = record->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
  Send(record->hwnd, WM_SIZE, state, MakeLParam(allocation->width, allocation->height));
}

gboolean OnTooltip(GtkWidget*, gint x, gint y, gboolean keyboard, GtkTooltip* tooltip, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  if (!record || !record->tooltip || keyboard) return FALSE;
  std::string text;
  RECT area;
  if (!record->tooltip({x, y}, text, area) || text.empty()) return FALSE;
  gtk_tooltip_set_text(tooltip, text.c_str());
  const GdkRectangle tipArea{area.left, area.top, RectWidth(area), RectHeight(area)};
  gtk_tooltip_set_tip_area(tooltip, &tipArea);
  return TRUE;
}

gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure*, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  GdkWindow* gdkWindow = gtk_widget_get_window(widget);
  if (!record || !gdkWindow) return FALSE;
  int x = 0, y = 0;
  gdk_window_get_origin(gdkWindow, &x, &y);
  const RECT old = GetWindowRect(record->hwnd);
  const RECT now{x, y, x + gdk_window_get_width(gdkWindow), y + gdk_window_get_height(gdkWindow)};
  GeometrySetPlacement(record->hwnd, record->parent, false, now);
  if (!record->maximized && !record->iconified) record->normalRect = now;
  if (old.left != now.left || old.top != now.top) Send(record->hwnd, WM_MOVE, 0, MakeLParam(x, y));
  return FALSE;
}

gboolean OnWindowState(GtkWidget*, GdkEventWindowState* event, gpointer data) {
  WindowRecord* record = Find(HandleOf(data));
  if (record && (event->changed_mask & GDK_WINDOW_STATE_ICONIFIED)) {
    record->iconified = (event->new_window_state & GDK_WINDOW_STATE_ICONIFIED) != 0;
  }
  return FALSE;
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
  if (Find(HandleOf(data))) Send(HandleOf(data), WM_CLOSE);
  return TRUE;  // the window decides; WM_CLOSE's default destroys it
}

}  // namespace

void ConnectCanvasEvents(WindowRecord& record) {
  GtkWidget* canvas = record.canvas;
  const gpointer data = record.hwnd;
  g_signal_connect(canvas, "draw", G_CALLBACK(OnDraw), data);
  g_signal_connect(canvas, "size-allocate", G_CALLBACK(OnSizeAllocate), data);
  g_signal_connect(canvas, "button-press-event", G_CALLBACK(OnButtonPress), data);
  g_signal_connect(canvas, "button-release-event", G_CALLBACK(OnButtonRelease), data);
  g_signal_connect(canvas, "motion-notify-event", G_CALLBACK(OnMotion), data);
  g_signal_connect(canvas, "leave-notify-event", G_CALLBACK(OnCrossing), data);
  g_signal_connect(canvas, "scroll-event", G_CALLBACK(OnScroll), data);
  g_signal_connect(canvas, "key-press-event", G_CALLBACK(OnKey), data);
  g_signal_connect(canvas, "key-release-event", G_CALLBACK(OnKey), data);
  g_signal_connect(canvas, "focus-in-event", G_CALLBACK(OnFocus), data);
  g_signal_connect(canvas, "focus-out-event", G_CALLBACK(OnFocus), data);
  g_signal_connect(canvas, "query-tooltip", G_CALLBACK(OnTooltip), data);
  if (record.inputMethod) g_signal_connect(record.inputMethod, "commit", G_CALLBACK(OnCommit), data);
}

void ConnectToplevelEvents(WindowRecord& record) {
  GtkWidget* top = record.toplevel;
  const gpointer data = record.hwnd;
  g_signal_connect(top, "configure-event", G_CALLBACK(OnConfigure), data);
  g_signal_connect(top, "window-state-event", G_CALLBACK(OnWindowState), data);
  g_signal_connect(top, "delete-event", G_CALLBACK(OnDelete), data);
}

WPARAM VirtualKeyOf(guint keyval) {
  switch (keyval) {
    case GDK_KEY_BackSpace: return VK_BACK;
    case GDK_KEY_Tab: case GDK_KEY_ISO_Left_Tab: return VK_TAB;
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: return VK_RETURN;
    case GDK_KEY_Shift_L: case GDK_KEY_Shift_R: return VK_SHIFT;
    case GDK_KEY_Control_L: case GDK_KEY_Control_R: return VK_CONTROL;
    case GDK_KEY_Alt_L: case GDK_KEY_Alt_R: return VK_MENU;
    case GDK_KEY_Escape: return VK_ESCAPE;
    case GDK_KEY_space: return VK_SPACE;
    case GDK_KEY_Page_Up: return VK_PRIOR;
    case GDK_KEY_Page_Down: return VK_NEXT;
    case GDK_KEY_End: return VK_END;
    case GDK_KEY_Home: return VK_HOME;
    case GDK_KEY_Left: case GDK_KEY_KP_Left: return VK_LEFT;
    case GDK_KEY_Up: case GDK_KEY_KP_Up: return VK_UP;
    case GDK_KEY_Right: case GDK_KEY_KP_Right: return VK_RIGHT;
    case GDK_KEY_Down: case GDK_KEY_KP_Down: return VK_DOWN;
    case GDK_KEY_Delete: case GDK_KEY_KP_Delete: return VK_DELETE;
    default: break;
  }
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) return VK_F1 + (keyval - GDK_KEY_F1);
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return '0' + (keyval - GDK_KEY_0);
  if (keyval >= GDK_KEY_a && keyval <= GDK_KEY_z) return 'A' + (keyval - GDK_KEY_a);
  if (keyval >= GDK_KEY_A && keyval <= GDK_KEY_Z) return 'A' + (keyval - GDK_KEY_A);
  return 0;
}

}  // namespace platform::ui::detail
