#pragma once
// Text controls.

#include "dui/control.h"

namespace dui {

class CLabelUI : public CControlUI {
 public:
  CLabelUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  UINT GetTextStyle() const { return m_uTextStyle; }
  void SetTextStyle(UINT style);
  DWORD GetTextColor() const { return m_dwTextColor; }
  void SetTextColor(DWORD color);
  DWORD GetDisabledTextColor() const { return m_dwDisabledTextColor; }
  void SetDisabledTextColor(DWORD color);
  int GetFont() const { return m_iFont; }
  void SetFont(int font);
  RECT GetTextPadding() const { return m_rcTextPadding; }
  void SetTextPadding(RECT padding);

  SIZE EstimateSize(SIZE available) override;
  void PaintText(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 protected:
  // Colour of the text in the current state (0: the manager's default).
  virtual DWORD CurrentTextColor() const;
  void PaintTextIn(cairo_t* cr, const CDuiString& text, DWORD color);

  UINT m_uTextStyle = DT_VCENTER | DT_SINGLELINE;
  DWORD m_dwTextColor = 0;
  DWORD m_dwDisabledTextColor = 0;
  int m_iFont = -1;
  RECT m_rcTextPadding;
  bool m_bAutoCalcWidth = false;
};

// Multi-line text, wrapped at word boundaries.
class CTextUI : public CLabelUI {
 public:
  CTextUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
};

}  // namespace dui
