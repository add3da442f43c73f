#include "dui/progress.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {

// ---------------------------------------------------------------- progress

CProgressUI::CProgressUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER | DT_VCENTER; }

const char16_t* CProgressUI::GetClass() const { return u"ProgressUI"; }

void* CProgressUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Progress") ? this : CLabelUI::GetInterface(name);
}

void CProgressUI::SetHorizontal(bool horizontal) {
  m_bHorizontal = horizontal;
  Invalidate();
}

void CProgressUI::SetMinValue(int min) {
  m_nMin = min;
  SetValue(m_nValue);
  Invalidate();
}

void CProgressUI::SetMaxValue(int max) {
  m_nMax = max;
  SetValue(m_nValue);
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  const int clamped = std::max(std::min(m_nMin, m_nMax), std::min(value, std::max(m_nMin, m_nMax)));
  if (clamped == m_nValue) return;
  m_nValue = clamped;
  Invalidate();
}

void CProgressUI::SetForeImage(const CDuiString& image) {
  m_sForeImage = image;
  Invalidate();
}

RECT CProgressUI::ForeRect() const {
  RECT rc = m_rcItem;
  const int span = m_nMax - m_nMin;
  if (span <= 0) return {rc.left, rc.top, rc.left, rc.bottom};
  if (m_bHorizontal) {
    rc.right = rc.left + static_cast<int>(static_cast<long long>(GetWidth()) * (m_nValue - m_nMin) / span);
  } else {
    rc.top = rc.bottom - static_cast<int>(static_cast<long long>(GetHeight()) * (m_nValue - m_nMin) / span);
  }
  return rc;
}

void CProgressUI::PaintStatusImage(cairo_t* cr) {
  const RECT fore = ForeRect();
  if (platform::RectIsEmpty(fore)) return;
  cairo_save(cr);
  cairo_rectangle(cr, fore.left, fore.top, platform::RectWidth(fore), platform::RectHeight(fore));
  cairo_clip(cr);
  if (!DrawImage(cr, m_sForeImage) && m_dwForeColor) {
    render::SetSourceColor(cr, m_dwForeColor);
    render::RoundedRectPath(cr, m_rcItem, m_cxyBorderRound.cx / 2.0);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

void CProgressUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"hor")) SetHorizontal(attr::ParseBool(value));
  else if (Is(name, u"min")) SetMinValue(attr::ParseInt(value));
  else if (Is(name, u"max")) SetMaxValue(attr::ParseInt(value));
  else if (Is(name, u"value")) SetValue(attr::ParseInt(value));
  else if (Is(name, u"foreimage")) SetForeImage(value);
  else if (Is(name, u"forecolor")) m_dwForeColor = attr::ParseColor(value);
  else CLabelUI::SetAttribute(name, value);
}

// ---------------------------------------------------------------- slider

CSliderUI::CSliderUI() { m_uTextStyle = DT_SINGLELINE | DT_CENTER; }

const char16_t* CSliderUI::GetClass() const { return u"SliderUI"; }

void* CSliderUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"Slider") ? this : CProgressUI::GetInterface(name);
}

UINT CSliderUI::GetControlFlags() const { return IsEnabled() ? UIFLAG_SETCURSOR : 0; }

void CSliderUI::SetThumbSize(SIZE size) {
  m_szThumb = size;
  Invalidate();
}

void CSliderUI::SetEnabled(bool enable) {
  CProgressUI::SetEnabled(enable);
  if (!enable) m_bCaptured = m_bThumbHot = false;
}

RECT CSliderUI::GetThumbRect() const {
  const int span = std::max(1, m_nMax - m_nMin);
  if (m_bHorizontal) {
    const int travel = std::max(0, GetWidth() - m_szThumb.cx);
    const int left = m_rcItem.left + static_cast<int>(static_cast<long long>(travel) * (m_nValue - m_nMin) / span);
    const int top = m_rcItem.top + (GetHeight() - m_szThumb.cy) / 2;
    return {left, top, left + m_szThumb.cx, top + m_szThumb.cy};
  }
  const int travel = std::max(0, GetHeight() - m_szThumb.cy);
  const int top = m_rcItem.bottom - m_szThumb.cy -
                  static_cast<int>(static_cast<long long>(travel) * (m_nValue - m_nMin) / span);
  const int left = m_rcItem.left + (GetWidth() - m_szThumb.cx) / 2;
  return {left, top, left + m_szThumb.cx, top + m_szThumb.cy};
}

