#include "dui/control.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {

CControlUI::CControlUI() = default;

CControlUI::~CControlUI() {
  OnDestroy(this);
  if (m_pManager) m_pManager->ReapObjects(this);
}

const char16_t* CControlUI::GetClass() const { return u"ControlUI"; }

void* CControlUI::GetInterface(const char16_t* name) { return attr::Is(name, u"Control") ? this : nullptr; }

void CControlUI::SetName(const CDuiString& name) {
  if (name == m_sName) return;
  const CDuiString old = m_sName;
  m_sName = name;
  if (m_pManager) m_pManager->RenameControl(this, old);
}

void CControlUI::SetText(const CDuiString& text) {
  if (m_sText == text) return;
  m_sText = text;
  Invalidate();
}

void CControlUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  m_pManager = manager;
  m_pParent = parent;
  if (init && m_pManager) m_pManager->InitControl(this, parent);
}

void CControlUI::SetPos(RECT rc, bool needInvalidate) {
  if (rc.right < rc.left) rc.right = rc.left;
  if (rc.bottom < rc.top) rc.bottom = rc.top;
  const RECT old = m_rcItem;
  m_rcItem = rc;
  m_bUpdateNeeded = false;
  if (needInvalidate && old != rc && m_pManager) {
    m_pManager->Invalidate(old);
    Invalidate();
  }
  if (old != rc) OnSize(this);
}

void CControlUI::SetPadding(RECT padding) {
  m_rcPadding = padding;
  NeedParentUpdate();
}

void CControlUI::SetFixedXY(SIZE xy) {
  m_cXY = xy;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int width) {
  if (width < 0) return;
  m_cxyFixed.cx = width;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int height) {
  if (height < 0) return;
  m_cxyFixed.cy = height;
  NeedParentUpdate();
}

void CControlUI::SetMinWidth(int width) {
  if (width < 0) return;
  m_cxyMin.cx = width;
  NeedParentUpdate();
}

void CControlUI::SetMaxWidth(int width) {
  if (width < 0) return;
  m_cxyMax.cx = width;
  NeedParentUpdate();
}

void CControlUI::SetMinHeight(int height) {
  if (height < 0) return;
  m_cxyMin.cy = height;
  NeedParentUpdate();
}

void CControlUI::SetMaxHeight(int height) {
  if (height < 0) return;
  m_cxyMax.cy = height;
  NeedParentUpdate();
}

void CControlUI::SetFloat(bool isFloat) {
  m_bFloat = isFloat;
  NeedParentUpdate();
}

SIZE CControlUI::EstimateSize(SIZE) { return m_cxyFixed; }

void CControlUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  const bool wasVisible = IsVisible();
  m_bVisible = visible;
  if (m_bFocused && !visible && m_pManager) m_pManager->SetFocus(nullptr);
  if (IsVisible() != wasVisible) NeedParentUpdate();
}

void CControlUI::SetInternVisible(bool visible) {
  m_bInternVisible = visible;
  if (!visible && m_bFocused && m_pManager) m_pManager->SetFocus(nullptr);
}

void CControlUI::SetEnabled(bool enable) {
  if (m_bEnabled == enable) return;
  m_bEnabled = enable;
  Invalidate();
}

void CControlUI::SetFocus() {
  if (m_pManager) m_pManager->SetFocus(this);
}

void CControlUI::SetBkColor(DWORD color) {
  m_dwBackColor = color;
  Invalidate();
}

void CControlUI::SetBkColor2(DWORD color) {
  m_dwBackColor2 = color;
  Invalidate();
}

void CControlUI::SetBorderColor(DWORD color) {
  m_dwBorderColor = color;
  Invalidate();
}

void CControlUI::SetFocusBorderColor(DWORD color) {
  m_dwFocusBorderColor = color;
  Invalidate();
}

void CControlUI::SetBorderSize(int size) {
  m_nBorderSize = std::max(0, size);
  Invalidate();
}

void CControlUI::SetBorderRound(SIZE round) {
  m_cxyBorderRound = round;
  Invalidate();
}

void CControlUI::SetBkImage(const CDuiString& image) {
  m_sBkImage = image;
  Invalidate();
}

void CControlUI::DoPaint(cairo_t* cr, const RECT& rcPaint) {
  if (platform::RectIsEmpty(platform::IntersectRects(rcPaint, m_rcItem))) return;
  cairo_save(cr);
  PaintOwnLayers(cr);
  PaintBorder(cr);
  cairo_restore(cr);
}

void CControlUI::PaintOwnLayers(cairo_t* cr) {
  render::RoundedRectPath(cr, m_rcItem, m_cxyBorderRound.cx / 2.0);
  cairo_clip(cr);
  PaintBkColor(cr);
  PaintBkImage(cr);
  PaintStatusImage(cr);
  PaintText(cr);
}

void CControlUI::PaintBkColor(cairo_t* cr) {
  if (m_dwBackColor == 0) return;
  if (m_dwBackColor2 != 0) {
    render::FillGradient(cr, m_rcItem, m_dwBackColor, m_dwBackColor2);
  } else {
    render::FillRect(cr, m_rcItem, m_dwBackColor);
  }
}

void CControlUI::PaintBkImage(cairo_t* cr) { DrawImage(cr, m_sBkImage); }

void CControlUI::PaintStatusImage(cairo_t*) {}
void CControlUI::PaintText(cairo_t*) {}

void CControlUI::PaintBorder(cairo_t* cr) {
  const DWORD color = (m_bFocused && m_dwFocusBorderColor != 0) ? m_dwFocusBorderColor : m_dwBorderColor;
  render::DrawBorder(cr, m_rcItem, m_nBorderSize, color, m_cxyBorderRound);
}

