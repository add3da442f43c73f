#include "dui/window.h"

#include "dui/builder.h"
#include "dui/resources.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "platform/ui/message_box.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/window.h"

namespace dui {
namespace {

int g_loadedSkinResource = -1;  // the embedded archive opened last (UI thread)

void ReportSkinError(const std::string& reason) {
  platform::DebugTrace("skin: %s", reason.c_str());
  platform::ui::MessageBoxA(nullptr, "The window cannot be shown because its skin is damaged or missing.\n" + reason,
                            "Kestra", platform::MB_OK | platform::MB_ICONERROR);
}

}  // namespace

// ---------------------------------------------------------------- CWindowWnd

CWindowWnd::~CWindowWnd() { DestroyOwnWindow(); }

void CWindowWnd::DestroyOwnWindow() {
  // A window that outlives its object must not call into it any more.
  if (platform::ui::IsNativeWindow(m_hWnd)) {
    const HWND window = m_hWnd;
    m_hWnd = nullptr;
    platform::ui::SetWindowProcedure(window, {});
    platform::ui::DestroyWindow(window);
  }
}

HWND CWindowWnd::Create(HWND parent, const char16_t* name, DWORD style, DWORD exStyle, int x, int y, int cx, int cy,
                        void*) {
  platform::ui::WindowSpec spec;
  spec.className = platform::Utf16ToUtf8(GetWindowClassName() ? GetWindowClassName() : u"");
  spec.title = platform::Utf16ToUtf8(name ? name : u"");
  spec.style = style;
  spec.exStyle = exStyle;
  spec.x = x;
  spec.y = y;
  spec.width = cx;
  spec.height = cy;
  spec.parent = parent;
  spec.handler = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Dispatch(window, message, wParam, lParam);
  };
  m_bDefaultPosition = x == platform::CW_USEDEFAULT;
  m_dwStyle = style;
  return platform::ui::CreateNativeWindow(spec);
}

HWND CWindowWnd::Create(HWND parent, const char16_t* name, DWORD style, DWORD exStyle, const RECT& rc) {
  return Create(parent, name, style, exStyle, rc.left, rc.top, platform::RectWidth(rc), platform::RectHeight(rc));
}

LRESULT CWindowWnd::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!m_hWnd) m_hWnd = window;
  if (message != platform::WM_NCDESTROY) return HandleMessage(message, wParam, lParam);
  const LRESULT result = HandleMessage(message, wParam, lParam);
  m_hWnd = nullptr;
  OnFinalMessage(window);  // may delete this
  return result;
}

