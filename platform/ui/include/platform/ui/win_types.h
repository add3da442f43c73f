#pragma once
// Geometry records, message numbers and flag values of the windowing layer.
// The numbers are those the programs were designed against, so a handler
// written for them reads the same here. Only what the suite uses is listed.

#include <cstdint>

#include "platform/window_messages.h"

namespace platform {

struct POINT {
  int x = 0;
  int y = 0;
};

struct SIZE {
  int cx = 0;
  int cy = 0;
};

// Edges in pixels; right and bottom are one past the last pixel.
struct RECT {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }
inline bool RectIsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
inline bool PointInRect(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator!=(const RECT& a, const RECT& b) { return !(a == b); }
// Intersection; an empty rectangle (all zero) when they do not overlap.
RECT IntersectRects(const RECT& a, const RECT& b);
RECT UnionRects(const RECT& a, const RECT& b);

// Filled by handlers of WM_GETMINMAXINFO; sizes in pixels.
struct MINMAXINFO {
  POINT ptReserved;
  POINT ptMaxSize;
  POINT ptMaxPosition;
  POINT ptMinTrackSize;
  POINT ptMaxTrackSize;
};

struct WINDOWPLACEMENT {
  uint32_t length = sizeof(WINDOWPLACEMENT);
  uint32_t flags = 0;
  uint32_t showCmd = 0;
  POINT ptMinPosition;
  POINT ptMaxPosition;
  RECT rcNormalPosition;  // screen coordinates of the restored window
};

// -- packing of message parameters
inline LPARAM MakeLParam(int low, int high) {
  return static_cast<LPARAM>((static_cast<uint32_t>(static_cast<uint16_t>(low))) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
inline uint16_t LoWord(uintptr_t value) { return static_cast<uint16_t>(value & 0xFFFF); }
inline uint16_t HiWord(uintptr_t value) { return static_cast<uint16_t>((value >> 16) & 0xFFFF); }
// Signed coordinates of a mouse message.
inline int GetXLParam(LPARAM value) { return static_cast<int16_t>(LoWord(static_cast<uintptr_t>(value))); }
inline int GetYLParam(LPARAM value) { return static_cast<int16_t>(HiWord(static_cast<uintptr_t>(value))); }

// -- messages (besides those of platform/window_messages.h)
constexpr UINT WM_CREATE = 1;
constexpr UINT WM_DESTROY = 2;
constexpr UINT WM_MOVE = 3;
constexpr UINT WM_ACTIVATE = 6;
constexpr UINT WM_SETFOCUS = 7;
constexpr UINT WM_KILLFOCUS = 8;
constexpr UINT WM_ENABLE = 10;
// wParam: cairo_t* clipped to the area to paint; lParam: const RECT* of that area.
constexpr UINT WM_PAINT = 15;
constexpr UINT WM_CLOSE = 16;
constexpr UINT WM_CONTEXTMENU = 123;
constexpr UINT WM_NCDESTROY = 130;
constexpr UINT WM_NCHITTEST = 132;          // lParam: screen position; result HT*
constexpr UINT WM_NCLBUTTONDBLCLK = 163;    // wParam: hit-test result; lParam: screen position
constexpr UINT WM_KEYDOWN = 256;
constexpr UINT WM_CHAR = 258;               // wParam: one UTF-16 unit
constexpr UINT WM_SYSCOMMAND = 274;
constexpr UINT WM_MOUSEMOVE = 512;
constexpr UINT WM_LBUTTONDOWN = 513;
constexpr UINT WM_LBUTTONUP = 514;
constexpr UINT WM_LBUTTONDBLCLK = 515;
constexpr UINT WM_RBUTTONDOWN = 516;
constexpr UINT WM_RBUTTONUP = 517;
constexpr UINT WM_RBUTTONDBLCLK = 518;
constexpr UINT WM_MBUTTONDOWN = 519;
constexpr UINT WM_MBUTTONUP = 520;
constexpr UINT WM_MOUSEWHEEL = 522;         // wParam high word: signed delta (120 a notch)
constexpr UINT WM_MOUSELEAVE = 675;

// WM_SIZE wParam
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// WM_SYSCOMMAND wParam
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;

// WM_NCHITTEST results
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;

// Mouse key-state flags in wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x01;
constexpr WPARAM MK_RBUTTON = 0x02;
constexpr WPARAM MK_SHIFT = 0x04;
constexpr WPARAM MK_CONTROL = 0x08;
constexpr WPARAM MK_MBUTTON = 0x10;

// Show commands
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;

// SetWindowPos flags and z-order values
constexpr uint32_t SWP_NOSIZE = 0x0001;
constexpr uint32_t SWP_NOMOVE = 0x0002;
constexpr uint32_t SWP_NOZORDER = 0x0004;
constexpr uint32_t SWP_NOACTIVATE = 0x0010;
constexpr uint32_t SWP_FRAMECHANGED = 0x0020;
constexpr uint32_t SWP_SHOWWINDOW = 0x0040;
constexpr uint32_t SWP_HIDEWINDOW = 0x0080;
inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));

// Window styles
constexpr uint32_t WS_OVERLAPPED = 0x00000000;
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_CHILD = 0x40000000;
constexpr uint32_t WS_MINIMIZE = 0x20000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_DISABLED = 0x08000000;
constexpr uint32_t WS_CLIPSIBLINGS = 0x04000000;
constexpr uint32_t WS_CLIPCHILDREN = 0x02000000;
constexpr uint32_t WS_MAXIMIZE = 0x01000000;
constexpr uint32_t WS_CAPTION = 0x00C00000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_THICKFRAME = 0x00040000;
constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_ACCEPTFILES = 0x00000010;
constexpr uint32_t WS_EX_TOOLWINDOW = 0x00000080;
constexpr uint32_t WS_EX_WINDOWEDGE = 0x00000100;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);

// Class styles
constexpr uint32_t CS_VREDRAW = 0x0001;
constexpr uint32_t CS_HREDRAW = 0x0002;
constexpr uint32_t CS_DBLCLKS = 0x0008;

// Message boxes
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_OKCANCEL = 0x01;
constexpr uint32_t MB_ABORTRETRYIGNORE = 0x02;
constexpr uint32_t MB_YESNOCANCEL = 0x03;
constexpr uint32_t MB_YESNO = 0x04;
constexpr uint32_t MB_RETRYCANCEL = 0x05;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONQUESTION = 0x20;
constexpr uint32_t MB_ICONWARNING = 0x30;
constexpr uint32_t MB_ICONINFORMATION = 0x40;
constexpr uint32_t MB_DEFBUTTON2 = 0x100;
constexpr uint32_t MB_DEFBUTTON3 = 0x200;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Virtual key codes of WM_KEYDOWN / WM_KEYUP
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_PRIOR = 0x21;
constexpr WPARAM VK_NEXT = 0x22;
constexpr WPARAM VK_END = 0x23;
constexpr WPARAM VK_HOME = 0x24;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_DELETE = 0x2E;
constexpr WPARAM VK_F1 = 0x70;

// System metrics
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;

}  // namespace platform
