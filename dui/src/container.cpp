#include "dui/container.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {
namespace {

RECT Deflate(const RECT& rc, const RECT& by) {
  return {rc.left + by.left, rc.top + by.top, std::max(rc.left + by.left, rc.right - by.right),
          std::max(rc.top + by.top, rc.bottom - by.bottom)};
}

// Makes the manager forget a control and everything it holds (names,
// option groups, timers, focus), so nothing there points into a subtree
// that leaves the tree.
void ReapSubtree(CPaintManagerUI* manager, CControlUI* control) {
  if (auto* container = static_cast<CContainerUI*>(control->GetInterface(u"Container"))) {
    for (int i = 0; i < container->GetCount(); ++i) ReapSubtree(manager, container->GetItemAt(i));
  }
  manager->ReapObjects(control);
}

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, std::max(low, high))); }

// The size a stacked child takes along the layout's axis; 0 means "share".
int FixedAlong(CControlUI* child, SIZE available, bool vertical) {
  const SIZE estimate = child->EstimateSize(available);
  const int fixed = vertical ? estimate.cy : estimate.cx;
  if (fixed == 0) return 0;
  return vertical ? Clamp(fixed, child->GetMinHeight(), child->GetMaxHeight())
                  : Clamp(fixed, child->GetMinWidth(), child->GetMaxWidth());
}

// Stacks the visible, non-float children along one axis. Returns the
// length they need along the vertical axis (for the scroll range).
int Stack(std::vector<std::unique_ptr<CControlUI>>& items, RECT inner, int childPadding, bool vertical) {
  const SIZE available{platform::RectWidth(inner), platform::RectHeight(inner)};
  const int length = vertical ? available.cy : available.cx;
  int used = 0, sharing = 0, count = 0;
  for (const auto& item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT pad = item->GetPadding();
    used += vertical ? pad.top + pad.bottom : pad.left + pad.right;
    const int fixed = FixedAlong(item.get(), available, vertical);
    if (fixed == 0) ++sharing;
    used += fixed;
    ++count;
  }
  if (count > 1) used += childPadding * (count - 1);
  int remaining = std::max(0, length - used);
  int position = vertical ? inner.top : inner.left;
  int needed = 0;
  for (const auto& item : items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT pad = item->GetPadding();
    int along = FixedAlong(item.get(), available, vertical);
    if (along == 0) {
      along = sharing > 1 ? remaining / sharing : remaining;  // the last one takes the rest
      along = vertical ? Clamp(along, item->GetMinHeight(), item->GetMaxHeight())
                       : Clamp(along, item->GetMinWidth(), item->GetMaxWidth());
      remaining = std::max(0, remaining - along);
      --sharing;
    }
    const SIZE estimate = item->EstimateSize(available);
    RECT rc;
    if (vertical) {
      position += pad.top;
      const int width = estimate.cx > 0 ? Clamp(estimate.cx, item->GetMinWidth(), item->GetMaxWidth())
                                        : available.cx - pad.left - pad.right;
      rc = {inner.left + pad.left, position, inner.left + pad.left + std::max(0, width), position + along};
      position += along + pad.bottom + childPadding;
    } else {
      position += pad.left;
      const int height = estimate.cy > 0 ? Clamp(estimate.cy, item->GetMinHeight(), item->GetMaxHeight())
                                         : available.cy - pad.top - pad.bottom;
      rc = {position, inner.top + pad.top, position + along, inner.top + pad.top + std::max(0, height)};
      position += along + pad.right + childPadding;
      needed = std::max(needed, platform::RectHeight(rc) + pad.top + pad.bottom);
    }
    item->SetPos(rc);
  }
  return vertical ? std::max(0, position - childPadding - inner.top) : needed;
}

}  // namespace

// ---------------------------------------------------------------- container

CContainerUI::CContainerUI() = default;

CContainerUI::~CContainerUI() {
  // Children go first, while this container is still whole.
  m_items.clear();
  m_pVerticalScrollBar.reset();
}

const char16_t* CContainerUI::GetClass() const { return u"ContainerUI"; }

