#include "dui/combo.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "platform/ui/screen.h"
#include "platform/ui/window.h"
#include "render.h"

namespace dui {
namespace {
constexpr int kDefaultItemHeight = 24;  // pixels, for items without a height
}

CComboUI::CComboUI() {
  m_ListInfo.dwHotBkColor = 0xFF2B6CB0;
  m_ListInfo.dwSelectedTextColor = 0xFFFFFFFF;
  m_ListInfo.rcTextPadding = {8, 0, 8, 0};
}

CComboUI::~CComboUI() { CloseDropDown(); }

const char16_t* CComboUI::GetClass() const { return u"ComboUI"; }

void* CComboUI::GetInterface(const char16_t* name) {
  if (attr::Is(name, u"Combo")) return this;
  if (attr::Is(name, u"IListOwner")) return static_cast<IListOwnerUI*>(this);
  return CContainerUI::GetInterface(name);
}

void CComboUI::Reindex() {
  for (int i = 0; i < GetCount(); ++i) {
    if (IListItemUI* item = AsListItem(GetItemAt(i))) {
      item->SetIndex(i);
      item->SetOwner(this);
      item->Select(i == m_iCurSel);
    }
  }
}

bool CComboUI::AddAt(CControlUI* control, int index) {
  if (!CContainerUI::AddAt(control, index)) return false;
  if (m_iCurSel >= index) ++m_iCurSel;
  Reindex();
  return true;
}

bool CComboUI::RemoveAt(int index, bool doNotDestroy) {
  if (!CContainerUI::RemoveAt(index, doNotDestroy)) return false;
  if (m_iCurSel == index) m_iCurSel = -1;
  else if (m_iCurSel > index) --m_iCurSel;
  Reindex();
  Invalidate();
  return true;
}

bool CComboUI::SelectItem(int index, bool takeFocus, bool notify) {
  if (index < -1 || index >= GetCount() || (index >= 0 && !AsListItem(GetItemAt(index)))) return false;
  if (takeFocus) SetFocus();
  if (index == m_iCurSel) return true;
  const int old = m_iCurSel;
  m_iCurSel = index;
  Reindex();
  Invalidate();
  if (notify) Notify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(m_iCurSel), old);
  return true;
}

CDuiString CComboUI::GetText() const {
  const CControlUI* item = GetItemAt(m_iCurSel);
  return item ? item->GetText() : CDuiString();
}

int CComboUI::ItemHeight() const {
  const CControlUI* first = GetItemAt(0);
  return first && first->GetFixedHeight() > 0 ? first->GetFixedHeight() : kDefaultItemHeight;
}

int CComboUI::LayoutChildren(RECT) { return 0; }

void CComboUI::SetEnabled(bool enable) {
  CContainerUI::SetEnabled(enable);
  if (!enable) CloseDropDown();
}

bool CComboUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (m_hDropWindow) {
    CloseDropDown();
    return true;
  }
  const HWND owner = m_pManager ? m_pManager->GetPaintWindow() : nullptr;
  if (!owner || GetCount() == 0) return false;
  const int itemHeight = ItemHeight();
  const int shown = std::max(1, std::min(GetCount(), m_szDropBox.cy / itemHeight));
  const int width = m_szDropBox.cx > 0 ? m_szDropBox.cx : GetWidth();
  const int height = shown * itemHeight + 2;
  POINT at = platform::ui::ClientToScreen(owner, {m_rcItem.left, m_rcItem.bottom});
  const RECT monitor = platform::ui::MonitorRectOf(owner);
  if (at.y + height > monitor.bottom) at.y = platform::ui::ClientToScreen(owner, {0, m_rcItem.top}).y - height;
  m_iDropHot = m_iCurSel;
  m_iDropFirst = std::clamp(m_iCurSel - shown + 1, 0, std::max(0, GetCount() - shown));

  platform::ui::WindowSpec spec;
  spec.style = platform::WS_POPUP;
  spec.parent = owner;
  spec.x = at.x;
  spec.y = at.y;
  spec.width = width;
  spec.height = height;
  spec.handler = [this](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DropWindowMessage(window, message, wParam, lParam);
  };
  m_hDropWindow = platform::ui::CreateNativeWindow(spec);
  if (!m_hDropWindow) return false;
  platform::ui::ShowWindowCommand(m_hDropWindow, platform::SW_SHOWNA);
  platform::ui::CapturePointer(m_hDropWindow);
  Notify(DUI_MSGTYPE_DROPDOWN);
  Invalidate();
  return true;
}

