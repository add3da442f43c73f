#pragma once
// A one-line text box drawn by the framework, with a caret, keyboard and
// input-method characters. "multiline" lays long text out on several lines
// (for read-only information boxes).

#include "dui/label.h"

namespace dui {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  UINT GetControlFlags() const override;

  void SetText(const CDuiString& text) override;
  bool IsReadOnly() const { return m_bReadOnly; }
  void SetReadOnly(bool readOnly = true);
  bool IsNumberOnly() const { return m_bNumberOnly; }
  void SetNumberOnly(bool numberOnly = true) { m_bNumberOnly = numberOnly; }
  bool IsPasswordMode() const { return m_bPassword; }
  void SetPasswordMode(bool password = true);
  int GetMaxChar() const { return m_nMaxChar; }
  void SetMaxChar(int count) { m_nMaxChar = count; }
  int GetCaretPosition() const { return m_nCaret; }
  void SetCaretPosition(int index);

  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;
  void PaintText(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 private:
  CDuiString ShownText() const;
  RECT TextRect() const;
  void InsertCharacter(char16_t ch);
  bool HandleKey(WPARAM key);
  void Changed();

  int m_nCaret = 0;
  int m_nMaxChar = 255;
  bool m_bReadOnly = false;
  bool m_bNumberOnly = false;
  bool m_bPassword = false;
  bool m_bCaretShown = false;
  bool m_bHot = false;
  CDuiString m_sNormalImage;
  CDuiString m_sHotImage;
  CDuiString m_sFocusedImage;
  CDuiString m_sDisabledImage;
  CDuiString m_sTipValue;
  DWORD m_dwTipColor = 0xFF8A9099;
  DWORD m_dwCaretColor = 0;
};

}  // namespace dui
