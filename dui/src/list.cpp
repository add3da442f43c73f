#include "dui/list.h"

#include <algorithm>

#include "attributes.h"
#include "dui/paint_manager.h"
#include "render.h"

namespace dui {

IListItemUI* AsListItem(CControlUI* control) {
  return control ? static_cast<IListItemUI*>(control->GetInterface(u"ListItem")) : nullptr;
}

bool IListItemUI::Select(bool select) {
  if (m_bSelected == select) return false;
  m_bSelected = select;
  return true;
}

namespace {

void SendFrom(CControlUI* row, const char16_t* type) {
  if (row->GetManager()) row->GetManager()->SendNotify(row, type);
}

}  // namespace

namespace detail {

bool HandleRowEvent(CControlUI* row, IListItemUI* item, TEventUI& event) {
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
      if (!row->IsEnabled()) return true;
      if (IListOwnerUI* owner = item->GetOwner()) {
        if ((event.wKeyState & platform::MK_CONTROL) && event.Type == UIEVENT_BUTTONDOWN) {
          owner->SelectMultiItem(item->GetIndex());
        } else {
          owner->SelectItem(item->GetIndex(), true);
        }
      }
      SendFrom(row, DUI_MSGTYPE_ITEMCLICK);
      return true;
    case UIEVENT_DBLCLICK:
      if (row->IsEnabled()) row->Activate();
      return true;
    case UIEVENT_KEYDOWN:
      if (event.chKey == platform::VK_RETURN) {
        row->Activate();
      } else if (item->GetOwner()) {
        item->GetOwner()->DoEvent(event);
      }
      return true;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      return true;
    case UIEVENT_BUTTONUP:
    case UIEVENT_MOUSEMOVE:
      return true;
    default:
      return false;
  }
}

void PaintRowBackground(cairo_t* cr, CControlUI* row, IListItemUI* item) {
  const TListInfoUI* info = item->GetOwner() ? item->GetOwner()->GetListInfo() : nullptr;
  if (!info) return;
  DWORD color = info->dwBkColor;
  const CDuiString* image = &info->sBkImage;
  if (item->IsSelected()) {
    color = info->dwSelectedBkColor;
    image = &info->sSelectedImage;
  } else if (item->IsHot() && row->IsEnabled()) {
    color = info->dwHotBkColor;
    image = &info->sHotImage;
  }
  if (color) {
    cairo_save(cr);
    render::SetSourceColor(cr, color);
    render::RoundedRectPath(cr, row->GetPos(), row->GetBorderRound().cx / 2.0);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  row->DrawImage(cr, *image);
}

}  // namespace detail

namespace {

DWORD RowTextColor(const CControlUI* row, const IListItemUI* item, CPaintManagerUI* manager) {
  const TListInfoUI* info = item->GetOwner() ? item->GetOwner()->GetListInfo() : nullptr;
  DWORD color = 0;
  if (info) {
    if (!row->IsEnabled()) color = info->dwDisabledTextColor;
    else if (item->IsSelected()) color = info->dwSelectedTextColor;
    else if (item->IsHot()) color = info->dwHotTextColor;
    if (!color && row->IsEnabled()) color = info->dwTextColor;
  }
  if (!color && manager) color = row->IsEnabled() ? manager->GetDefaultFontColor() : manager->GetDefaultDisabledColor();
  return color;
}

}  // namespace

// ---------------------------------------------------------------- rows

const char16_t* CListElementUI::GetClass() const { return u"ListElementUI"; }

void* CListElementUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"ListElement") ? this : CListRowUI<CControlUI>::GetInterface(name);
}

const char16_t* CListLabelElementUI::GetClass() const { return u"ListLabelElementUI"; }

void* CListLabelElementUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"ListLabelElement") ? this : CListElementUI::GetInterface(name);
}

SIZE CListLabelElementUI::EstimateSize(SIZE available) {
  SIZE size = CListElementUI::EstimateSize(available);
  if (size.cy == 0) size.cy = 22;  // a row without a height of its own
  return size;
}

void CListLabelElementUI::PaintText(cairo_t* cr) {
  const TListInfoUI* info = m_pOwner ? m_pOwner->GetListInfo() : nullptr;
  const RECT padding = info ? info->rcTextPadding : RECT{4, 0, 4, 0};
  const RECT rc{m_rcItem.left + padding.left, m_rcItem.top + padding.top, m_rcItem.right - padding.right,
                m_rcItem.bottom - padding.bottom};
  render::DrawText(cr, m_pManager, rc, m_sText, RowTextColor(this, this, m_pManager), info ? info->nFont : -1,
                   info ? info->uTextStyle : DT_VCENTER | DT_SINGLELINE);
}

const char16_t* CListContainerElementUI::GetClass() const { return u"ListContainerElementUI"; }

void* CListContainerElementUI::GetInterface(const char16_t* name) {
  return attr::Is(name, u"ListContainerElement") ? this : CListRowUI<CHorizontalLayoutUI>::GetInterface(name);
}

// ---------------------------------------------------------------- list

CListUI::CListUI() { EnableScrollBar(true); }

const char16_t* CListUI::GetClass() const { return u"ListUI"; }

void* CListUI::GetInterface(const char16_t* name) {
  if (attr::Is(name, u"List")) return this;
  if (attr::Is(name, u"IListOwner")) return static_cast<IListOwnerUI*>(this);
  return CVerticalLayoutUI::GetInterface(name);
}

void CListUI::UnSelectAllItems() {
  for (int index : m_aSelected) {
    if (IListItemUI* row = AsListItem(GetItemAt(index))) row->Select(false);
  }
  m_aSelected.clear();
  m_iCurSel = -1;
}

