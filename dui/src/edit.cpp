#include "dui/edit.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {
namespace {
constexpr UINT kCaretTimer = 1;
constexpr UINT kCaretBlinkMs = 530;
}  // namespace

CEditUI::CEditUI() {
  m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
  m_rcTextPadding = {6, 0, 6, 0};
}

const char16_t* CEditUI::GetClass() const { return u"EditUI"; }

void* CEditUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Edit") ? this : CLabelUI::GetInterface(name);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? (UIFLAG_SETCURSOR | UIFLAG_TABSTOP) : 0; }

void CEditUI::SetText(const CDuiString& text) {
  CLabelUI::SetText(text);
  m_nCaret = m_sText.GetLength();
}

void CEditUI::SetReadOnly(bool readOnly) {
  m_bReadOnly = readOnly;
  Invalidate();
}

void CEditUI::SetPasswordMode(bool password) {
  m_bPassword = password;
  Invalidate();
}

void CEditUI::SetCaretPosition(int index) {
  m_nCaret = std::clamp(index, 0, m_sText.GetLength());
  Invalidate();
}

CDuiString CEditUI::ShownText() const {
  return m_bPassword ? CDuiString(std::u16string(static_cast<size_t>(m_sText.GetLength()), u'*')) : m_sText;
}

RECT CEditUI::TextRect() const {
  return {m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
          m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
}

void CEditUI::Changed() {
  m_bCaretShown = true;
  Invalidate();
  Notify(DUI_MSGTYPE_TEXTCHANGED);
}

void CEditUI::InsertCharacter(char16_t ch) {
  if (m_bReadOnly || ch < 0x20 || ch == 0x7F) return;
  if (m_bNumberOnly && (ch < u'0' || ch > u'9')) return;
  if (m_nMaxChar > 0 && m_sText.GetLength() >= m_nMaxChar) return;
  std::u16string text = m_sText.str();
  text.insert(static_cast<size_t>(m_nCaret), 1, ch);
  m_sText = CDuiString(text);
  ++m_nCaret;
  Changed();
}

bool CEditUI::HandleKey(WPARAM key) {
  std::u16string text = m_sText.str();
  switch (key) {
    case platform::VK_LEFT: SetCaretPosition(m_nCaret - 1); return true;
    case platform::VK_RIGHT: SetCaretPosition(m_nCaret + 1); return true;
    case platform::VK_HOME: SetCaretPosition(0); return true;
    case platform::VK_END: SetCaretPosition(m_sText.GetLength()); return true;
    case platform::VK_BACK:
      if (m_bReadOnly || m_nCaret == 0) return true;
      text.erase(static_cast<size_t>(m_nCaret - 1), 1);
      m_sText = CDuiString(text);
      --m_nCaret;
      Changed();
      return true;
    case platform::VK_DELETE:
      if (m_bReadOnly || m_nCaret >= m_sText.GetLength()) return true;
      text.erase(static_cast<size_t>(m_nCaret), 1);
      m_sText = CDuiString(text);
      Changed();
      return true;
    case platform::VK_RETURN:
      Notify(DUI_MSGTYPE_RETURN);
      return true;
    default:
      return false;
  }
}

void CEditUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!IsEnabled()) return;
      SetFocus();
      if (!(m_uTextStyle & DT_WORDBREAK)) {
        const RECT rc = TextRect();
        SetCaretPosition(render::IndexAtOffset(m_pManager, ShownText(), m_iFont, event.ptMouse.x - rc.left));
      }
      return;
    case UIEVENT_SETFOCUS:
      CLabelUI::DoEvent(event);
      m_bCaretShown = true;
      if (m_pManager) m_pManager->SetTimer(this, kCaretTimer, kCaretBlinkMs);
      Notify(DUI_MSGTYPE_SETFOCUS);
      return;
    case UIEVENT_KILLFOCUS:
      CLabelUI::DoEvent(event);
      m_bCaretShown = false;
      if (m_pManager) m_pManager->KillTimer(this, kCaretTimer);
      Notify(DUI_MSGTYPE_KILLFOCUS);
      return;
    case UIEVENT_TIMER:
      if (event.wParam == kCaretTimer) {
        m_bCaretShown = !m_bCaretShown;
        Invalidate();
        return;
      }
      break;
    case UIEVENT_CHAR:
      InsertCharacter(event.chKey);
      return;
    case UIEVENT_KEYDOWN:
      if (HandleKey(event.chKey)) return;
      break;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      m_bHot = event.Type == UIEVENT_MOUSEENTER;
      Invalidate();
      return;
    case UIEVENT_SETCURSOR:
      if (m_pManager) m_pManager->SetCursor(IsEnabled() ? "text" : "default");
      return;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::PaintStatusImage(cairo_t* cr) {
  const CDuiString* image = &m_sNormalImage;
  if (!IsEnabled() && !m_sDisabledImage.IsEmpty()) image = &m_sDisabledImage;
  else if (m_bFocused && !m_sFocusedImage.IsEmpty()) image = &m_sFocusedImage;
  else if (m_bHot && !m_sHotImage.IsEmpty()) image = &m_sHotImage;
  DrawImage(cr, *image);
}

void CEditUI::PaintText(cairo_t* cr) {
  const RECT rc = TextRect();
  if (m_sText.IsEmpty() && !m_bFocused && !m_sTipValue.IsEmpty()) {
    render::DrawText(cr, m_pManager, rc, m_sTipValue, m_dwTipColor, m_iFont, m_uTextStyle);
    return;
  }
  const CDuiString shown = ShownText();
  render::DrawText(cr, m_pManager, rc, shown, CurrentTextColor(), m_iFont, m_uTextStyle);
  if (!m_bFocused || !m_bCaretShown || m_bReadOnly || (m_uTextStyle & DT_WORDBREAK)) return;
  const int x = rc.left + render::CaretOffset(m_pManager, shown, m_iFont, m_nCaret);
  const int height = std::max(12, render::MeasureText(m_pManager, CDuiString(u"Ag"), m_iFont, 0, DT_SINGLELINE).cy);
  const int top = (m_uTextStyle & DT_VCENTER) ? (rc.top + rc.bottom - height) / 2 : rc.top;
  render::FillRect(cr, {x, top, x + 1, top + height}, m_dwCaretColor ? m_dwCaretColor : CurrentTextColor());
}

void CEditUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"readonly")) SetReadOnly(attr::ParseBool(value));
  else if (Is(name, u"numberonly")) SetNumberOnly(attr::ParseBool(value));
  else if (Is(name, u"password")) SetPasswordMode(attr::ParseBool(value));
  else if (Is(name, u"maxchar")) SetMaxChar(attr::ParseInt(value));
  else if (Is(name, u"normalimage")) m_sNormalImage = value;
  else if (Is(name, u"hotimage")) m_sHotImage = value;
  else if (Is(name, u"focusedimage")) m_sFocusedImage = value;
  else if (Is(name, u"disabledimage")) m_sDisabledImage = value;
  else if (Is(name, u"tipvalue")) m_sTipValue = value;
  else if (Is(name, u"tipvaluecolor")) m_dwTipColor = attr::ParseColor(value);
  else if (Is(name, u"caretcolor")) m_dwCaretColor = attr::ParseColor(value);
  else if (Is(name, u"multiline") && attr::ParseBool(value)) {
    SetTextStyle((m_uTextStyle | DT_WORDBREAK) & ~(DT_SINGLELINE | DT_VCENTER));
  } else CLabelUI::SetAttribute(name, value);
}

}  // namespace dui
