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

class CListElementUI : public CControlUI, public IListItemUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  bool Select(bool select = true) override;
  bool Activate() override;  // "itemactivate"
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(cairo_t* cr) override;
};

class CListLabelElementUI : public CListElementUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  SIZE EstimateSize(SIZE available) override;
  void PaintText(cairo_t* cr) override;
};

class CListContainerElementUI : public CHorizontalLayoutUI, public IListItemUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  bool Select(bool select = true) override;
  bool Activate() override;
  void DoEvent(TEventUI& event) override;
  void PaintBkColor(cairo_t* cr) override;
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
