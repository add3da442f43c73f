// Monitor size, full-screen geometry and window placement.

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include "platform/ui/screen.h"
#include "ui_test_support.h"

namespace {

using namespace platform;
using uitest::RecordingWindow;
using uitest::WaitFor;

TEST(ScreenTest, MetricsDescribeTheMonitorAndNoFrame) {
  RecordingWindow window(10, 10, 100, 100);
  const RECT monitor = ui::MonitorRectOf(window.hwnd);
  EXPECT_GT(RectWidth(monitor), 0);
  EXPECT_EQ(ui::MonitorWidthOf(window.hwnd), RectWidth(monitor));
  EXPECT_EQ(ui::GetSystemMetrics(SM_CXSCREEN), RectWidth(monitor));
  EXPECT_EQ(ui::GetSystemMetrics(SM_CYSCREEN), RectHeight(monitor));
  EXPECT_EQ(ui::GetSystemMetrics(SM_CXDLGFRAME) + ui::GetSystemMetrics(SM_CXBORDER), 0);
}

TEST(ScreenTest, FullScreenRectPutsTheFrameOutsideTheScreen) {
  EXPECT_EQ(ui::FullScreenRect(1920, 1080, 3, 1, 3, 1), (RECT{-4, -4, 1924, 1084}));
  EXPECT_EQ(ui::FullScreenRect(1366, 768, 0, 0, 0, 0), (RECT{0, 0, 1366, 768}));
  // Our windows have no frame: full screen is exactly the screen.
  const RECT screen = ui::FullScreenRect();
  EXPECT_EQ(screen, (RECT{0, 0, ui::GetSystemMetrics(SM_CXSCREEN), ui::GetSystemMetrics(SM_CYSCREEN)}));
}

TEST(ScreenTest, PlacementSurvivesMaximiseAndTopmost) {
  RecordingWindow window(100, 120, 400, 300);
  WINDOWPLACEMENT saved;
  ASSERT_TRUE(ui::GetWindowPlacement(window.hwnd, &saved));
  EXPECT_EQ(saved.showCmd, static_cast<uint32_t>(SW_SHOWNORMAL));
  EXPECT_EQ(saved.rcNormalPosition, (RECT{100, 120, 500, 420}));

  ui::ShowWindowCommand(window.hwnd, SW_SHOWMAXIMIZED);
  EXPECT_TRUE(ui::IsZoomed(window.hwnd));
  EXPECT_EQ(RectWidth(ui::GetWindowRect(window.hwnd)), RectWidth(ui::MonitorRectOf(window.hwnd)));
  WINDOWPLACEMENT maximised;
  ui::GetWindowPlacement(window.hwnd, &maximised);
  EXPECT_EQ(maximised.showCmd, static_cast<uint32_t>(SW_SHOWMAXIMIZED));
  EXPECT_EQ(maximised.rcNormalPosition, saved.rcNormalPosition);

  const RECT full = ui::FullScreenRect();
  ui::SetWindowPos(window.hwnd, HWND_TOPMOST, full.left, full.top, RectWidth(full), RectHeight(full), 0);
  EXPECT_TRUE(ui::IsTopmost(window.hwnd));
  ui::SetWindowPlacement(window.hwnd, &saved);
  ui::SetWindowPos(window.hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(ui::IsTopmost(window.hwnd));
  EXPECT_FALSE(ui::IsZoomed(window.hwnd));
  EXPECT_EQ(ui::GetWindowRect(window.hwnd), saved.rcNormalPosition);
  // The window system agrees once the changes have gone through.
  EXPECT_TRUE(WaitFor([&] {
    WINDOWPLACEMENT now;
    ui::GetWindowPlacement(window.hwnd, &now);
    return now.rcNormalPosition == saved.rcNormalPosition && ui::GetClientRect(window.hwnd) == RECT{0, 0, 400, 300};
  }));
}

TEST(ScreenTest, CenterWindowCentresOnTheMonitor) {
  RecordingWindow window(0, 0, 400, 300);
  ui::CenterWindow(window.hwnd);
  const RECT monitor = ui::MonitorRectOf(window.hwnd);
  const RECT rect = ui::GetWindowRect(window.hwnd);
  EXPECT_NEAR(rect.left + 200, (monitor.left + monitor.right) / 2, 1);
  EXPECT_NEAR(rect.top + 150, (monitor.top + monitor.bottom) / 2, 1);
}

}  // namespace

namespace {

TEST(ScreenTest, ScreenSizeChangeReachesTopLevelWindows) {
  uitest::RecordingWindow top(0, 0, 100, 100);
  uitest::RecordingWindow other(0, 0, 50, 50, false);
  g_signal_emit_by_name(gdk_screen_get_default(), "size-changed");
  for (const uitest::RecordingWindow* window : {&top, &other}) {
    const auto changes = window->Of(platform::WM_DISPLAYCHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(platform::LoWord(static_cast<uintptr_t>(changes[0].lParam)), platform::ui::GetSystemMetrics(platform::SM_CXSCREEN));
  }
}

}  // namespace
