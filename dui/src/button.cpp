#include "dui/button.h"

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {
namespace {
constexpr double kDisabledAlpha = 0.35;  // opacity of a disabled button without its own picture
}

// ---------------------------------------------------------------- button

CButtonUI::CButtonUI() { m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_CENTER; }

const char16_t* CButtonUI::GetClass() const { return u"ButtonUI"; }

void* CButtonUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Button") ? this : CLabelUI::GetInterface(name);
}

UINT CButtonUI::GetControlFlags() const { return (IsKeyboardEnabled() ? UIFLAG_TABSTOP : 0) | UIFLAG_SETCURSOR; }

bool CButtonUI::Activate() {
  if (!CControlUI::Activate()) return false;
  Notify(DUI_MSGTYPE_CLICK);
  return true;
}

void CButtonUI::SetEnabled(bool enable) {
  CControlUI::SetEnabled(enable);
  if (!enable) m_bHot = m_bPushed = m_bCaptured = false;
}

void CButtonUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      // The second press of a double-click arrives as a double-click event
      // while the button is already held: nothing more to do then.
      if (IsEnabled() && !m_bCaptured && platform::PointInRect(m_rcItem, event.ptMouse)) {
        m_bPushed = m_bCaptured = true;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (m_bCaptured) {
        const bool inside = platform::PointInRect(m_rcItem, event.ptMouse);
        if (inside != m_bPushed) {
          m_bPushed = inside;
          Invalidate();
        }
      }
      return;
    case UIEVENT_BUTTONUP:
      if (m_bCaptured) {
        const bool inside = platform::PointInRect(m_rcItem, event.ptMouse);
        m_bPushed = m_bCaptured = false;
        Invalidate();
        if (inside) Activate();
      }
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        m_bHot = true;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      m_bHot = false;
      Invalidate();
      return;
    case UIEVENT_SETCURSOR:
      if (m_pManager) m_pManager->SetCursor("pointer");
      return;
    case UIEVENT_KEYDOWN:
      if (IsKeyboardEnabled() && (event.chKey == platform::VK_SPACE || event.chKey == platform::VK_RETURN)) {
        Activate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

DWORD CButtonUI::CurrentTextColor() const {
  if (IsEnabled()) {
    if (m_bPushed && m_dwPushedTextColor) return m_dwPushedTextColor;
    if (m_bHot && m_dwHotTextColor) return m_dwHotTextColor;
    if (m_bFocused && m_dwFocusedTextColor) return m_dwFocusedTextColor;
  }
  return CLabelUI::CurrentTextColor();
}

void CButtonUI::PaintButtonState(cairo_t* cr) {
  const DWORD stateColor = !IsEnabled() ? 0 : m_bPushed ? m_dwPushedBkColor : m_bHot ? m_dwHotBkColor : 0;
  if (stateColor) {
    cairo_save(cr);
    render::SetSourceColor(cr, stateColor);
    render::RoundedRectPath(cr, m_rcItem, m_cxyBorderRound.cx / 2.0);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  const CDuiString* image = &m_sNormalImage;
  if (!IsEnabled() && !m_sDisabledImage.IsEmpty()) image = &m_sDisabledImage;
  else if (IsEnabled() && m_bPushed && !m_sPushedImage.IsEmpty()) image = &m_sPushedImage;
  else if (IsEnabled() && m_bHot && !m_sHotImage.IsEmpty()) image = &m_sHotImage;
  else if (m_bFocused && !m_sFocusedImage.IsEmpty()) image = &m_sFocusedImage;
  DrawImage(cr, *image);
}

void CButtonUI::PaintStatusImage(cairo_t* cr) {
  // Without a picture of its own, a disabled button is drawn faded.
  const bool fade = !IsEnabled() && m_sDisabledImage.IsEmpty();
  if (fade) cairo_push_group(cr);
  PaintButtonState(cr);
  const bool hotFore = IsEnabled() && (m_bHot || m_bPushed) && !m_sHotForeImage.IsEmpty();
  DrawImage(cr, hotFore ? m_sHotForeImage : m_sForeImage);
  if (fade) {
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, kDisabledAlpha);
  }
}

void CButtonUI::SetNormalImage(const CDuiString& image) {
  m_sNormalImage = image;
  Invalidate();
}
void CButtonUI::SetHotImage(const CDuiString& image) {
  m_sHotImage = image;
  Invalidate();
}
void CButtonUI::SetPushedImage(const CDuiString& image) {
  m_sPushedImage = image;
  Invalidate();
}
void CButtonUI::SetDisabledImage(const CDuiString& image) {
  m_sDisabledImage = image;
  Invalidate();
}
void CButtonUI::SetForeImage(const CDuiString& image) {
  m_sForeImage = image;
  Invalidate();
}

void CButtonUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"normalimage")) SetNormalImage(value);
  else if (Is(name, u"hotimage")) SetHotImage(value);
  else if (Is(name, u"pushedimage")) SetPushedImage(value);
  else if (Is(name, u"focusedimage")) m_sFocusedImage = value;
  else if (Is(name, u"disabledimage")) SetDisabledImage(value);
  else if (Is(name, u"foreimage")) SetForeImage(value);
  else if (Is(name, u"hotforeimage")) m_sHotForeImage = value;
  else if (Is(name, u"hottextcolor")) m_dwHotTextColor = attr::ParseColor(value);
  else if (Is(name, u"pushedtextcolor")) m_dwPushedTextColor = attr::ParseColor(value);
  else if (Is(name, u"focusedtextcolor")) m_dwFocusedTextColor = attr::ParseColor(value);
  else if (Is(name, u"hotbkcolor")) m_dwHotBkColor = attr::ParseColor(value);
  else if (Is(name, u"pushedbkcolor")) m_dwPushedBkColor = attr::ParseColor(value);
  else CLabelUI::SetAttribute(name, value);
}

