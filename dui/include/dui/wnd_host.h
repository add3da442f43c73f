#pragma once
// CWndUI: a control that hosts one native child window (the engine's video
// window, the chart, a web view). The window follows the control: it is
// moved to the control's rectangle (without activation or change of
// z-order) and shown or hidden with it.

#include "dui/control.h"

namespace dui {

class CWndUI : public CControlUI {
 public:
  CWndUI() = default;
  ~CWndUI() override = default;
  const char16_t* GetClass() const override;
  void* GetInterface(const char16_t* name) override;

  // Succeeds only for a live window; the control does not own it.
  bool Attach(HWND window);
  HWND Detach();
  HWND GetHWND() const { return m_hWnd; }

  void SetPos(RECT rc, bool needInvalidate = true) override;
  void SetVisible(bool visible = true) override;
  void SetInternVisible(bool visible = true) override;

 protected:
  void SyncWindow();

  HWND m_hWnd = nullptr;
};

}  // namespace dui
