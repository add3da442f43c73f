#pragma once
// Helpers of the framework tests: skinned test windows built like the
// programs build theirs, waiting on the UI loop, real input with xdotool.

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dui/dui.h"
#include "ui_test_helpers.h"

namespace duitest {

using namespace dui;

using uitest::MoveTo;
using uitest::Settle;
using uitest::WaitFor;
using uitest::Xdotool;
inline void MoveTo(POINT point) { uitest::MoveTo(point.x, point.y); }

// A slider that records the event codes it receives, as derived sliders of
// the programs see them.
class RecordingSlider : public CSliderUI {
 public:
  void DoEvent(TEventUI& event) override {
    events.push_back(event.Type);
    CSliderUI::DoEvent(event);
  }
  std::vector<int> events;
};

// A window built from one file of a skin archive, answering the custom
// elements as the programs do: Caption/PlayPanel/Playlist from their
// files, WndMediaDisplay and LineCharUI as native windows in a CWndUI,
// MySlider as a RecordingSlider, WkeWebkitUI as a plain control.
class SkinWindow : public WindowImplBase {
 public:
  SkinWindow(std::u16string skinFile, int resourceId) : skin_(std::move(skinFile)), resource_(resourceId) {}
  // Creates it at (x, y) and shows it; false when creation failed.
  bool Open(int x, int y, HWND parent = nullptr, dui::DWORD style = 0x10CF0000);

  CControlUI* Find(const char16_t* name) { return m_PaintManager.FindControl(name); }
  // Screen point of a control's centre.
  POINT CentreOf(CControlUI* control);
  // Clicks a control with the real pointer `count` times.
  void Click(CControlUI* control, int count = 1);
  // Saves what the screen shows of the window as PNG; false on failure.
  bool SaveScreenshot(const std::string& path);

  std::vector<std::pair<std::u16string, std::u16string>> notifications;  // type, sender name
  std::vector<std::u16string> clicks;
  bool passClicksToFramework = false;  // closebtn and friends act only when set
  bool Notified(const char16_t* type, const char16_t* sender) const;

 protected:
  const char16_t* GetWindowClassName() const override { return u"XMLWnd"; }
  CDuiString GetSkinFolder() override { return u""; }
  CDuiString GetSkinFile() override { return skin_; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIPRESOURCE; }
  int GetResourceID() const override { return resource_; }
  CControlUI* CreateControl(const char16_t* className) override;
  void Notify(TNotifyUI& msg) override;
  void OnClick(TNotifyUI& msg) override;

 private:
  CControlUI* HostNativeWindow(const char* className, const char* title);
  std::u16string skin_;
  int resource_;
};

}  // namespace duitest
