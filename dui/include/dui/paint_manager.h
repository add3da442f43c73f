#pragma once
// CPaintManagerUI: the control tree of one window, its layout and painting,
// the routing of window messages to controls and of notifications to the
// window. Also holds the process-wide skin resources (archive, folder).

#include <cairo.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dui/control.h"
#include "dui/skin_archive.h"

typedef struct _PangoFontDescription PangoFontDescription;

namespace dui {

struct TFontInfo {
  CDuiString sFontName;
  int iSize = 12;          // pixels
  bool bBold = false;
  bool bUnderline = false;
  bool bItalic = false;
  PangoFontDescription* description = nullptr;  // owned by the manager
};

struct TImageInfo {
  cairo_surface_t* surface = nullptr;  // owned by the manager
  int width = 0;
  int height = 0;
};

class CPaintManagerUI {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI();
  CPaintManagerUI(const CPaintManagerUI&) = delete;
  CPaintManagerUI& operator=(const CPaintManagerUI&) = delete;

  // -- process-wide resources
  static void SetInstance(void* instance);
  static void* GetInstance();
  // The program folder, ending in '/'.
  static CDuiString GetInstancePath();
  static void SetResourcePath(const CDuiString& folder);
  static CDuiString GetResourcePath();
  // The skin archive every window reads from until another is set.
  static bool SetResourceZip(const uint8_t* data, size_t size);
  static bool SetResourceZipFile(const CDuiString& path);
  static bool SetResourceZipFromResource(int resourceId);
  static bool HasResourceZip();
  // A skin file from the archive (when one is set) or the resource folder.
  static bool ReadResourceFile(const CDuiString& name, std::vector<uint8_t>* bytes, std::string* error = nullptr);

  // -- window
  void Init(HWND paintWindow);
  HWND GetPaintWindow() const { return m_hWndPaint; }
  // Takes the tree (the manager owns its root) and initialises it.
  bool AttachDialog(CControlUI* root);
  CControlUI* GetRoot() const { return m_pRoot.get(); }
  // Joins a control added at run time.
  void InitControl(CControlUI* control, CControlUI* parent);
  // Forgets every reference to a control that is going away.
  void ReapObjects(CControlUI* control);
  void RenameControl(CControlUI* control, const CDuiString& oldName);

  // -- finding
  CControlUI* FindControl(const char16_t* name) const;  // null when absent
  CControlUI* FindControl(POINT point) const;
  CControlUI* FindSubControlByName(CControlUI* parent, const char16_t* name) const;

  // -- notifications
  void SendNotify(TNotifyUI& msg, bool async = false);
  void SendNotify(CControlUI* sender, const char16_t* type, WPARAM wParam = 0, LPARAM lParam = 0, bool async = false);
  bool AddNotifier(INotifyUI* notifier);
  bool RemoveNotifier(INotifyUI* notifier);

  // -- layout and painting
  void Invalidate();
  void Invalidate(const RECT& rect);
  // Marks the layout stale; it is redone before the next paint, hit test
  // or EnsureLayout, and soon after on its own.
  void NeedUpdate();
  bool IsUpdateNeeded() const { return m_bUpdateNeeded; }
  // Lays the tree out now if it is stale (against the client area, or the
  // size given to SetLayoutSize for a manager without a window).
  void EnsureLayout();
  void SetLayoutSize(SIZE size);
  // Paints the area into the context; lays out first when needed.
  void Paint(cairo_t* cr, const RECT& area);
  // Window messages; true when consumed (lRes holds the answer).
  bool MessageHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

  // -- window attributes from the skin
  SIZE GetInitSize() const { return m_szInitWindowSize; }
  void SetInitSize(int cx, int cy);
  RECT GetSizeBox() const { return m_rcSizeBox; }
  void SetSizeBox(const RECT& box) { m_rcSizeBox = box; }
  RECT GetCaptionRect() const { return m_rcCaption; }
  void SetCaptionRect(const RECT& caption) { m_rcCaption = caption; }
  SIZE GetRoundCorner() const { return m_szRoundCorner; }
  void SetRoundCorner(int cx, int cy) { m_szRoundCorner = {cx, cy}; }
  SIZE GetMinInfo() const { return m_szMinWindow; }
  void SetMinInfo(int cx, int cy) { m_szMinWindow = {cx, cy}; }
  SIZE GetMaxInfo() const { return m_szMaxWindow; }
  void SetMaxInfo(int cx, int cy) { m_szMaxWindow = {cx, cy}; }

