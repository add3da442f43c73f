#pragma once
// Native windows on GTK for the programs, addressed by the window handles of
// the platform registry (platform/window_registry.h).
//
// Every window is painted and fed input through window messages, with the
// numbers of platform/ui/win_types.h:
//  - a top-level window is an undecorated GtkWindow; programs draw their own
//    caption and answer WM_NCHITTEST to let the user move and size it;
//    with WS_POPUP it is a pop-up the window manager leaves alone;
//  - a child window (WS_CHILD) lies inside its parent at a rectangle given
//    in the parent's client coordinates and has an X11 window of its own,
//    whose id the registry holds (GetNativeWindowId) once it is realized.
// A window whose class has no procedure and that was given no handler (the
// built-in dialog class "#32770") is a plain native surface: GTK neither
// paints it nor selects mouse or key events on it, so another client (the
// engine's SDL) may select button events on its X11 window and draw into it.
//
// Threads: everything here runs on the UI thread, except the geometry
// queries GetWindowRect, GetClientRect, IsWindowVisible, which read a copy
// kept up to date by the UI thread and may be called from any thread.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/ui/win_types.h"
#include "platform/window_registry.h"

typedef struct _GtkWidget GtkWidget;

namespace platform::ui {

struct WindowClass {
  std::string name;
  MessageHandler procedure;  // may be empty: DefWindowProc only
  uint32_t style = 0;        // CS_* flags (double-clicks are always reported)
};
// Registers or replaces a class.
void RegisterWindowClass(const WindowClass& windowClass);
bool IsWindowClassRegistered(const std::string& name);

// The built-in class of plain native surfaces (see above).
inline constexpr const char* kDialogClassName = "#32770";

struct WindowSpec {
  std::string className = kDialogClassName;
  std::string title;          // UTF-8
  uint32_t style = 0;         // WS_* flags
  uint32_t exStyle = 0;       // WS_EX_* flags
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND parent = nullptr;      // parent of a WS_CHILD window, owner of a top-level one
  MessageHandler handler;     // replaces the class procedure when set
  LPARAM createParam = 0;     // lParam of WM_CREATE
};

// Sends WM_CREATE (a result of -1 fails the creation) and WM_SIZE, and shows
// the window when WS_VISIBLE is set. Null on failure (unknown class, a
// parent that is not one of our windows, WM_CREATE refused, no display).
HWND CreateNativeWindow(const WindowSpec& spec);
// Sends WM_DESTROY, destroys the child windows, sends WM_NCDESTROY, kills
// the window's timers, ends a modal loop running for it and forgets the
// handle. False for a handle that is not one of our windows.
bool DestroyWindow(HWND window);
// The default answers: WM_CLOSE destroys the window, WM_SYSCOMMAND
// minimises, maximises, restores or closes, WM_NCHITTEST answers HTCLIENT,
// WM_NCLBUTTONDBLCLK on the caption toggles maximised.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
bool IsNativeWindow(HWND window);  // one of ours (not only registered)
// Replaces the procedure of one of our windows (an empty one leaves only
// DefWindowProc). Use this rather than platform::SetWindowHandler, which
// would bypass the show/hide handling of this layer.
void SetWindowProcedure(HWND window, MessageHandler procedure);

// Shows, hides, minimises, maximises or restores (SW_*); returns whether
// the window was visible before. WM_SHOWWINDOW is sent on a change.
bool ShowWindowCommand(HWND window, int command);
bool IsWindowVisible(HWND window);
bool IsZoomed(HWND window);
bool IsIconic(HWND window);
void EnableWindow(HWND window, bool enable);
bool IsWindowEnabled(HWND window);

// Position and size; child windows in their parent's client coordinates.
// insertAfter: HWND_TOPMOST / HWND_NOTOPMOST keep a top-level window above
// others or stop doing so (needs no SWP_NOZORDER); other values are ignored.
bool SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, uint32_t flags);
bool MoveWindow(HWND window, int x, int y, int width, int height);
// Screen coordinates.
RECT GetWindowRect(HWND window);
// (0, 0, width, height)
RECT GetClientRect(HWND window);
POINT ClientToScreen(HWND window, POINT point);
POINT ScreenToClient(HWND window, POINT point);
// Centres a top-level window over its owner, or on its monitor without one.
void CenterWindow(HWND window);
bool IsTopmost(HWND window);

void SetWindowText(HWND window, const std::string& utf8);
std::string GetWindowText(HWND window);
// Window icon from PNG bytes; false when they are not a PNG picture.
bool SetWindowIconPng(HWND window, const uint8_t* png, size_t size);

// Schedules WM_PAINT for the area (null: the whole client area).
void InvalidateRect(HWND window, const RECT* area);
// Delivers the pending WM_PAINT of the window at once, if any.
void UpdateWindow(HWND window);

void SetFocus(HWND window);
bool HasFocus(HWND window);
// Brings a top-level window to the front and gives it the keyboard focus.
void SetForegroundWindow(HWND window);

// Sends every pointer and key event of the display to this window until
// released, with positions relative to its client area even outside it;
// pop-ups use it to close on a press elsewhere. False when refused (the
// window must be shown).
bool CapturePointer(HWND window);
void ReleasePointerCapture();

// Asks the window for WM_GETMINMAXINFO again and applies its limits.
void RefreshSizeLimits(HWND window);

// Cursor over the window by its CSS name ("default", "pointer", "text",
// "ew-resize", ...).
void SetWindowCursor(HWND window, const char* cursorName);

// Tooltip text for a point of the client area; return false for none.
using TooltipProvider = std::function<bool(POINT point, std::string& text, RECT& area)>;
void SetTooltipProvider(HWND window, TooltipProvider provider);

// Places a toolkit widget over the whole client area of a window that has
// a procedure (for example a web view). False for a plain native surface.
bool EmbedWidget(HWND window, GtkWidget* widget);
// The GTK widget of the window's client area (for toolkit-level code only).
GtkWidget* GetClientWidget(HWND window);

}  // namespace platform::ui
