#pragma once
// Containers: a parent owns its children and lays them out inside its
// inset. CContainerUI gives each child the whole inner area; the vertical
// and horizontal layouts stack them, giving fixed sizes first and sharing
// what is left among the children without one. Float children are placed
// at their fixed offset from the container's top-left corner.

#include <memory>
#include <vector>

#include "dui/control.h"

namespace dui {

class CScrollBarUI;

class CContainerUI : public CControlUI {
 public:
  CContainerUI();
  ~CContainerUI() override;

  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  // -- children (the container owns what it is given)
  CControlUI* GetItemAt(int index) const;
  int GetItemIndex(CControlUI* control) const;  // -1 when not a child
  bool SetItemIndex(CControlUI* control, int index);
  int GetCount() const { return static_cast<int>(m_items.size()); }
  virtual bool Add(CControlUI* control);
  virtual bool AddAt(CControlUI* control, int index);
  // Deletes the child unless `doNotDestroy`, which hands it back to the
  // caller instead (who then owns it).
  virtual bool Remove(CControlUI* control, bool doNotDestroy = false);
  virtual bool RemoveAt(int index, bool doNotDestroy = false);
  virtual void RemoveAll();

  RECT GetInset() const { return m_rcInset; }
  void SetInset(RECT inset);
  int GetChildPadding() const { return m_iChildPadding; }
  void SetChildPadding(int padding);
  bool IsMouseChildEnabled() const { return m_bMouseChildEnabled; }
  void SetMouseChildEnabled(bool enable = true) { m_bMouseChildEnabled = enable; }

  // -- scrolling (vertical)
  void EnableScrollBar(bool vertical = true);
  CScrollBarUI* GetVerticalScrollBar() const { return m_pVerticalScrollBar.get(); }
  SIZE GetScrollPos() const { return m_szScrollPos; }
  SIZE GetScrollRange() const { return m_szScrollRange; }
  virtual void SetScrollPos(SIZE pos);
  void LineUp();
  void LineDown();
  void PageUp();
  void PageDown();
  // Scrolls so that the child is inside the visible area.
  void EnsureVisible(CControlUI* control);

  // -- CControlUI
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;
  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  void SetPos(RECT rc, bool needInvalidate = true) override;
  void DoPaint(cairo_t* cr, const RECT& rcPaint) override;
  void DoEvent(TEventUI& event) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;
  CControlUI* FindControl(FINDCONTROLPROC proc, void* data, UINT flags) override;

 protected:
  // The area inside the inset (and left of a shown scroll bar).
  RECT InnerRect() const;
  // Lays the children out in `inner`; returns the height they need, so
  // that the scroll range can follow.
  virtual int LayoutChildren(RECT inner);
  void PlaceFloatChild(CControlUI* child);
  void AdoptChild(CControlUI* child);

  std::vector<std::unique_ptr<CControlUI>> m_items;
  RECT m_rcInset;
  int m_iChildPadding = 0;
  bool m_bMouseChildEnabled = true;
  std::unique_ptr<CScrollBarUI> m_pVerticalScrollBar;
  SIZE m_szScrollPos;
  SIZE m_szScrollRange;
};

class CVerticalLayoutUI : public CContainerUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

 protected:
  int LayoutChildren(RECT inner) override;
};

class CHorizontalLayoutUI : public CContainerUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

 protected:
  int LayoutChildren(RECT inner) override;
};

// A thin bar with a draggable thumb that scrolls its owner container.
class CScrollBarUI : public CControlUI {
 public:
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  void SetOwner(CContainerUI* owner) { m_pOwner = owner; }
  int GetScrollRange() const { return m_nRange; }
  void SetScrollRange(int range);
  int GetScrollPos() const { return m_nScrollPos; }
  void SetScrollPos(int pos);
  int GetLineSize() const { return m_nLineSize; }
  int GetThickness() const { return m_cxyFixed.cx > 0 ? m_cxyFixed.cx : 8; }
  RECT GetThumbRect() const;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 private:
  CContainerUI* m_pOwner = nullptr;
  int m_nRange = 0;
  int m_nScrollPos = 0;
  int m_nLineSize = 22;
  int m_nDragOffset = -1;  // pointer offset inside the thumb while dragging
  bool m_bThumbHot = false;
  DWORD m_dwThumbColor = 0xFF4A505A;
  DWORD m_dwThumbHotColor = 0xFF6B7380;
  CDuiString m_sThumbImage;
};

}  // namespace dui