int CSliderUI::ValueAt(POINT point) const {
  const int span = m_nMax - m_nMin;
  double fraction = 0;
  if (m_bHorizontal) {
    const int travel = std::max(1, GetWidth() - m_szThumb.cx);
    fraction = static_cast<double>(point.x - m_rcItem.left - m_szThumb.cx / 2) / travel;
  } else {
    const int travel = std::max(1, GetHeight() - m_szThumb.cy);
    fraction = static_cast<double>(m_rcItem.bottom - m_szThumb.cy / 2 - point.y) / travel;
  }
  fraction = std::clamp(fraction, 0.0, 1.0);
  return m_nMin + static_cast<int>(fraction * span + 0.5);
}

POINT CSliderUI::DraggedPoint(POINT pointer) const {
  (m_bHorizontal ? pointer.x : pointer.y) -= m_nDragOffset;
  return pointer;
}

void CSliderUI::BeginDrag(POINT pointer) {
  const RECT thumb = GetThumbRect();
  m_nValueAtPress = m_nValue;
  m_nDragOffset = 0;
  if (platform::PointInRect(thumb, pointer)) {
    // Grabbed by the thumb: it keeps its place under the pointer.
    m_nDragOffset = m_bHorizontal ? pointer.x - (thumb.left + thumb.right) / 2 : pointer.y - (thumb.top + thumb.bottom) / 2;
  } else {
    SetValue(ValueAt(pointer));  // a press on the rail moves the thumb there
  }
  m_bCaptured = true;
  Invalidate();
}

void CSliderUI::EndDrag(POINT pointer) {
  SetValue(ValueAt(DraggedPoint(pointer)));
  m_bCaptured = false;
  Invalidate();
  if (m_nValue != m_nValueAtPress) Notify(DUI_MSGTYPE_VALUECHANGED);
}

void CSliderUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && !m_bCaptured) BeginDrag(event.ptMouse);
      return;
    case UIEVENT_MOUSEMOVE:
      if (m_bCaptured) {
        SetValue(ValueAt(DraggedPoint(event.ptMouse)));
        if (m_bSendMove) Notify(DUI_MSGTYPE_VALUECHANGED_MOVE);
      } else if (platform::PointInRect(GetThumbRect(), event.ptMouse) != m_bThumbHot) {
        m_bThumbHot = !m_bThumbHot;
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if (m_bCaptured) EndDrag(event.ptMouse);
      return;
    case UIEVENT_SCROLLWHEEL: {
      if (!IsEnabled()) return;
      const auto delta = static_cast<int16_t>(platform::HiWord(event.wParam));
      const int before = m_nValue;
      SetValue(m_nValue + (delta > 0 ? m_nStep : -m_nStep));
      if (m_nValue != before) Notify(DUI_MSGTYPE_VALUECHANGED);
      return;
    }
    case UIEVENT_MOUSELEAVE:
      m_bThumbHot = false;
      Invalidate();
      return;
    case UIEVENT_SETCURSOR:
      if (m_pManager) m_pManager->SetCursor("pointer");
      return;
    default:
      CProgressUI::DoEvent(event);
  }
}

void CSliderUI::PaintStatusImage(cairo_t* cr) {
  CProgressUI::PaintStatusImage(cr);
  const RECT thumb = GetThumbRect();
  const CDuiString* image = &m_sThumbImage;
  if (m_bCaptured && !m_sThumbPushedImage.IsEmpty()) image = &m_sThumbPushedImage;
  else if ((m_bThumbHot || m_bCaptured) && !m_sThumbHotImage.IsEmpty()) image = &m_sThumbHotImage;
  if (!render::DrawImageDescriptor(cr, m_pManager, thumb, *image)) {
    cairo_save(cr);
    render::SetSourceColor(cr, m_bCaptured ? 0xFFFFFFFF : 0xFFDCE1E8);
    cairo_arc(cr, (thumb.left + thumb.right) / 2.0, (thumb.top + thumb.bottom) / 2.0,
              std::min(platform::RectWidth(thumb), platform::RectHeight(thumb)) / 2.0, 0, 2 * 3.14159265358979);
    cairo_fill(cr);
    cairo_restore(cr);
  }
}

void CSliderUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"thumbsize")) SetThumbSize(attr::ParseSize(value));
  else if (Is(name, u"thumbimage")) m_sThumbImage = value;
  else if (Is(name, u"thumbhotimage")) m_sThumbHotImage = value;
  else if (Is(name, u"thumbpushedimage")) m_sThumbPushedImage = value;
  else if (Is(name, u"step")) SetChangeStep(attr::ParseInt(value));
  else if (Is(name, u"sendmove")) m_bSendMove = attr::ParseBool(value);
  else CProgressUI::SetAttribute(name, value);
}

}  // namespace dui