void* CContainerUI::GetInterface(const char16_t* name) {
  if (attr::Is(name, u"Container")) return this;
  return CControlUI::GetInterface(name);
}

CControlUI* CContainerUI::GetItemAt(int index) const {
  return index >= 0 && index < GetCount() ? m_items[static_cast<size_t>(index)].get() : nullptr;
}

int CContainerUI::GetItemIndex(CControlUI* control) const {
  for (size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i].get() == control) return static_cast<int>(i);
  }
  return -1;
}

bool CContainerUI::SetItemIndex(CControlUI* control, int index) {
  const int from = GetItemIndex(control);
  if (from < 0 || index < 0 || index >= GetCount()) return false;
  std::unique_ptr<CControlUI> moving = std::move(m_items[static_cast<size_t>(from)]);
  m_items.erase(m_items.begin() + from);
  m_items.insert(m_items.begin() + index, std::move(moving));
  NeedUpdate();
  return true;
}

void CContainerUI::AdoptChild(CControlUI* child) {
  child->SetManager(m_pManager, this, m_pManager != nullptr);
  child->SetInternVisible(IsVisible());
  NeedUpdate();
}

bool CContainerUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CContainerUI::AddAt(CControlUI* control, int index) {
  if (!control || index < 0 || index > GetCount() || GetItemIndex(control) >= 0) return false;
  m_items.insert(m_items.begin() + index, std::unique_ptr<CControlUI>(control));
  AdoptChild(control);
  return true;
}

bool CContainerUI::Remove(CControlUI* control, bool doNotDestroy) { return RemoveAt(GetItemIndex(control), doNotDestroy); }

bool CContainerUI::RemoveAt(int index, bool doNotDestroy) {
  if (index < 0 || index >= GetCount()) return false;
  std::unique_ptr<CControlUI> removed = std::move(m_items[static_cast<size_t>(index)]);
  m_items.erase(m_items.begin() + index);
  if (m_pManager) m_pManager->Invalidate(removed->GetPos());
  if (doNotDestroy) {
    if (m_pManager) ReapSubtree(m_pManager, removed.get());
    removed->SetManager(nullptr, nullptr, false);
    removed.release();  // the caller owns it now
  }
  NeedUpdate();
  return true;
}

void CContainerUI::RemoveAll() {
  m_items.clear();
  NeedUpdate();
}

void CContainerUI::SetInset(RECT inset) {
  m_rcInset = inset;
  NeedUpdate();
}

void CContainerUI::SetChildPadding(int padding) {
  m_iChildPadding = std::max(0, padding);
  NeedUpdate();
}

void CContainerUI::SetVisible(bool visible) {
  if (m_bVisible == visible) return;
  CControlUI::SetVisible(visible);
  for (const auto& item : m_items) item->SetInternVisible(IsVisible());
}

void CContainerUI::SetInternVisible(bool visible) {
  CControlUI::SetInternVisible(visible);
  for (const auto& item : m_items) item->SetInternVisible(IsVisible());
}

void CContainerUI::SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init) {
  CControlUI::SetManager(manager, parent, init);
  for (const auto& item : m_items) item->SetManager(manager, this, init);
  if (m_pVerticalScrollBar) {
    m_pVerticalScrollBar->SetManager(manager, this, init);
    if (manager) {
      if (const char16_t* defaults = manager->GetDefaultAttributeList(u"VScrollBar")) {
        m_pVerticalScrollBar->ApplyAttributeList(defaults);
      }
    }
  }
}

RECT CContainerUI::InnerRect() const {
  RECT inner = Deflate(m_rcItem, m_rcInset);
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) {
    inner.right = std::max(inner.left, inner.right - m_pVerticalScrollBar->GetThickness());
  }
  return inner;
}

int CContainerUI::LayoutChildren(RECT inner) {
  int needed = 0;
  for (const auto& item : m_items) {
    if (!item->IsVisible() || item->IsFloat()) continue;
    const RECT pad = item->GetPadding();
    RECT rc = Deflate(inner, pad);
    const SIZE estimate = item->EstimateSize({platform::RectWidth(inner), platform::RectHeight(inner)});
    if (estimate.cx > 0) rc.right = rc.left + estimate.cx;
    if (estimate.cy > 0) rc.bottom = rc.top + estimate.cy;
    item->SetPos(rc);
    needed = std::max(needed, platform::RectHeight(rc) + pad.top + pad.bottom);
  }
  return needed;
}

