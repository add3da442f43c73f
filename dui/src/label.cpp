#include "dui/label.h"

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {

CLabelUI::CLabelUI() = default;

const char16_t* CLabelUI::GetClass() const { return u"LabelUI"; }

void* CLabelUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Label") ? this : CControlUI::GetInterface(name);
}

void CLabelUI::SetTextStyle(UINT style) {
  m_uTextStyle = style;
  Invalidate();
}

void CLabelUI::SetTextColor(DWORD color) {
  m_dwTextColor = color;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD color) {
  m_dwDisabledTextColor = color;
  Invalidate();
}

void CLabelUI::SetFont(int font) {
  m_iFont = font;
  Invalidate();
}

void CLabelUI::SetTextPadding(RECT padding) {
  m_rcTextPadding = padding;
  Invalidate();
}

SIZE CLabelUI::EstimateSize(SIZE available) {
  SIZE size = CControlUI::EstimateSize(available);
  if (m_bAutoCalcWidth && size.cx == 0) {
    const SIZE text = render::MeasureText(m_pManager, m_sText, m_iFont, 0, m_uTextStyle);
    size.cx = text.cx + m_rcTextPadding.left + m_rcTextPadding.right;
  }
  return size;
}

DWORD CLabelUI::CurrentTextColor() const {
  if (!IsEnabled()) {
    if (m_dwDisabledTextColor) return m_dwDisabledTextColor;
    return m_pManager ? m_pManager->GetDefaultDisabledColor() : 0xFF6B7079;
  }
  if (m_dwTextColor) return m_dwTextColor;
  return m_pManager ? m_pManager->GetDefaultFontColor() : 0xFFE6E8EB;
}

void CLabelUI::PaintTextIn(cairo_t* cr, const CDuiString& text, DWORD color) {
  const RECT rc{m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
                m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
  render::DrawText(cr, m_pManager, rc, text, color, m_iFont, m_uTextStyle);
}

void CLabelUI::PaintText(cairo_t* cr) { PaintTextIn(cr, m_sText, CurrentTextColor()); }

void CLabelUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"align")) {
    m_uTextStyle &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
    if (Is(value, u"center")) m_uTextStyle |= DT_CENTER;
    if (Is(value, u"right")) m_uTextStyle |= DT_RIGHT;
    Invalidate();
  } else if (Is(name, u"valign")) {
    m_uTextStyle &= ~(DT_TOP | DT_VCENTER | DT_BOTTOM);
    if (Is(value, u"vcenter") || Is(value, u"center")) m_uTextStyle |= DT_VCENTER;
    if (Is(value, u"bottom")) m_uTextStyle |= DT_BOTTOM;
    Invalidate();
  } else if (Is(name, u"endellipsis")) {
    SetTextStyle(attr::ParseBool(value) ? (m_uTextStyle | DT_END_ELLIPSIS) : (m_uTextStyle & ~DT_END_ELLIPSIS));
  } else if (Is(name, u"wordbreak") || Is(name, u"multiline")) {
    SetTextStyle(attr::ParseBool(value) ? ((m_uTextStyle | DT_WORDBREAK) & ~DT_SINGLELINE)
                                        : ((m_uTextStyle & ~DT_WORDBREAK) | DT_SINGLELINE));
  } else if (Is(name, u"font")) SetFont(attr::ParseInt(value));
  else if (Is(name, u"textcolor")) SetTextColor(attr::ParseColor(value));
  else if (Is(name, u"disabledtextcolor")) SetDisabledTextColor(attr::ParseColor(value));
  else if (Is(name, u"textpadding")) SetTextPadding(attr::ParseRect(value));
  else if (Is(name, u"autocalcwidth")) {
    m_bAutoCalcWidth = attr::ParseBool(value);
    NeedParentUpdate();
  } else CControlUI::SetAttribute(name, value);
}

CTextUI::CTextUI() { m_uTextStyle = DT_WORDBREAK | DT_TOP; }

const char16_t* CTextUI::GetClass() const { return u"TextUI"; }

void* CTextUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Text") ? this : CLabelUI::GetInterface(name);
}

}  // namespace dui
