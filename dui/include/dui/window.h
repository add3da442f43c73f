#pragma once
// Windows of the framework.
//
// CWindowWnd wraps one native window: create, show (also modally), close,
// centre, icon, messages. WindowImplBase is a window whose content is a
// control tree built from a skin file: it builds the tree when the window
// is created, calls InitWindow, routes window messages to its paint
// manager and notifications to Notify, where "click" goes on to OnClick.

#include "dui/paint_manager.h"

namespace dui {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  virtual ~CWindowWnd();
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Null when the window cannot be created (for a skinned window: its skin
  // failed to load, which is reported).
  HWND Create(HWND parent, const char16_t* name, DWORD style, DWORD exStyle, int x = platform::CW_USEDEFAULT,
              int y = platform::CW_USEDEFAULT, int cx = platform::CW_USEDEFAULT, int cy = platform::CW_USEDEFAULT,
              void* menu = nullptr);
  HWND Create(HWND parent, const char16_t* name, DWORD style, DWORD exStyle, const RECT& rc);
  void ShowWindow(bool show = true, bool takeFocus = true);
  // Shows the window and runs the message loop until it is closed; returns
  // the code given to Close. The owner takes no input meanwhile. The object
  // may have been deleted by OnFinalMessage when this returns.
  UINT ShowModal();
  // Closes the window (posted): ShowModal returns `ret`.
  void Close(UINT ret = platform::IDOK);
  void CenterWindow();
  // Window icon from the program's icon resource `resourceId`.
  void SetIcon(UINT resourceId);
  void ResizeClient(int cx = -1, int cy = -1);
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  LRESULT PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

 protected:
  virtual const char16_t* GetWindowClassName() const = 0;
  virtual const char16_t* GetSuperClassName() const { return nullptr; }
  virtual UINT GetClassStyle() const { return 0; }
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // After the window is gone (m_hWnd is null again); may delete the object.
  virtual void OnFinalMessage(HWND /*window*/) {}
  bool WasCreatedAtDefaultPosition() const { return m_bDefaultPosition; }
  // Destroys the window without calling back into this object.
  void DestroyOwnWindow();
  // Child windows keep the size they were created with.
  bool IsChildWindow() const { return (m_dwStyle & platform::WS_CHILD) != 0; }

  HWND m_hWnd = nullptr;

 private:
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool m_bDefaultPosition = false;
  DWORD m_dwStyle = 0;
};

class WindowImplBase : public CWindowWnd, public INotifyUI, public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;
  ~WindowImplBase() override;

  virtual void InitWindow() {}
  void Notify(TNotifyUI& msg) override;
  // closebtn closes, minbtn minimises, maxbtn maximises, restorebtn restores.
  virtual void OnClick(TNotifyUI& msg);
  // Asked for each skin element the framework does not know; a new control
  // (owned by the tree from then on) or null.
  CControlUI* CreateControl(const char16_t* /*className*/) override { return nullptr; }
  CPaintManagerUI* GetPaintManager() { return &m_PaintManager; }
  // True for controls that are only shown (labels, layouts, pictures, ...),
  // false for those the user works (buttons, sliders, edits, lists, ...).
  static bool IsInStaticControl(CControlUI* control);

 protected:
  virtual CDuiString GetSkinFolder() = 0;
  virtual CDuiString GetSkinFile() = 0;
  virtual UILIB_RESOURCETYPE GetResourceType() const { return UILIB_FILE; }
  virtual int GetResourceID() const { return 0; }
  virtual CDuiString GetZIPFileName() const { return {}; }

  // Any key pressed; non-zero when handled. Nothing is done by default.
  virtual LRESULT ResponseDefaultKeyEvent(WPARAM key);
  virtual LRESULT OnCreate(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnClose(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnDestroy(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  // Sizing edges (the skin's sizebox), the caption (its caption rectangle,
  // where no working control lies), else the client area.
  virtual LRESULT OnNcHitTest(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnGetMinMaxInfo(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSize(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSysCommand(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKeyDown(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnKillFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT OnSetFocus(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  virtual LRESULT HandleCustomMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  CPaintManagerUI m_PaintManager;

 private:
  bool LoadSkinResources(std::string* error);
  void ShowMaximizeState();
};

}  // namespace dui