void CComboUI::CloseDropDown() {
  if (!m_hDropWindow) return;
  const HWND window = m_hDropWindow;
  m_hDropWindow = nullptr;
  platform::ui::ReleasePointerCapture();
  platform::ui::DestroyWindow(window);
  Invalidate();
}

int CComboUI::ItemAtDropPoint(POINT point) const {
  if (!m_hDropWindow) return -1;
  const RECT client = platform::ui::GetClientRect(m_hDropWindow);
  if (!platform::PointInRect(client, point)) return -1;
  const int index = m_iDropFirst + std::max(0, point.y - 1) / ItemHeight();
  return index < GetCount() ? index : -1;
}

LRESULT CComboUI::DropWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const POINT point{platform::GetXLParam(lParam), platform::GetYLParam(lParam)};
  switch (message) {
    case platform::WM_PAINT:
      PaintDropWindow(reinterpret_cast<cairo_t*>(wParam), platform::ui::GetClientRect(window));
      return 0;
    case platform::WM_MOUSEMOVE: {
      const int hot = ItemAtDropPoint(point);
      if (hot >= 0 && hot != m_iDropHot) {
        m_iDropHot = hot;
        platform::ui::InvalidateRect(window, nullptr);
      }
      return 0;
    }
    case platform::WM_LBUTTONDOWN:
    case platform::WM_RBUTTONDOWN:
      if (ItemAtDropPoint(point) < 0) CloseDropDown();  // a press elsewhere
      return 0;
    case platform::WM_LBUTTONUP: {
      const int chosen = ItemAtDropPoint(point);
      if (chosen >= 0) {
        CloseDropDown();
        SelectItem(chosen);
      }
      return 0;
    }
    case platform::WM_MOUSEWHEEL: {
      const int shown = std::max(1, (platform::RectHeight(platform::ui::GetClientRect(window)) - 2) / ItemHeight());
      const int step = static_cast<int16_t>(platform::HiWord(wParam)) > 0 ? -1 : 1;
      m_iDropFirst = std::clamp(m_iDropFirst + step, 0, std::max(0, GetCount() - shown));
      platform::ui::InvalidateRect(window, nullptr);
      return 0;
    }
    case platform::WM_KEYDOWN:
      if (wParam == platform::VK_ESCAPE) CloseDropDown();
      if (wParam == platform::VK_UP) m_iDropHot = std::max(0, m_iDropHot - 1);
      if (wParam == platform::VK_DOWN) m_iDropHot = std::min(GetCount() - 1, m_iDropHot + 1);
      if (wParam == platform::VK_RETURN && m_iDropHot >= 0) {
        const int chosen = m_iDropHot;
        CloseDropDown();
        SelectItem(chosen);
      }
      if (m_hDropWindow) platform::ui::InvalidateRect(window, nullptr);
      return 0;
    case platform::WM_DESTROY:
      if (m_hDropWindow == window) {
        m_hDropWindow = nullptr;
        platform::ui::ReleasePointerCapture();
      }
      return 0;
    default:
      return platform::ui::DefWindowProc(window, message, wParam, lParam);
  }
}

void CComboUI::PaintDropWindow(cairo_t* cr, const RECT& client) {
  render::FillRect(cr, client, m_dwDropBkColor);
  const int itemHeight = ItemHeight();
  for (int i = m_iDropFirst, row = 0; i < GetCount(); ++i, ++row) {
    const RECT rc{client.left + 1, client.top + 1 + row * itemHeight, client.right - 1,
                  client.top + 1 + (row + 1) * itemHeight};
    if (rc.top >= client.bottom) break;
    DWORD textColor = m_ListInfo.dwTextColor ? m_ListInfo.dwTextColor : m_pManager->GetDefaultFontColor();
    if (i == m_iDropHot) {
      render::FillRect(cr, rc, m_ListInfo.dwHotBkColor);
      if (m_ListInfo.dwHotTextColor) textColor = m_ListInfo.dwHotTextColor;
    } else if (i == m_iCurSel && m_ListInfo.dwSelectedBkColor) {
      render::FillRect(cr, rc, m_ListInfo.dwSelectedBkColor);
    }
    if (i == m_iCurSel && m_ListInfo.dwSelectedTextColor) textColor = m_ListInfo.dwSelectedTextColor;
    const RECT& pad = m_ListInfo.rcTextPadding;
    render::DrawText(cr, m_pManager, {rc.left + pad.left, rc.top, rc.right - pad.right, rc.bottom},
                     GetItemAt(i)->GetText(), textColor, m_ListInfo.nFont, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  }
  render::DrawBorder(cr, client, 1, m_dwDropBorderColor, {});
}

void CComboUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && !m_bPressed) {
        m_bPressed = true;
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if (m_bPressed) {
        m_bPressed = false;
        Invalidate();
        if (platform::PointInRect(m_rcItem, event.ptMouse)) Activate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      m_bHot = event.Type == UIEVENT_MOUSEENTER && IsEnabled();
      Invalidate();
      return;
    case UIEVENT_KEYDOWN:
      if (event.chKey == platform::VK_UP && m_iCurSel > 0) SelectItem(m_iCurSel - 1);
      else if (event.chKey == platform::VK_DOWN && m_iCurSel + 1 < GetCount()) SelectItem(m_iCurSel + 1);
      return;
    case UIEVENT_SETCURSOR:
      if (m_pManager) m_pManager->SetCursor("pointer");
      return;
    default:
      CControlUI::DoEvent(event);
  }
}