  // -- defaults, fonts, images
  void AddDefaultAttributeList(const CDuiString& controlName, const CDuiString& list);
  const char16_t* GetDefaultAttributeList(const CDuiString& controlName) const;
  void AddFont(int id, const CDuiString& name, int size, bool bold, bool underline, bool italic, bool isDefault = false);
  // The font of that id, or the default font.
  const TFontInfo* GetFont(int id) const;
  DWORD GetDefaultFontColor() const { return m_dwDefaultFontColor; }
  void SetDefaultFontColor(DWORD color) { m_dwDefaultFontColor = color; }
  DWORD GetDefaultDisabledColor() const { return m_dwDefaultDisabledColor; }
  void SetDefaultDisabledColor(DWORD color) { m_dwDefaultDisabledColor = color; }
  // The picture of that skin file; null (reported once) when it is missing
  // or not a PNG picture.
  const TImageInfo* GetImage(const CDuiString& name);

  // -- option groups
  void AddOptionGroup(const CDuiString& group, CControlUI* option);
  std::vector<CControlUI*> GetOptionGroup(const CDuiString& group) const;
  void RemoveOptionGroup(const CDuiString& group, CControlUI* option);

  // -- focus, capture, timers, cursor
  CControlUI* GetFocus() const { return m_pFocus; }
  void SetFocus(CControlUI* control);
  CControlUI* GetEventClick() const { return m_pEventClick; }
  bool SetTimer(CControlUI* control, UINT timerId, UINT elapseMs);
  bool KillTimer(CControlUI* control, UINT timerId);
  void KillTimer(CControlUI* control);
  void SetCursor(const char* cursorName);
  POINT GetMousePos() const { return m_ptLastMousePos; }

 private:
  struct Timer {
    CControlUI* control;
    UINT id;
    uintptr_t windowTimerId;
  };

  void RegisterNames(CControlUI* control);
  bool HandleMouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool HandleKeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void SetHover(CControlUI* control, const TEventUI& base);
  void SendEvent(CControlUI* control, int type, const TEventUI& base);
  TEventUI MakeEvent(POINT point, WPARAM keyState) const;
  bool HandleTimer(uintptr_t windowTimerId);
  void ScheduleLayout();
  void DeliverQueuedNotifications();

  HWND m_hWndPaint = nullptr;
  std::unique_ptr<CControlUI> m_pRoot;
  std::map<std::u16string, CControlUI*> m_mNameHash;
  std::map<std::u16string, std::vector<CControlUI*>> m_mOptionGroups;
  std::map<std::u16string, std::u16string> m_mDefaultAttributes;  // by lower-case control name
  std::map<int, TFontInfo> m_mFonts;
  int m_nDefaultFont = -1;
  std::map<std::u16string, TImageInfo> m_mImages;  // by lower-case file name; null surface: missing
  std::vector<INotifyUI*> m_aNotifiers;
  std::vector<TNotifyUI> m_aAsyncNotify;
  std::vector<Timer> m_aTimers;
  uintptr_t m_nextTimerId = 0x2000;  // window timer ids the manager uses
  CControlUI* m_pFocus = nullptr;
  CControlUI* m_pEventHover = nullptr;
  CControlUI* m_pEventClick = nullptr;
  POINT m_ptLastMousePos{-1, -1};
  std::string m_sCursor;
  SIZE m_szLayout;  // layout size without a window
  SIZE m_szInitWindowSize;
  SIZE m_szMinWindow;
  SIZE m_szMaxWindow;
  SIZE m_szRoundCorner;
  RECT m_rcSizeBox;
  RECT m_rcCaption;
  DWORD m_dwDefaultFontColor = 0xFFE6E8EB;
  DWORD m_dwDefaultDisabledColor = 0xFF6B7079;
  bool m_bUpdateNeeded = true;
  bool m_bLayoutScheduled = false;
  bool m_bNotifyScheduled = false;
  // False once the manager is destroyed: idle callbacks and handlers that
  // may have destroyed the window check it.
  std::shared_ptr<bool> m_alive;
};

}  // namespace dui