bool CListUI::SelectItem(int index, bool takeFocus, bool notify) {
  if (index < -1 || index >= GetCount()) return false;
  IListItemUI* row = index >= 0 ? AsListItem(GetItemAt(index)) : nullptr;
  if (index >= 0 && !row) return false;
  if (takeFocus) SetFocus();
  if (index == m_iCurSel && m_aSelected.size() <= 1) return true;
  const int old = m_iCurSel;
  UnSelectAllItems();
  m_iCurSel = index;
  if (row) {
    row->Select(true);
    m_aSelected.push_back(index);
    EnsureVisible(GetItemAt(index));
  }
  if (notify) Notify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(m_iCurSel), old);
  return true;
}

bool CListUI::SelectMultiItem(int index, bool notify) {
  if (!m_bMultiSelect) return SelectItem(index, false, notify);
  IListItemUI* row = AsListItem(GetItemAt(index));
  if (!row) return false;
  const auto it = std::find(m_aSelected.begin(), m_aSelected.end(), index);
  const int old = m_iCurSel;
  if (it != m_aSelected.end()) {
    m_aSelected.erase(it);
    row->Select(false);
    m_iCurSel = m_aSelected.empty() ? -1 : m_aSelected.back();
  } else {
    m_aSelected.push_back(index);
    row->Select(true);
    m_iCurSel = index;
  }
  if (notify) Notify(DUI_MSGTYPE_ITEMSELECT, static_cast<WPARAM>(m_iCurSel), old);
  return true;
}

void CListUI::Reindex() {
  m_aSelected.clear();
  m_iCurSel = -1;
  for (int i = 0; i < GetCount(); ++i) {
    IListItemUI* row = AsListItem(GetItemAt(i));
    if (!row) continue;
    row->SetIndex(i);
    row->SetOwner(this);
    if (row->IsSelected()) {
      m_aSelected.push_back(i);
      m_iCurSel = i;
    }
  }
}

bool CListUI::Add(CControlUI* control) { return AddAt(control, GetCount()); }

bool CListUI::AddAt(CControlUI* control, int index) {
  if (!CVerticalLayoutUI::AddAt(control, index)) return false;
  Reindex();
  return true;
}

bool CListUI::Remove(CControlUI* control, bool doNotDestroy) { return RemoveAt(GetItemIndex(control), doNotDestroy); }

bool CListUI::RemoveAt(int index, bool doNotDestroy) {
  if (IListItemUI* row = AsListItem(GetItemAt(index)); row && doNotDestroy) {
    row->Select(false);
    row->SetOwner(nullptr);
  }
  if (!CVerticalLayoutUI::RemoveAt(index, doNotDestroy)) return false;
  Reindex();
  return true;
}

void CListUI::RemoveAll() {
  CVerticalLayoutUI::RemoveAll();
  m_aSelected.clear();
  m_iCurSel = -1;
}

void CListUI::DoEvent(TEventUI& event) {
  if (event.Type == UIEVENT_KEYDOWN) {
    int next = m_iCurSel;
    switch (event.chKey) {
      case platform::VK_UP: next = std::max(0, m_iCurSel - 1); break;
      case platform::VK_DOWN: next = std::min(GetCount() - 1, m_iCurSel + 1); break;
      case platform::VK_HOME: next = 0; break;
      case platform::VK_END: next = GetCount() - 1; break;
      case platform::VK_RETURN:
        if (CControlUI* row = GetItemAt(m_iCurSel)) row->Activate();
        return;
      default: CVerticalLayoutUI::DoEvent(event); return;
    }
    if (next != m_iCurSel && AsListItem(GetItemAt(next))) SelectItem(next, true);
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

void CListUI::SetAttribute(const char16_t* name, const char16_t* value) {
  using attr::Is;
  TListInfoUI& info = m_ListInfo;
  if (Is(name, u"itemfont")) info.nFont = attr::ParseInt(value);
  else if (Is(name, u"itemalign")) {
    info.uTextStyle &= ~(DT_LEFT | DT_CENTER | DT_RIGHT);
    if (Is(value, u"center")) info.uTextStyle |= DT_CENTER;
    if (Is(value, u"right")) info.uTextStyle |= DT_RIGHT;
  } else if (Is(name, u"itemendellipsis") && attr::ParseBool(value)) info.uTextStyle |= DT_END_ELLIPSIS;
  else if (Is(name, u"itemtextpadding")) info.rcTextPadding = attr::ParseRect(value);
  else if (Is(name, u"itemtextcolor")) info.dwTextColor = attr::ParseColor(value);
  else if (Is(name, u"itembkcolor")) info.dwBkColor = attr::ParseColor(value);
  else if (Is(name, u"itembkimage")) info.sBkImage = value;
  else if (Is(name, u"itemselectedtextcolor")) info.dwSelectedTextColor = attr::ParseColor(value);
  else if (Is(name, u"itemselectedbkcolor")) info.dwSelectedBkColor = attr::ParseColor(value);
  else if (Is(name, u"itemselectedimage")) info.sSelectedImage = value;
  else if (Is(name, u"itemhottextcolor")) info.dwHotTextColor = attr::ParseColor(value);
  else if (Is(name, u"itemhotbkcolor")) info.dwHotBkColor = attr::ParseColor(value);
  else if (Is(name, u"itemhotimage")) info.sHotImage = value;
  else if (Is(name, u"itemdisabledtextcolor")) info.dwDisabledTextColor = attr::ParseColor(value);
  else if (Is(name, u"multipleitem") || Is(name, u"multiselect")) SetMultiSelect(attr::ParseBool(value));
  else if (Is(name, u"header")) {
  } else CVerticalLayoutUI::SetAttribute(name, value);
  Invalidate();
}

}  // namespace dui
