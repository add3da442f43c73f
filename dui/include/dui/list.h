#pragma once
// Lists: a vertical list of rows with a current selection. Rows are list
// elements: a text row (CListLabelElementUI) or a row holding controls
// (CListContainerElementUI). A press on a row selects it and sends
// "itemclick"; a double-click (or Return) sends "itemactivate"; a change
// of selection sends "itemselect" from the list.

#include <vector>

#include "dui/container.h"
#include "dui/label.h"

namespace dui {

// How the rows of a list look, set through the list's item* attributes.
struct TListInfoUI {
  int nFont = -1;
  UINT uTextStyle = DT_VCENTER | DT_SINGLELINE;
  RECT rcTextPadding{4, 0, 4, 0};
  DWORD dwTextColor = 0;
  DWORD dwBkColor = 0;
  DWORD dwSelectedTextColor = 0;
  DWORD dwSelectedBkColor = 0;
  DWORD dwHotTextColor = 0;
  DWORD dwHotBkColor = 0;
  DWORD dwDisabledTextColor = 0;
  CDuiString sBkImage;
  CDuiString sSelectedImage;
  CDuiString sHotImage;
};

class IListItemUI;

class IListOwnerUI {
 public:
  virtual ~IListOwnerUI() = default;
  virtual TListInfoUI* GetListInfo() = 0;
  virtual int GetCurSel() const = 0;
  virtual bool SelectItem(int index, bool takeFocus = false, bool notify = true) = 0;
  // Adds or removes a row from a multiple selection (lists that allow one).
  virtual bool SelectMultiItem(int index, bool notify = true) { return SelectItem(index, false, notify); }
  // Key presses of a row go to its list (arrow keys move the selection).
  virtual void DoEvent(TEventUI& event) = 0;
};

class IListItemUI {
 public:
  virtual ~IListItemUI() = default;
  int GetIndex() const { return m_iIndex; }
  void SetIndex(int index) { m_iIndex = index; }
  IListOwnerUI* GetOwner() const { return m_pOwner; }
  void SetOwner(IListOwnerUI* owner) { m_pOwner = owner; }
  bool IsSelected() const { return m_bSelected; }
  // Marks the row; the owner keeps the selection, use its SelectItem.
  virtual bool Select(bool select = true);
  bool IsHot() const { return m_bHot; }

 protected:
  IListOwnerUI* m_pOwner = nullptr;
  int m_iIndex = -1;
  bool m_bSelected = false;
  bool m_bHot = false;
};

namespace detail {
// Mouse and key handling shared by every kind of row; true when used.
bool HandleRowEvent(CControlUI* row, IListItemUI* item, TEventUI& event);
// The row's background in its state (normal, hot, selected).
void PaintRowBackground(cairo_t* cr, CControlUI* row, IListItemUI* item);
}  // namespace detail

// What every kind of row does, over the control it is drawn as.
template <class Base>
class CListRowUI : public Base, public IListItemUI {
 public:
  void* GetInterface(const char16_t* name) override {
    if (CDuiString(name).CompareNoCase(u"ListItem") == 0) return static_cast<IListItemUI*>(this);
    return Base::GetInterface(name);
  }
  bool Select(bool select = true) override {
    if (!IListItemUI::Select(select)) return false;
    this->Invalidate();
    return true;
  }
  // Sends "itemactivate".
  bool Activate() override {
    if (!Base::Activate()) return false;
    this->Notify(DUI_MSGTYPE_ITEMACTIVATE);
    return true;
  }
  void DoEvent(TEventUI& event) override {
    if (event.Type == UIEVENT_MOUSEENTER || event.Type == UIEVENT_MOUSELEAVE) {
      const bool hot = event.Type == UIEVENT_MOUSEENTER;
      if (hot != m_bHot) {
        m_bHot = hot;
        this->Invalidate();
      }
    }
    if (!detail::HandleRowEvent(this, this, event)) Base::DoEvent(event);
  }
  void PaintBkColor(cairo_t* cr) override {
    Base::PaintBkColor(cr);
    detail::PaintRowBackground(cr, this, this);
  }
};

class CListElementUI : public CListRowUI<CControlUI> {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
};

class CListLabelElementUI : public CListElementUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintText(cairo_t* cr) override;
};

class CListContainerElementUI : public CListRowUI<CHorizontalLayoutUI> {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
 public:
  CListUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  UINT GetControlFlags() const override { return UIFLAG_TABSTOP; }

  TListInfoUI* GetListInfo() override { return &m_ListInfo; }
  int GetCurSel() const override { return m_iCurSel; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  bool SelectMultiItem(int index, bool notify = true) override;
  bool IsMultiSelect() const { return m_bMultiSelect; }
  void SetMultiSelect(bool multi) { m_bMultiSelect = multi; }
  // Indices of the selected rows, in selection order.
  const std::vector<int>& GetSelectedItems() const { return m_aSelected; }
  void UnSelectAllItems();

  bool Add(CControlUI* control) override;
  bool AddAt(CControlUI* control, int index) override;
  bool Remove(CControlUI* control, bool doNotDestroy = false) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void RemoveAll() override;

  void DoEvent(TEventUI& event) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 protected:
  // Renumbers the rows after an insertion or removal and keeps the
  // selection on the same rows.
  void Reindex();

  TListInfoUI m_ListInfo;
  int m_iCurSel = -1;
  std::vector<int> m_aSelected;
  bool m_bMultiSelect = false;
};

// Shared by every kind of list row.
IListItemUI* AsListItem(CControlUI* control);

}  // namespace dui
