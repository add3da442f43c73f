#pragma once
// The window table shared by the windowing sources. UI thread only, except
// the geometry copy (geometry_*), which has its own lock.

#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/win_types.h"
#include "platform/ui/window.h"

namespace platform::ui::detail {

struct WindowRecord {
  HWND hwnd = nullptr;
  std::string className;
  MessageHandler procedure;   // class procedure or the creator's handler
  uint32_t style = 0;
  uint32_t exStyle = 0;
  HWND parent = nullptr;      // parent (child window) or owner (top-level)
  bool child = false;
  bool plain = false;         // no procedure: a native surface GTK leaves alone
  GtkWidget* toplevel = nullptr;  // GtkWindow of a top-level window
  GtkWidget* outer = nullptr;     // what the parent holds (child) or toplevel
  GtkWidget* overlay = nullptr;   // holds child windows; null for plain ones
  GtkWidget* canvas = nullptr;    // client area: painting and input
  GtkIMContext* inputMethod = nullptr;
  RECT childRect;             // child: position in the parent's client area
  bool visible = false;
  bool enabled = true;
  bool topmost = false;
  bool maximized = false;
  bool iconified = false;
  bool destroying = false;
  RECT normalRect;            // top-level: restored rectangle on screen
  std::string title;
  TooltipProvider tooltip;
  std::vector<HWND> children;
  GMainLoop* modalLoop = nullptr;
  int modalResult = 0;
};

WindowRecord* Find(HWND window);
// The GtkWindow that holds the window (a top-level window's own); null for
// a handle that is not one of ours. Dialogs use it as their owner.
GtkWindow* GtkWindowOf(HWND window);
std::vector<HWND> TopLevelWindows();
// All top-level windows owned by `owner`.
std::vector<HWND> OwnedWindows(HWND owner);

// The modal result of a window destroyed while its modal loop ran; 0 when
// there is none. Taken once.
int TakeEndedModalResult(HWND window);
void StoreEndedModalResult(HWND window, int result);

// Sends through the registry, so the handler runs with the designed checks.
LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// -- geometry copy, readable from any thread
void GeometrySetPlacement(HWND window, HWND parent, bool child, const RECT& rectInParent);
void GeometrySetClientSize(HWND window, int width, int height);
void GeometrySetVisible(HWND window, bool visible);
void GeometryForget(HWND window);

// Event wiring of a new window's widgets (window_events.cpp).
void ConnectCanvasEvents(WindowRecord& record);
void ConnectToplevelEvents(WindowRecord& record);
WPARAM VirtualKeyOf(guint keyval);

// Work area of the monitor that holds the window (screen.cpp).
RECT WorkAreaOf(HWND window);

}  // namespace platform::ui::detail