bool CControlUI::DrawImage(cairo_t* cr, const CDuiString& image) {
  return render::DrawImageDescriptor(cr, m_pManager, m_rcItem, image);
}

void CControlUI::Event(TEventUI& event) {
  if (OnEvent(&event)) DoEvent(event);
}

bool CControlUI::IsInsideListElement() const {
  for (CControlUI* parent = m_pParent; parent; parent = parent->m_pParent) {
    if (parent->GetInterface(u"ListItem")) return true;
  }
  return false;
}

void CControlUI::DoEvent(TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_SETCURSOR:
      if (m_pManager) m_pManager->SetCursor("default");
      return;
    case UIEVENT_SETFOCUS:
      m_bFocused = true;
      Invalidate();
      return;
    case UIEVENT_KILLFOCUS:
      m_bFocused = false;
      Invalidate();
      return;
    case UIEVENT_TIMER:
      Notify(DUI_MSGTYPE_TIMER, event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      Notify(DUI_MSGTYPE_MENU, event.wParam, event.lParam);
      return;
    case UIEVENT_DBLCLICK:
      // A static control reports a double-click itself, unless it belongs
      // to a list row, which handles it as an activation.
      if (!IsInsideListElement()) {
        if (IsEnabled()) Notify(DUI_MSGTYPE_DBCLICK);
        return;
      }
      break;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      return;
    default:
      break;
  }
  // Anything else the control does not use goes to its parent.
  if (m_pParent) m_pParent->DoEvent(event);
}

bool CControlUI::Activate() { return IsVisible() && IsEnabled(); }

void CControlUI::Notify(const char16_t* type, WPARAM wParam, LPARAM lParam) {
  if (m_pManager) m_pManager->SendNotify(this, type, wParam, lParam);
}

void CControlUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  if (Is(name, u"pos")) {
    const RECT rc = attr::ParseRect(value);
    m_cXY = {rc.left, rc.top};
    m_cxyFixed = {rc.right - rc.left, rc.bottom - rc.top};
    NeedParentUpdate();
  } else if (Is(name, u"padding")) SetPadding(attr::ParseRect(value));
  else if (Is(name, u"bkcolor") || Is(name, u"bkcolor1")) SetBkColor(attr::ParseColor(value));
  else if (Is(name, u"bkcolor2")) SetBkColor2(attr::ParseColor(value));
  else if (Is(name, u"bordercolor")) SetBorderColor(attr::ParseColor(value));
  else if (Is(name, u"focusbordercolor")) SetFocusBorderColor(attr::ParseColor(value));
  else if (Is(name, u"bordersize")) SetBorderSize(attr::ParseInt(value));
  else if (Is(name, u"borderround")) SetBorderRound(attr::ParseSize(value));
  else if (Is(name, u"bkimage")) SetBkImage(value);
  else if (Is(name, u"width")) SetFixedWidth(attr::ParseInt(value));
  else if (Is(name, u"height")) SetFixedHeight(attr::ParseInt(value));
  else if (Is(name, u"minwidth")) SetMinWidth(attr::ParseInt(value));
  else if (Is(name, u"minheight")) SetMinHeight(attr::ParseInt(value));
  else if (Is(name, u"maxwidth")) SetMaxWidth(attr::ParseInt(value));
  else if (Is(name, u"maxheight")) SetMaxHeight(attr::ParseInt(value));
  else if (Is(name, u"name")) SetName(value);
  else if (Is(name, u"text")) SetText(value);
  else if (Is(name, u"tooltip")) SetToolTip(value);
  else if (Is(name, u"userdata")) SetUserData(value);
  else if (Is(name, u"tag")) SetTag(static_cast<UINT_PTR>(attr::ParseInt(value)));
  else if (Is(name, u"enabled")) SetEnabled(attr::ParseBool(value));
  else if (Is(name, u"mouse")) SetMouseEnabled(attr::ParseBool(value));
  else if (Is(name, u"keyboard")) SetKeyboardEnabled(attr::ParseBool(value));
  else if (Is(name, u"visible")) SetVisible(attr::ParseBool(value));
  else if (Is(name, u"float")) SetFloat(attr::ParseBool(value));
}

CControlUI* CControlUI::ApplyAttributeList(const char16_t* list) {
  for (const auto& [name, value] : attr::ParseAttributeList(list)) SetAttribute(name.c_str(), value.c_str());
  return this;
}

CControlUI* CControlUI::FindControl(FINDCONTROLPROC proc, void* data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  if ((flags & UIFIND_HITTEST) &&
      (!m_bMouseEnabled || !platform::PointInRect(m_rcItem, *static_cast<POINT*>(data)))) {
    return nullptr;
  }
  return proc(this, data);
}

void CControlUI::Invalidate() {
  if (!IsVisible() || !m_pManager) return;
  RECT area = m_rcItem;
  for (CControlUI* parent = m_pParent; parent; parent = parent->m_pParent) {
    area = platform::IntersectRects(area, parent->GetPos());
    if (!parent->IsVisible()) return;
  }
  if (!platform::RectIsEmpty(area)) m_pManager->Invalidate(area);
}

void CControlUI::NeedUpdate() {
  m_bUpdateNeeded = true;
  if (m_pManager) m_pManager->NeedUpdate();
}

void CControlUI::NeedParentUpdate() {
  if (m_pParent) m_pParent->m_bUpdateNeeded = true;
  NeedUpdate();
}

}  // namespace dui