void CContainerUI::PlaceFloatChild(CControlUI* child) {
  const SIZE xy = child->GetFixedXY();
  const SIZE size = child->EstimateSize({GetWidth(), GetHeight()});
  const int left = m_rcItem.left + xy.cx;
  const int top = m_rcItem.top + xy.cy;
  child->SetPos({left, top, left + size.cx, top + size.cy});
}

void CContainerUI::SetPos(RECT rc, bool needInvalidate) {
  CControlUI::SetPos(rc, needInvalidate);
  const RECT inset = Deflate(m_rcItem, m_rcInset);
  auto shifted = [&](RECT inner) {
    inner.top -= m_szScrollPos.cy;
    inner.bottom -= m_szScrollPos.cy;
    return inner;
  };
  if (!m_pVerticalScrollBar) {
    LayoutChildren(inset);
  } else {
    RECT inner = inset;
    int needed = LayoutChildren(shifted(inner));
    const bool showBar = needed > platform::RectHeight(inner);
    if (showBar) {
      inner.right = std::max(inner.left, inner.right - m_pVerticalScrollBar->GetThickness());
      needed = LayoutChildren(shifted(inner));
    }
    const int range = std::max(0, needed - platform::RectHeight(inner));
    if (m_szScrollPos.cy > range) {
      m_szScrollPos.cy = range;
      LayoutChildren(shifted(inner));
    }
    m_szScrollRange = {0, range};
    m_pVerticalScrollBar->SetVisible(showBar);
    m_pVerticalScrollBar->SetScrollRange(range);
    m_pVerticalScrollBar->SetScrollPos(m_szScrollPos.cy);
    m_pVerticalScrollBar->SetPos({inner.right, inset.top, inner.right + m_pVerticalScrollBar->GetThickness(), inset.bottom});
  }
  for (const auto& item : m_items) {
    if (item->IsVisible() && item->IsFloat()) PlaceFloatChild(item.get());
  }
}

void CContainerUI::EnableScrollBar(bool vertical) {
  if (vertical && !m_pVerticalScrollBar) {
    m_pVerticalScrollBar = std::make_unique<CScrollBarUI>();
    m_pVerticalScrollBar->SetOwner(this);
    m_pVerticalScrollBar->SetVisible(false);
    if (m_pManager) SetManager(m_pManager, m_pParent, false);
  } else if (!vertical) {
    m_pVerticalScrollBar.reset();
    m_szScrollPos = {};
  }
  NeedUpdate();
}

void CContainerUI::SetScrollPos(SIZE pos) {
  const int y = std::max(0, std::min(pos.cy, m_szScrollRange.cy));
  if (y == m_szScrollPos.cy) return;
  m_szScrollPos.cy = y;
  SetPos(m_rcItem);
  Invalidate();
}

void CContainerUI::LineUp() {
  const int step = m_pVerticalScrollBar ? m_pVerticalScrollBar->GetLineSize() : 22;
  SetScrollPos({0, m_szScrollPos.cy - step});
}

void CContainerUI::LineDown() {
  const int step = m_pVerticalScrollBar ? m_pVerticalScrollBar->GetLineSize() : 22;
  SetScrollPos({0, m_szScrollPos.cy + step});
}

void CContainerUI::PageUp() { SetScrollPos({0, m_szScrollPos.cy - platform::RectHeight(InnerRect())}); }
void CContainerUI::PageDown() { SetScrollPos({0, m_szScrollPos.cy + platform::RectHeight(InnerRect())}); }

void CContainerUI::EnsureVisible(CControlUI* control) {
  if (!control || !m_pVerticalScrollBar) return;
  const RECT inner = InnerRect();
  const RECT& pos = control->GetPos();
  if (pos.top < inner.top) SetScrollPos({0, m_szScrollPos.cy - (inner.top - pos.top)});
  else if (pos.bottom > inner.bottom) SetScrollPos({0, m_szScrollPos.cy + (pos.bottom - inner.bottom)});
}

