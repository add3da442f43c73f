#pragma once
// Progress bars and sliders.

#include "dui/label.h"

namespace dui {

class CProgressUI : public CLabelUI {
 public:
  CProgressUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  bool IsHorizontal() const { return m_bHorizontal; }
  void SetHorizontal(bool horizontal = true);
  int GetMinValue() const { return m_nMin; }
  void SetMinValue(int min);
  int GetMaxValue() const { return m_nMax; }
  void SetMaxValue(int max);
  int GetValue() const { return m_nValue; }
  void SetValue(int value);  // clamped to the range
  void SetForeImage(const CDuiString& image);

  void PaintStatusImage(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 protected:
  // The filled part of the bar for the current value.
  RECT ForeRect() const;

  bool m_bHorizontal = true;
  int m_nMin = 0;
  int m_nMax = 100;
  int m_nValue = 0;
  CDuiString m_sForeImage;
  DWORD m_dwForeColor = 0;
};

// A progress bar with a thumb the user drags or a rail the user clicks.
// Events: button-down (13) grabs the thumb or moves it to the pointer,
// mouse-move (9) drags it, button-up ends the drag with "valuechanged" when
// the value differs from the one at the press. The wheel moves by `step`.
class CSliderUI : public CProgressUI {
 public:
  CSliderUI();
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;
  UINT GetControlFlags() const override;

  SIZE GetThumbSize() const { return m_szThumb; }
  void SetThumbSize(SIZE size);
  RECT GetThumbRect() const;
  int GetChangeStep() const { return m_nStep; }
  void SetChangeStep(int step) { m_nStep = step; }
  bool IsDragging() const { return m_bCaptured; }

  void SetEnabled(bool enable = true) override;
  void DoEvent(TEventUI& event) override;
  void PaintStatusImage(cairo_t* cr) override;
  void SetAttribute(const char16_t* name, const char16_t* value) override;

 protected:
  // The value whose thumb centre lies at the pointer.
  int ValueAt(POINT point) const;
  // The pointer corrected by where the thumb was grabbed.
  POINT DraggedPoint(POINT pointer) const;
  void BeginDrag(POINT pointer);
  // Ends with "valuechanged" when the value differs from the one at the press.
  void EndDrag(POINT pointer);

  SIZE m_szThumb{10, 10};
  int m_nStep = 1;
  int m_nDragOffset = 0;     // pointer to thumb centre at the press
  int m_nValueAtPress = 0;
  bool m_bSendMove = false;  // "movevaluechanged" while dragging
  bool m_bCaptured = false;
  bool m_bThumbHot = false;
  CDuiString m_sThumbImage;
  CDuiString m_sThumbHotImage;
  CDuiString m_sThumbPushedImage;
};

}  // namespace dui
