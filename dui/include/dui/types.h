#pragma once
// Events, notifications and the small interfaces of the framework.

#include <cstdint>

#include "dui/dui_string.h"
#include "platform/ui/win_types.h"

namespace dui {

using platform::HWND;
using platform::LPARAM;
using platform::LRESULT;
using platform::POINT;
using platform::RECT;
using platform::SIZE;
using platform::UINT;
using platform::WPARAM;
using DWORD = uint32_t;      // colours are 0xAARRGGBB
using UINT_PTR = uintptr_t;

class CControlUI;
class CPaintManagerUI;

// Events delivered to CControlUI::DoEvent. The numbers are fixed: derived
// controls of the programs test them (9 is mouse-move, 13 button-down).
enum EventType {
  UIEVENT__FIRST = 1,
  UIEVENT__KEYBEGIN,
  UIEVENT_KEYDOWN,
  UIEVENT_KEYUP,
  UIEVENT_CHAR,
  UIEVENT_SYSKEY,
  UIEVENT__KEYEND,
  UIEVENT__MOUSEBEGIN,
  UIEVENT_MOUSEMOVE,     // 9
  UIEVENT_MOUSELEAVE,
  UIEVENT_MOUSEENTER,
  UIEVENT_MOUSEHOVER,
  UIEVENT_BUTTONDOWN,    // 13
  UIEVENT_BUTTONUP,
  UIEVENT_RBUTTONDOWN,
  UIEVENT_DBLCLICK,
  UIEVENT_CONTEXTMENU,
  UIEVENT_SCROLLWHEEL,
  UIEVENT__MOUSEEND,
  UIEVENT_KILLFOCUS,
  UIEVENT_SETFOCUS,
  UIEVENT_WINDOWSIZE,
  UIEVENT_SETCURSOR,
  UIEVENT_TIMER,
  UIEVENT__LAST,
};
static_assert(UIEVENT_MOUSEMOVE == 9 && UIEVENT_BUTTONDOWN == 13, "event codes the programs rely on");

struct TEventUI {
  int Type = 0;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse;             // client coordinates of the paint window
  char16_t chKey = 0;        // key code (UIEVENT_KEY*) or character (UIEVENT_CHAR)
  WPARAM wKeyState = 0;      // MK_* flags
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Notification types.
inline constexpr const char16_t* DUI_MSGTYPE_CLICK = u"click";
inline constexpr const char16_t* DUI_MSGTYPE_DBCLICK = u"dbclick";
inline constexpr const char16_t* DUI_MSGTYPE_ITEMCLICK = u"itemclick";
inline constexpr const char16_t* DUI_MSGTYPE_ITEMACTIVATE = u"itemactivate";
inline constexpr const char16_t* DUI_MSGTYPE_ITEMSELECT = u"itemselect";
inline constexpr const char16_t* DUI_MSGTYPE_VALUECHANGED = u"valuechanged";
inline constexpr const char16_t* DUI_MSGTYPE_VALUECHANGED_MOVE = u"movevaluechanged";
inline constexpr const char16_t* DUI_MSGTYPE_SELECTCHANGED = u"selectchanged";
inline constexpr const char16_t* DUI_MSGTYPE_TEXTCHANGED = u"textchanged";
inline constexpr const char16_t* DUI_MSGTYPE_RETURN = u"return";
inline constexpr const char16_t* DUI_MSGTYPE_SETFOCUS = u"setfocus";
inline constexpr const char16_t* DUI_MSGTYPE_KILLFOCUS = u"killfocus";
inline constexpr const char16_t* DUI_MSGTYPE_DROPDOWN = u"dropdown";
inline constexpr const char16_t* DUI_MSGTYPE_ITEMEXPAND = u"itemexpand";
inline constexpr const char16_t* DUI_MSGTYPE_TIMER = u"timer";
inline constexpr const char16_t* DUI_MSGTYPE_MENU = u"menu";
inline constexpr const char16_t* DUI_MSGTYPE_WINDOWINIT = u"windowinit";

struct TNotifyUI {
  CDuiString sType;
  CDuiString sVirtualWnd;
  CControlUI* pSender = nullptr;
  DWORD dwTimestamp = 0;
  POINT ptMouse;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Asked by the skin builder for each element it does not know.
class IDialogBuilderCallback {
 public:
  virtual ~IDialogBuilderCallback() = default;
  virtual CControlUI* CreateControl(const char16_t* className) = 0;
};

// Where a window's skin comes from.
enum UILIB_RESOURCETYPE {
  UILIB_FILE = 1,         // a folder beside the program
  UILIB_ZIP = 2,          // a ZIP file beside the program
  UILIB_RESOURCE = 3,
  UILIB_ZIPRESOURCE = 4,  // a ZIP archive embedded in the program
};

// Flags of CControlUI::FindControl.
constexpr UINT UIFIND_ALL = 0x00000000;
constexpr UINT UIFIND_VISIBLE = 0x00000001;
constexpr UINT UIFIND_ENABLED = 0x00000002;
constexpr UINT UIFIND_HITTEST = 0x00000004;
constexpr UINT UIFIND_TOP_FIRST = 0x00000008;
constexpr UINT UIFIND_ME_FIRST = 0x80000000;
using FINDCONTROLPROC = CControlUI* (*)(CControlUI*, void*);

// Control flags.
constexpr UINT UIFLAG_TABSTOP = 0x00000001;
constexpr UINT UIFLAG_SETCURSOR = 0x00000002;

// Text layout flags of CLabelUI and friends.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_END_ELLIPSIS = 0x8000;

}  // namespace dui