void CContainerUI::DoPaint(cairo_t* cr, const RECT& rcPaint) {
  const RECT area = platform::IntersectRects(rcPaint, m_rcItem);
  if (platform::RectIsEmpty(area)) return;
  cairo_save(cr);
  PaintOwnLayers(cr);
  const RECT inner = InnerRect();
  for (const auto& item : m_items) {
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      item->DoPaint(cr, area);
      continue;
    }
    const RECT clip = platform::IntersectRects(area, inner);
    if (platform::RectIsEmpty(platform::IntersectRects(clip, item->GetPos()))) continue;
    cairo_save(cr);
    cairo_rectangle(cr, clip.left, clip.top, platform::RectWidth(clip), platform::RectHeight(clip));
    cairo_clip(cr);
    item->DoPaint(cr, clip);
    cairo_restore(cr);
  }
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) m_pVerticalScrollBar->DoPaint(cr, area);
  PaintBorder(cr);
  cairo_restore(cr);
}

void CContainerUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_SCROLLWHEEL && m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) {
    const auto delta = static_cast<int16_t>(platform::HiWord(event.wParam));
    if (delta > 0) LineUp();
    else LineDown();
    return;
  }
  CControlUI::DoEvent(event);
}

void CContainerUI::SetAttribute(const char16_t* name, const char16_t* value) {
  if (attr::Is(name, u"inset")) SetInset(attr::ParseRect(value));
  else if (attr::Is(name, u"childpadding")) SetChildPadding(attr::ParseInt(value));
  else if (attr::Is(name, u"mousechild")) SetMouseChildEnabled(attr::ParseBool(value));
  else if (attr::Is(name, u"vscrollbar")) EnableScrollBar(attr::ParseBool(value));
  else CControlUI::SetAttribute(name, value);
}

CControlUI* CContainerUI::FindControl(FINDCONTROLPROC proc, void* data, UINT flags) {
  if ((flags & UIFIND_VISIBLE) && !IsVisible()) return nullptr;
  if ((flags & UIFIND_ENABLED) && !IsEnabled()) return nullptr;
  const bool hitTest = (flags & UIFIND_HITTEST) != 0;
  if (hitTest) {
    const POINT point = *static_cast<POINT*>(data);
    if (!platform::PointInRect(m_rcItem, point)) return nullptr;
    if (!m_bMouseChildEnabled) return CControlUI::FindControl(proc, data, flags);
  }
  if (flags & UIFIND_ME_FIRST) {
    if (CControlUI* found = CControlUI::FindControl(proc, data, flags)) return found;
  }
  if (m_pVerticalScrollBar && m_pVerticalScrollBar->IsVisible()) {
    if (CControlUI* found = m_pVerticalScrollBar->FindControl(proc, data, flags)) return found;
  }
  const RECT inner = InnerRect();
  auto search = [&](CControlUI* item) -> CControlUI* {
    if (hitTest && !item->IsFloat() && !platform::PointInRect(inner, *static_cast<POINT*>(data))) return nullptr;
    return item->FindControl(proc, data, flags);
  };
  if (flags & UIFIND_TOP_FIRST) {
    for (auto it = m_items.rbegin(); it != m_items.rend(); ++it) {
      if (CControlUI* found = search(it->get())) return found;
    }
  } else {
    for (const auto& item : m_items) {
      if (CControlUI* found = search(item.get())) return found;
    }
  }
  return (flags & UIFIND_ME_FIRST) ? nullptr : CControlUI::FindControl(proc, data, flags);
}

// ---------------------------------------------------------------- layouts

const char16_t* CVerticalLayoutUI::GetClass() const { return u"VerticalLayoutUI"; }

void* CVerticalLayoutUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"VerticalLayout") ? this : CContainerUI::GetInterface(name);
}

int CVerticalLayoutUI::LayoutChildren(RECT inner) { return Stack(m_items, inner, m_iChildPadding, true); }

const char16_t* CHorizontalLayoutUI::GetClass() const { return u"HorizontalLayoutUI"; }

void* CHorizontalLayoutUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"HorizontalLayout") ? this : CContainerUI::GetInterface(name);
}

int CHorizontalLayoutUI::LayoutChildren(RECT inner) { return Stack(m_items, inner, m_iChildPadding, false); }

// ---------------------------------------------------------------- scroll bar

const char16_t* CScrollBarUI::GetClass() const { return u"ScrollBarUI"; }

void* CScrollBarUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"ScrollBar") ? this : CControlUI::GetInterface(name);
}

void CScrollBarUI::SetScrollRange(int range) {
  m_nRange = std::max(0, range);
  m_nScrollPos = std::min(m_nScrollPos, m_nRange);
}

void CScrollBarUI::SetScrollPos(int pos) {
  const int clamped = std::max(0, std::min(pos, m_nRange));
  if (clamped == m_nScrollPos) return;
  m_nScrollPos = clamped;
  Invalidate();
}

RECT CScrollBarUI::GetThumbRect() const {
  const int track = GetHeight();
  if (track <= 0) return m_rcItem;
  const int thumb = std::max(16, track * track / std::max(1, track + m_nRange));
  const int travel = std::max(0, track - thumb);
  const int top = m_rcItem.top + (m_nRange > 0 ? travel * m_nScrollPos / m_nRange : 0);
  return {m_rcItem.left, top, m_rcItem.right, top + std::min(thumb, track)};
}

void CScrollBarUI::DoEvent(TEventUI& event) {
  const RECT thumb = GetThumbRect();
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (platform::PointInRect(thumb, event.ptMouse)) {
        m_nDragOffset = event.ptMouse.y - thumb.top;
      } else if (m_pOwner) {
        if (event.ptMouse.y < thumb.top) m_pOwner->PageUp();
        else m_pOwner->PageDown();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if (m_nDragOffset >= 0 && m_pOwner) {
        const int travel = std::max(1, GetHeight() - platform::RectHeight(thumb));
        const int top = event.ptMouse.y - m_nDragOffset - m_rcItem.top;
        m_pOwner->SetScrollPos({0, m_nRange * top / travel});
      } else {
        const bool hot = platform::PointInRect(thumb, event.ptMouse);
        if (hot != m_bThumbHot) {
          m_bThumbHot = hot;
          Invalidate();
        }
      }
      return;
    case UIEVENT_BUTTONUP:
      m_nDragOffset = -1;
      return;
    case UIEVENT_MOUSELEAVE:
      m_bThumbHot = false;
      Invalidate();
      return;
    case UIEVENT_SCROLLWHEEL:
      if (m_pOwner) m_pOwner->DoEvent(event);
      return;
    default:
      CControlUI::DoEvent(event);
  }
}

void CScrollBarUI::PaintStatusImage(cairo_t* cr) {
  const RECT thumb = GetThumbRect();
  if (!m_sThumbImage.IsEmpty() && render::DrawImageDescriptor(cr, m_pManager, thumb, m_sThumbImage)) return;
  const DWORD color = (m_bThumbHot || m_nDragOffset >= 0) ? m_dwThumbHotColor : m_dwThumbColor;
  cairo_save(cr);
  render::SetSourceColor(cr, color);
  const RECT inset{thumb.left + 1, thumb.top + 1, thumb.right - 1, thumb.bottom - 1};
  render::RoundedRectPath(cr, inset, platform::RectWidth(inset) / 2.0);
  cairo_fill(cr);
  cairo_restore(cr);
}

void CScrollBarUI::SetAttribute(const char16_t* name, const char16_t* value) {
  if (attr::Is(name, u"thumbcolor")) m_dwThumbColor = attr::ParseColor(value);
  else if (attr::Is(name, u"thumbhotcolor")) m_dwThumbHotColor = attr::ParseColor(value);
  else if (attr::Is(name, u"thumbimage") || attr::Is(name, u"thumbnormalimage")) m_sThumbImage = value;
  else if (attr::Is(name, u"linesize")) m_nLineSize = std::max(1, attr::ParseInt(value));
  else CControlUI::SetAttribute(name, value);
}

}  // namespace dui