// ---------------------------------------------------------------- option

COptionUI::~COptionUI() {
  if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->RemoveOptionGroup(m_sGroupName, this);
}

const char16_t* COptionUI::GetClass() const { return u"OptionUI"; }

void* COptionUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Option") ? this : CButtonUI::GetInterface(name);
}

void COptionUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CButtonUI::SetManager(manager, parent, init);
  if (init && manager && !m_sGroupName.IsEmpty()) {
    manager->AddOptionGroup(m_sGroupName, this);
    if (m_bSelected) {
      m_bSelected = false;  // re-apply, so the group keeps one selected
      Selected(true, false);
    }
  }
}

void COptionUI::SetGroup(const CDuiString& group) {
  if (group == m_sGroupName) return;
  if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->RemoveOptionGroup(m_sGroupName, this);
  m_sGroupName = group;
  if (m_pManager && !m_sGroupName.IsEmpty()) m_pManager->AddOptionGroup(m_sGroupName, this);
}

void COptionUI::Selected(bool selected, bool notify) {
  if (m_bSelected == selected) return;
  m_bSelected = selected;
  if (selected && m_pManager && !m_sGroupName.IsEmpty()) {
    for (CControlUI* other : m_pManager->GetOptionGroup(m_sGroupName)) {
      if (other != this) static_cast<COptionUI*>(other)->Selected(false, notify);
    }
  }
  if (notify) Notify(DUI_MSGTYPE_SELECTCHANGED, selected ? 1 : 0);
  Invalidate();
}

bool COptionUI::Activate() {
  if (!CControlUI::Activate()) return false;
  if (!m_sGroupName.IsEmpty()) Selected(true);
  else Selected(!m_bSelected);
  Notify(DUI_MSGTYPE_CLICK);
  return true;
}

DWORD COptionUI::CurrentTextColor() const {
  if (m_bSelected && IsEnabled() && m_dwSelectedTextColor) return m_dwSelectedTextColor;
  return CButtonUI::CurrentTextColor();
}

void COptionUI::PaintStatusImage(cairo_t* cr) {
  if (!m_bSelected) {
    CButtonUI::PaintStatusImage(cr);
    return;
  }
  if (m_dwSelectedBkColor) {
    cairo_save(cr);
    render::SetSourceColor(cr, m_dwSelectedBkColor);
    render::RoundedRectPath(cr, m_rcItem, m_cxyBorderRound.cx / 2.0);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  const bool hot = (m_bHot || m_bPushed) && IsEnabled() && !m_sSelectedHotImage.IsEmpty();
  if (!DrawImage(cr, hot ? m_sSelectedHotImage : m_sSelectedImage)) PaintButtonState(cr);
  DrawImage(cr, m_sSelectedForeImage.IsEmpty() ? m_sForeImage : m_sSelectedForeImage);
}

void COptionUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"group")) SetGroup(value);
  else if (Is(name, u"selected")) Selected(attr::ParseBool(value), false);
  else if (Is(name, u"selectedimage")) m_sSelectedImage = value;
  else if (Is(name, u"selectedhotimage")) m_sSelectedHotImage = value;
  else if (Is(name, u"selectedforeimage")) m_sSelectedForeImage = value;
  else if (Is(name, u"selectedtextcolor")) m_dwSelectedTextColor = attr::ParseColor(value);
  else if (Is(name, u"selectedbkcolor")) m_dwSelectedBkColor = attr::ParseColor(value);
  else CButtonUI::SetAttribute(name, value);
}

}  // namespace dui
