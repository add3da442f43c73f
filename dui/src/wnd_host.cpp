#include "dui/wnd_host.h"

#include "attributes.h"
#include "platform/ui/window.h"

namespace dui {

const char16_t* CWndUI::GetClass() const { return u"WndUI"; }

void* CWndUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Wnd") ? this : CControlUI::GetInterface(name);
}

bool CWndUI::Attach(HWND window) {
  if (!platform::IsWindow(window)) return false;
  m_hWnd = window;
  SyncWindow();
  return true;
}

HWND CWndUI::Detach() {
  const HWND window = m_hWnd;
  m_hWnd = nullptr;
  return window;
}

void CWndUI::SyncWindow() {
  if (!platform::IsWindow(m_hWnd)) return;
  if (!IsVisible()) {
    platform::ui::ShowWindowCommand(m_hWnd, platform::SW_HIDE);
    return;
  }
  platform::ui::SetWindowPos(m_hWnd, nullptr, m_rcItem.left, m_rcItem.top, GetWidth(), GetHeight(),
                             platform::SWP_NOZORDER | platform::SWP_NOACTIVATE);
  if (!platform::ui::IsWindowVisible(m_hWnd)) platform::ui::ShowWindowCommand(m_hWnd, platform::SW_SHOWNA);
}

void CWndUI::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  if (platform::IsWindow(m_hWnd) && IsVisible()) {
    platform::ui::SetWindowPos(m_hWnd, nullptr, rc.left, rc.top, platform::RectWidth(rc), platform::RectHeight(rc),
                               platform::SWP_NOZORDER | platform::SWP_NOACTIVATE);
  }
}

void CWndUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  SyncWindow();
}

void CWndUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  SyncWindow();
}

}  // namespace dui
