#pragma once
// CControlUI: the base of every windowless control. A control lives in a
// tree owned by its parent container (the root by the paint manager), is
// laid out by its parent (SetPos) and painted in a separate pass (DoPaint).

#include <cairo.h>

#include "dui/delegate.h"
#include "dui/types.h"

namespace dui {

class CControlUI {
 public:
  CControlUI();
  virtual ~CControlUI();
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // -- identity
  virtual const char16_t* GetClass() const;
  // The control itself when it is (or derives from) the named kind
  // ("Control", "Label", "Button", ...), else null.
  virtual void* GetInterface(const char16_t* name);
  virtual UINT GetControlFlags() const { return 0; }
  const CDuiString& GetName() const { return m_sName; }
  virtual void SetName(const CDuiString& name);
  virtual CDuiString GetText() const { return m_sText; }
  virtual void SetText(const CDuiString& text);
  const CDuiString& GetToolTip() const { return m_sToolTip; }
  void SetToolTip(const CDuiString& text) { m_sToolTip = text; }
  const CDuiString& GetUserData() const { return m_sUserData; }
  void SetUserData(const CDuiString& data) { m_sUserData = data; }
  UINT_PTR GetTag() const { return m_pTag; }
  void SetTag(UINT_PTR tag) { m_pTag = tag; }

  // -- tree
  CPaintManagerUI* GetManager() const { return m_pManager; }
  // Joins the control (and, for containers, its children) to a manager.
  // With `init`, names are registered and DoInit runs once per control.
  virtual void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true);
  CControlUI* GetParent() const { return m_pParent; }

  // -- geometry (client coordinates of the paint window)
  const RECT& GetPos() const { return m_rcItem; }
  virtual void SetPos(RECT rc, bool needInvalidate = true);
  int GetWidth() const { return m_rcItem.right - m_rcItem.left; }
  int GetHeight() const { return m_rcItem.bottom - m_rcItem.top; }
  int GetX() const { return m_rcItem.left; }
  int GetY() const { return m_rcItem.top; }
  RECT GetPadding() const { return m_rcPadding; }
  void SetPadding(RECT padding);
  // Offset of a float control from its parent's top-left corner.
  SIZE GetFixedXY() const { return m_cXY; }
  void SetFixedXY(SIZE xy);
  int GetFixedWidth() const { return m_cxyFixed.cx; }
  void SetFixedWidth(int width);
  int GetFixedHeight() const { return m_cxyFixed.cy; }
  void SetFixedHeight(int height);
  int GetMinWidth() const { return m_cxyMin.cx; }
  void SetMinWidth(int width);
  int GetMaxWidth() const { return m_cxyMax.cx; }
  void SetMaxWidth(int width);
  int GetMinHeight() const { return m_cxyMin.cy; }
  void SetMinHeight(int height);
  int GetMaxHeight() const { return m_cxyMax.cy; }
  void SetMaxHeight(int height);
  bool IsFloat() const { return m_bFloat; }
  void SetFloat(bool isFloat = true);
  // The size the control asks of its parent; 0 in a dimension leaves it to
  // the parent.
  virtual SIZE EstimateSize(SIZE available);

  // -- state
  // Visible itself and all its ancestors are.
  virtual bool IsVisible() const { return m_bVisible && m_bInternVisible; }
  virtual void SetVisible(bool visible = true);
  // Called by the parent when the ancestors' visibility changes.
  virtual void SetInternVisible(bool visible = true);
  virtual bool IsEnabled() const { return m_bEnabled; }
  virtual void SetEnabled(bool enable = true);
  bool IsMouseEnabled() const { return m_bMouseEnabled; }
  void SetMouseEnabled(bool enable = true) { m_bMouseEnabled = enable; }
  bool IsKeyboardEnabled() const { return m_bKeyboardEnabled; }
  void SetKeyboardEnabled(bool enable = true) { m_bKeyboardEnabled = enable; }
  bool IsFocused() const { return m_bFocused; }
  virtual void SetFocus();