void CWindowWnd::ShowWindow(bool show, bool takeFocus) {
  platform::ui::ShowWindowCommand(m_hWnd, show ? (takeFocus ? platform::SW_SHOWNORMAL : platform::SW_SHOWNOACTIVATE)
                                               : platform::SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
  const HWND window = m_hWnd;
  if (!platform::ui::IsNativeWindow(window)) return 0;
  const HWND owner = platform::GetParent(window);
  const bool disableOwner = platform::ui::IsNativeWindow(owner) && platform::ui::IsWindowEnabled(owner);
  if (disableOwner) platform::ui::EnableWindow(owner, false);
  ShowWindow(true, true);
  // From here on only locals: OnFinalMessage may delete this object.
  const int result = platform::ui::RunModalLoop(window);
  if (disableOwner && platform::ui::IsNativeWindow(owner)) {
    platform::ui::EnableWindow(owner, true);
    platform::ui::SetForegroundWindow(owner);
  }
  return static_cast<UINT>(result);
}

void CWindowWnd::Close(UINT ret) {
  if (!platform::IsWindow(m_hWnd)) return;
  platform::ui::SetModalResult(m_hWnd, static_cast<int>(ret));
  platform::PostMessage(m_hWnd, platform::WM_CLOSE, ret, 0);
}

void CWindowWnd::CenterWindow() { platform::ui::CenterWindow(m_hWnd); }

void CWindowWnd::SetIcon(UINT resourceId) {
  const uint8_t* png = nullptr;
  size_t size = 0;
  if (!FindIconResource(static_cast<int>(resourceId), &png, &size)) {
    platform::DebugTrace("window: the program carries no icon %u", resourceId);
    return;
  }
  platform::ui::SetWindowIconPng(m_hWnd, png, size);
}

void CWindowWnd::ResizeClient(int cx, int cy) {
  const RECT client = platform::ui::GetClientRect(m_hWnd);
  platform::ui::SetWindowPos(m_hWnd, nullptr, 0, 0, cx < 0 ? client.right : cx, cy < 0 ? client.bottom : cy,
                             platform::SWP_NOMOVE | platform::SWP_NOZORDER | platform::SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::SendMessage(m_hWnd, message, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::PostMessage(m_hWnd, message, wParam, lParam) ? 1 : 0;
}

LRESULT CWindowWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return platform::ui::DefWindowProc(m_hWnd, message, wParam, lParam);
}

// ---------------------------------------------------------------- WindowImplBase

WindowImplBase::~WindowImplBase() {
  // The window goes first, while the tree it shows still exists.
  DestroyOwnWindow();
  m_PaintManager.RemoveNotifier(this);
}

bool WindowImplBase::IsInStaticControl(CControlUI* control) {
  if (!control) return true;
  for (const char16_t* working : {u"Button", u"Slider", u"Edit", u"Combo", u"ScrollBar", u"ListItem", u"List", u"Wnd"}) {
    if (control->GetInterface(working)) return false;
  }
  return true;
}

bool WindowImplBase::LoadSkinResources(std::string* error) {
  switch (GetResourceType()) {
    case UILIB_ZIPRESOURCE:
    case UILIB_RESOURCE: {
      const int id = GetResourceID();
      // Windows built later reuse the archive already open unless they
      // name another one.
      if (CPaintManagerUI::HasResourceZip() && (id == g_loadedSkinResource || !FindSkinResource(id, nullptr, nullptr))) {
        return true;
      }
      if (!CPaintManagerUI::SetResourceZipFromResource(id)) {
        *error = "the program carries no usable skin resource " + std::to_string(id);
        return false;
      }
      g_loadedSkinResource = id;
      return true;
    }
    case UILIB_ZIP: {
      const CDuiString path = CPaintManagerUI::GetInstancePath() + GetSkinFolder() + GetZIPFileName();
      if (CPaintManagerUI::SetResourceZipFile(path)) return true;
      *error = "the skin archive \"" + path.ToUtf8() + "\" cannot be read";
      return false;
    }
    default:
      CPaintManagerUI::SetResourcePath(CPaintManagerUI::GetInstancePath() + GetSkinFolder());
      return true;
  }
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool& handled) {
  handled = true;
  m_PaintManager.Init(m_hWnd);
  std::string error;
  if (!LoadSkinResources(&error)) {
    ReportSkinError(error);
    return -1;
  }
  CDialogBuilder builder;
  CControlUI* root = builder.Create(GetSkinFile(), &m_PaintManager, this);
  if (!root) {
    ReportSkinError(builder.GetLastError());
    return -1;
  }
  m_PaintManager.AttachDialog(root);
  m_PaintManager.AddNotifier(this);
  const SIZE size = m_PaintManager.GetInitSize();
  if (size.cx > 0 && size.cy > 0 && !IsChildWindow()) {
    ResizeClient(size.cx, size.cy);
    if (WasCreatedAtDefaultPosition()) CenterWindow();
  }
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool& handled) {
  handled = true;
  const POINT point =
      platform::ui::ScreenToClient(m_hWnd, {platform::GetXLParam(lParam), platform::GetYLParam(lParam)});
  const RECT client = platform::ui::GetClientRect(m_hWnd);
  if (!platform::ui::IsZoomed(m_hWnd)) {
    const RECT box = m_PaintManager.GetSizeBox();
    const bool left = point.x < client.left + box.left, right = point.x >= client.right - box.right;
    if (point.y < client.top + box.top) return left ? platform::HTTOPLEFT : right ? platform::HTTOPRIGHT : platform::HTTOP;
    if (point.y >= client.bottom - box.bottom) {
      return left ? platform::HTBOTTOMLEFT : right ? platform::HTBOTTOMRIGHT : platform::HTBOTTOM;
    }
    if (left) return platform::HTLEFT;
    if (right) return platform::HTRIGHT;
  }
  const RECT caption = m_PaintManager.GetCaptionRect();
  if (point.x >= client.left + caption.left && point.x < client.right - caption.right && point.y >= caption.top &&
      point.y < caption.bottom && IsInStaticControl(m_PaintManager.FindControl(point))) {
    return platform::HTCAPTION;
  }
  return platform::HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool& handled) {
  auto* info = reinterpret_cast<platform::MINMAXINFO*>(lParam);
  const SIZE minimum = m_PaintManager.GetMinInfo();
  const SIZE maximum = m_PaintManager.GetMaxInfo();
  if (minimum.cx > 0 && minimum.cy > 0) info->ptMinTrackSize = {minimum.cx, minimum.cy};
  if (maximum.cx > 0 && maximum.cy > 0) info->ptMaxTrackSize = {maximum.cx, maximum.cy};
  handled = false;  // the program may adjust the limits further
  return 0;
}

void WindowImplBase::ShowMaximizeState() {
  CControlUI* maximize = m_PaintManager.FindControl(u"maxbtn");
  CControlUI* restore = m_PaintManager.FindControl(u"restorebtn");
  if (!maximize || !restore) return;
  const bool zoomed = platform::ui::IsZoomed(m_hWnd);
  maximize->SetVisible(!zoomed);
  restore->SetVisible(zoomed);
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& handled) {
  ShowMaximizeState();
  handled = false;  // the paint manager lays the tree out again
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  if ((wParam & 0xFFF0) == platform::SC_CLOSE) {
    SendMessage(platform::WM_CLOSE);
    return 0;
  }
  const LRESULT result = platform::ui::DefWindowProc(m_hWnd, message, wParam, lParam);
  ShowMaximizeState();
  return result;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM wParam, LPARAM, bool& handled) {
  handled = ResponseDefaultKeyEvent(wParam) != 0;
  return 0;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM) { return 0; }

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

LRESULT WindowImplBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  LRESULT result = 0;
  switch (message) {
    case platform::WM_CREATE: result = OnCreate(message, wParam, lParam, handled); break;
    case platform::WM_CLOSE: result = OnClose(message, wParam, lParam, handled); break;
    case platform::WM_DESTROY: result = OnDestroy(message, wParam, lParam, handled); break;
    case platform::WM_NCHITTEST: result = OnNcHitTest(message, wParam, lParam, handled); break;
    case platform::WM_GETMINMAXINFO: result = OnGetMinMaxInfo(message, wParam, lParam, handled); break;
    case platform::WM_SIZE: result = OnSize(message, wParam, lParam, handled); break;
    case platform::WM_SYSCOMMAND: result = OnSysCommand(message, wParam, lParam, handled); break;
    case platform::WM_KEYDOWN: result = OnKeyDown(message, wParam, lParam, handled); break;
    case platform::WM_KILLFOCUS: result = OnKillFocus(message, wParam, lParam, handled); break;
    case platform::WM_SETFOCUS: result = OnSetFocus(message, wParam, lParam, handled); break;
    default: break;
  }
  if (handled) return result;
  result = HandleCustomMessage(message, wParam, lParam, handled);
  if (handled) return result;
  if (m_PaintManager.MessageHandler(message, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(message, wParam, lParam);
}

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (msg.sType == DUI_MSGTYPE_CLICK) OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg) {
  if (!msg.pSender) return;
  const CDuiString& name = msg.pSender->GetName();
  if (name == u"closebtn") Close(platform::IDOK);
  else if (name == u"minbtn") SendMessage(platform::WM_SYSCOMMAND, platform::SC_MINIMIZE);
  else if (name == u"maxbtn") SendMessage(platform::WM_SYSCOMMAND, platform::SC_MAXIMIZE);
  else if (name == u"restorebtn") SendMessage(platform::WM_SYSCOMMAND, platform::SC_RESTORE);
}

}  // namespace dui
