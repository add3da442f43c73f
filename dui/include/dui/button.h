#pragma once
// Buttons with normal, hot, pushed, focused and disabled pictures, and
// options (selectable buttons, exclusive within a named group).

#include "dui/label.h"

namespace dui {

class CButtonUI : public CLabelUI {
 public:
  CButtonUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  UINT GetControlFlags() const override;

  bool Activate() override;  // sends "click"
  void SetEnabled(bool enable = true) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

  void SetNormalImage(const CDuiString& image);
  void SetHotImage(const CDuiString& image);
  void SetPushedImage(const CDuiString& image);
  void SetDisabledImage(const CDuiString& image);
  void SetForeImage(const CDuiString& image);
  bool IsHot() const { return m_bHot; }
  bool IsPushed() const { return m_bPushed; }

 protected:
  DWORD CurrentTextColor() const override;
  // State background and picture; false when the state has no picture.
  void PaintButtonState(cairo_t* cr);

  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sPushedImage;
  CDuiString m_sFocusedImage;
  CDuiString m_sDisabledImage;
  CDuiString m_sForeImage;
  CDuiString m_sHotForeImage;
  DWORD m_dwHotTextColor = 0;
  DWORD m_dwPushedTextColor = 0;
  DWORD m_dwFocusedTextColor = 0;
  DWORD m_dwHotBkColor = 0;
  DWORD m_dwPushedBkColor = 0;
  bool m_bHot = false;
  bool m_bPushed = false;    // pressed and the pointer over it
  bool m_bCaptured = false;  // pressed, pointer anywhere
};

class COptionUI : public CButtonUI {
 public:
  ~COptionUI() override;
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  void SetManager(CPaintManagerUI* manager, CControlUI* parent, bool init = true) override;
  const CDuiString& GetGroup() const { return m_sGroupName; }
  void SetGroup(const CDuiString& group);
  bool IsSelected() const { return m_bSelected; }
  // Selecting one option of a group clears the others; "selectchanged" is
  // sent for each change when `notify`.
  virtual void Selected(bool selected, bool notify = true);
  bool Activate() override;  // selects (a grouped option never unselects), then "click"

  void PaintStatusImage(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 protected:
  DWORD CurrentTextColor() const override;

  CDuiString m_sGroupName;
  CDuiString m_sSelectedImage;
  CDuiString m_sSelectedHotImage;
  CDuiString m_sSelectedForeImage;
  DWORD m_dwSelectedTextColor = 0;
  DWORD m_dwSelectedBkColor = 0;
  bool m_bSelected = false;
};

}  // namespace dui
