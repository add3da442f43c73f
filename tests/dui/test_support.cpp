#include "test_support.h"

#include <gtk/gtk.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/text.h"
#include "platform/ui/message_loop.h"
#include "platform/ui/window.h"

namespace duitest {

bool SkinWindow::Open(int x, int y, HWND parent, dui::DWORD style) {
  if (!Create(parent, u"Kestra", style, 0x110, x, y)) return false;
  ShowWindow(true, true);
  platform::ui::SetForegroundWindow(m_hWnd);
  Settle(150);
  return true;
}

POINT SkinWindow::CentreOf(CControlUI* control) {
  const RECT& r = control->GetPos();
  return platform::ui::ClientToScreen(m_hWnd, {(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void SkinWindow::Click(CControlUI* control, int count) {
  MoveTo(CentreOf(control));
  Settle(60);
  Xdotool("click --repeat " + std::to_string(count) + " --delay 80 1");
}

bool SkinWindow::SaveScreenshot(const std::string& path) {
  Settle(200);
  GtkWidget* canvas = platform::ui::GetClientWidget(m_hWnd);
  GtkWidget* top = canvas ? gtk_widget_get_toplevel(canvas) : nullptr;
  GdkWindow* window = top ? gtk_widget_get_window(top) : nullptr;
  if (!window) return false;
  GdkPixbuf* picture =
      gdk_pixbuf_get_from_window(window, 0, 0, gdk_window_get_width(window), gdk_window_get_height(window));
  if (!picture) return false;
  const bool saved = gdk_pixbuf_save(picture, path.c_str(), "png", nullptr, nullptr);
  g_object_unref(picture);
  return saved;
}

bool SkinWindow::Notified(const char16_t* type, const char16_t* sender) const {
  for (const auto& [t, s] : notifications) {
    if (t == type && s == sender) return true;
  }
  return false;
}

CControlUI* SkinWindow::HostNativeWindow(const char* className, const char* title) {
  platform::ui::WindowSpec spec;
  spec.className = className;
  spec.title = title;
  spec.style = platform::WS_CHILD | platform::WS_VISIBLE;
  spec.parent = m_hWnd;
  spec.x = spec.y = spec.width = spec.height = 0;
  auto* host = new CWndUI();
  host->Attach(platform::ui::CreateNativeWindow(spec));
  return host;
}

CControlUI* SkinWindow::CreateControl(const char16_t* className) {
  const CDuiString name(className);
  auto build = [&](const char16_t* file) {
    CDialogBuilder builder;
    return builder.Create(file, &m_PaintManager, this);
  };
  if (name.CompareNoCase(u"Caption") == 0) return build(u"Caption.xml");  // the archive holds "caption.xml"
  if (name.CompareNoCase(u"PlayPanel") == 0) return build(u"PlayPanel.xml");
  if (name.CompareNoCase(u"Playlist") == 0) return build(u"Playlist.xml");
  if (name.CompareNoCase(u"WndMediaDisplay") == 0) return HostNativeWindow("#32770", "WndMediaDisplay");
  if (name.CompareNoCase(u"LineCharUI") == 0) {
    if (!platform::ui::IsWindowClassRegistered("#32775")) {
      platform::ui::RegisterWindowClass({"#32775", [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
                                           if (m != platform::WM_PAINT) return platform::ui::DefWindowProc(h, m, w, l);
                                           cairo_t* cr = reinterpret_cast<cairo_t*>(w);
                                           cairo_set_source_rgb(cr, 0, 0, 0);
                                           cairo_paint(cr);
                                           return 0;
                                         }});
    }
    return HostNativeWindow("#32775", "WndImageCalibration");
  }
  if (name.CompareNoCase(u"MySlider") == 0) return new RecordingSlider();
  if (name.CompareNoCase(u"WkeWebkitUI") == 0) return new CControlUI();
  return nullptr;
}

void SkinWindow::Notify(TNotifyUI& msg) {
  notifications.emplace_back(msg.sType.str(), msg.pSender ? msg.pSender->GetName().str() : u"");
  WindowImplBase::Notify(msg);
}

void SkinWindow::OnClick(TNotifyUI& msg) {
  clicks.push_back(msg.pSender->GetName().str());
  if (passClicksToFramework) WindowImplBase::OnClick(msg);
}

}  // namespace duitest