  // -- appearance
  DWORD GetBkColor() const { return m_dwBackColor; }
  void SetBkColor(DWORD color);
  DWORD GetBkColor2() const { return m_dwBackColor2; }
  void SetBkColor2(DWORD color);
  DWORD GetBorderColor() const { return m_dwBorderColor; }
  void SetBorderColor(DWORD color);
  void SetFocusBorderColor(DWORD color);
  int GetBorderSize() const { return m_nBorderSize; }
  void SetBorderSize(int size);
  SIZE GetBorderRound() const { return m_cxyBorderRound; }
  void SetBorderRound(SIZE round);
  const CDuiString& GetBkImage() const { return m_sBkImage; }
  void SetBkImage(const CDuiString& image);

  // -- painting: never changes geometry
  virtual void DoPaint(cairo_t* cr, const RECT& rcPaint);
  virtual void PaintBkColor(cairo_t* cr);
  virtual void PaintBkImage(cairo_t* cr);
  virtual void PaintStatusImage(cairo_t* cr);
  virtual void PaintText(cairo_t* cr);
  virtual void PaintBorder(cairo_t* cr);
  // Draws an image descriptor ("file='x.png' source='0,0,20,20' ...", or a
  // plain name) into the control's rectangle; false when it cannot.
  bool DrawImage(cairo_t* cr, const CDuiString& image);

  // -- events and attributes
  // OnEvent delegates first (false stops the event), then DoEvent.
  void Event(TEventUI& event);
  virtual void DoEvent(TEventUI& event);
  virtual void DoInit() {}
  // A click or key activation; false when the control is disabled/hidden.
  virtual bool Activate();
  virtual void SetAttribute(const char16_t* name, const char16_t* value);
  // Applies `name="value" ...` pairs in order.
  CControlUI* ApplyAttributeList(const char16_t* list);
  virtual CControlUI* FindControl(FINDCONTROLPROC proc, void* data, UINT flags);

  // -- invalidation: only schedules work
  void Invalidate();
  bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
  void NeedUpdate();
  void NeedParentUpdate();

  CEventSource OnInit;
  CEventSource OnDestroy;
  CEventSource OnSize;
  CEventSource OnEvent;
  CEventSource OnNotify;

 protected:
  // Clips to the control's (rounded) rectangle, then paints its own layers
  // under the border: background colour and picture, state picture, text.
  void PaintOwnLayers(cairo_t* cr);
  // Sends a notification from this control through its manager.
  void Notify(const char16_t* type, WPARAM wParam = 0, LPARAM lParam = 0);
  // True when an ancestor is a list element: static children of list rows
  // leave clicks and double-clicks to their row.
  bool IsInsideListElement() const;

  CPaintManagerUI* m_pManager = nullptr;
  CControlUI* m_pParent = nullptr;
  CDuiString m_sName;
  CDuiString m_sText;
  CDuiString m_sToolTip;
  CDuiString m_sUserData;
  CDuiString m_sBkImage;
  UINT_PTR m_pTag = 0;
  RECT m_rcItem;
  RECT m_rcPadding;
  SIZE m_cXY;
  SIZE m_cxyFixed;
  SIZE m_cxyMin;
  SIZE m_cxyMax{9999, 9999};
  SIZE m_cxyBorderRound;
  DWORD m_dwBackColor = 0;
  DWORD m_dwBackColor2 = 0;
  DWORD m_dwBorderColor = 0;
  DWORD m_dwFocusBorderColor = 0;
  int m_nBorderSize = 0;
  bool m_bUpdateNeeded = true;
  bool m_bVisible = true;
  bool m_bInternVisible = true;
  bool m_bEnabled = true;
  bool m_bMouseEnabled = true;
  bool m_bKeyboardEnabled = true;
  bool m_bFocused = false;
  bool m_bFloat = false;
  bool m_bInited = false;

  friend class CPaintManagerUI;
};

}  // namespace dui