void CComboUI::DoPaint(cairo_t* cr, const RECT& rcPaint) { CControlUI::DoPaint(cr, rcPaint); }

void CComboUI::PaintStatusImage(cairo_t* cr) {
  const CDuiString* image = &m_sNormalImage;
  if (!IsEnabled() && !m_sDisabledImage.IsEmpty()) image = &m_sDisabledImage;
  else if ((m_bPressed || m_hDropWindow) && !m_sPushedImage.IsEmpty()) image = &m_sPushedImage;
  else if (m_bHot && !m_sHotImage.IsEmpty()) image = &m_sHotImage;
  DrawImage(cr, *image);
  // The drop arrow: a chevron at the right edge.
  const double cx = m_rcItem.right - 13, cy = (m_rcItem.top + m_rcItem.bottom) / 2.0;
  cairo_save(cr);
  render::SetSourceColor(cr, IsEnabled() ? m_dwArrowColor : 0xFF5A606B);
  cairo_set_line_width(cr, 1.6);
  cairo_move_to(cr, cx - 4, cy - 2);
  cairo_line_to(cr, cx, cy + 2);
  cairo_line_to(cr, cx + 4, cy - 2);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void CComboUI::PaintText(cairo_t* cr) {
  DWORD color = m_dwTextColor ? m_dwTextColor : (m_pManager ? m_pManager->GetDefaultFontColor() : 0xFFE6E8EB);
  if (!IsEnabled() && m_pManager) color = m_pManager->GetDefaultDisabledColor();
  const RECT rc{m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
                m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
  render::DrawText(cr, m_pManager, rc, GetText(), color, m_ListInfo.nFont, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
}

void CComboUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"dropboxsize")) SetDropBoxSize(attr::ParseSize(value));
  else if (Is(name, u"textpadding")) m_rcTextPadding = attr::ParseRect(value);
  else if (Is(name, u"textcolor")) m_dwTextColor = attr::ParseColor(value);
  else if (Is(name, u"normalimage")) m_sNormalImage = value;
  else if (Is(name, u"hotimage")) m_sHotImage = value;
  else if (Is(name, u"pushedimage")) m_sPushedImage = value;
  else if (Is(name, u"disabledimage")) m_sDisabledImage = value;
  else if (Is(name, u"arrowcolor")) m_dwArrowColor = attr::ParseColor(value);
  else if (Is(name, u"dropbkcolor")) m_dwDropBkColor = attr::ParseColor(value);
  else if (Is(name, u"dropbordercolor")) m_dwDropBorderColor = attr::ParseColor(value);
  else if (Is(name, u"itemfont")) m_ListInfo.nFont = attr::ParseInt(value);
  else if (Is(name, u"itemtextcolor")) m_ListInfo.dwTextColor = attr::ParseColor(value);
  else if (Is(name, u"itemhotbkcolor")) m_ListInfo.dwHotBkColor = attr::ParseColor(value);
  else if (Is(name, u"itemhottextcolor")) m_ListInfo.dwHotTextColor = attr::ParseColor(value);
  else if (Is(name, u"itemselectedtextcolor")) m_ListInfo.dwSelectedTextColor = attr::ParseColor(value);
  else if (Is(name, u"itemselectedbkcolor")) m_ListInfo.dwSelectedBkColor = attr::ParseColor(value);
  else if (Is(name, u"itemtextpadding")) m_ListInfo.rcTextPadding = attr::ParseRect(value);
  else if (Is(name, u"selectedid") || Is(name, u"cursel")) m_iCurSel = attr::ParseInt(value), Reindex();
  else CContainerUI::SetAttribute(name, value);
}

CControlUI* CComboUI::FindControl(FINDCONTROLPROC proc, void* data, UINT flags) {
  return CControlUI::FindControl(proc, data, flags);
}

}  // namespace dui
