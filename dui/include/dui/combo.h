#pragma once
// A drop-down list: the combo shows the selected item; a click opens a
// pop-up listing the items, and choosing one selects it ("itemselect").
// The items are CListLabelElementUI children of the combo.

#include "dui/list.h"

namespace dui {

class CComboUI : public CContainerUI, public IListOwnerUI {
 public:
  CComboUI();
  ~CComboUI() override;
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  UINT GetControlFlags() const override { return UIFLAG_TABSTOP | UIFLAG_SETCURSOR; }

  TListInfoUI* GetListInfo() override { return &m_ListInfo; }
  int GetCurSel() const override { return m_iCurSel; }
  bool SelectItem(int index, bool takeFocus = false, bool notify = true) override;
  CDuiString GetText() const override;
  SIZE GetDropBoxSize() const { return m_szDropBox; }
  void SetDropBoxSize(SIZE size) { m_szDropBox = size; }
  bool IsDropped() const { return m_hDropWindow != nullptr; }
  // Opens or closes the pop-up.
  bool Activate() override;
  void CloseDropDown();

  bool AddAt(CControlUI* control, int index) override;
  bool RemoveAt(int index, bool doNotDestroy = false) override;
  void SetEnabled(bool enable = true) override;
  void DoEvent(TEventUI& event) override;
  void DoPaint(cairo_t* cr, const RECT& rcPaint) override;
  void PaintStatusImage(cairo_t* cr) override;
  void PaintText(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;
  CControlUI* FindControl(FINDCONTROLPROC proc, void* data, UINT flags) override;

 protected:
  int LayoutChildren(RECT inner) override;  // items are shown in the pop-up only

 private:
  void Reindex();
  LRESULT DropWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  int ItemAtDropPoint(POINT point) const;
  void PaintDropWindow(cairo_t* cr, const RECT& client);
  int ItemHeight() const;

  TListInfoUI m_ListInfo;
  int m_iCurSel = -1;
  SIZE m_szDropBox{0, 150};
  RECT m_rcTextPadding{6, 0, 24, 0};
  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sPushedImage;
  CDuiString m_sDisabledImage;
  DWORD m_dwTextColor = 0;
  DWORD m_dwArrowColor = 0xFFB8BEC8;
  DWORD m_dwDropBkColor = 0xFF232730;
  DWORD m_dwDropBorderColor = 0xFF3A404B;
  bool m_bHot = false;
  bool m_bPressed = false;
  HWND m_hDropWindow = nullptr;
  int m_iDropHot = -1;
  int m_iDropFirst = 0;  // first item shown (the pop-up scrolls)
};

}  // namespace dui
