// Child windows with their own X11 window, creation and destruction.

#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/message_loop.h"
#include "ui_test_support.h"
#include "x11_view.h"

namespace {

using namespace platform;
using uitest::RecordingWindow;
using uitest::WaitFor;

HWND CreateChild(HWND parent, const char* className, RECT rect, bool visible, MessageHandler handler = {}) {
  ui::WindowSpec spec;
  spec.className = className;
  spec.title = "WndMediaDisplay";
  spec.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
  spec.parent = parent;
  spec.x = rect.left;
  spec.y = rect.top;
  spec.width = RectWidth(rect);
  spec.height = RectHeight(rect);
  spec.handler = std::move(handler);
  return ui::CreateNativeWindow(spec);
}

TEST(NativeWindowTest, ChildSurfaceFollowsMovesAndHidesWithItsOwnX11Window) {
  RecordingWindow top(100, 100, 400, 300);
  const HWND child = CreateChild(top.hwnd, ui::kDialogClassName, {10, 20, 110, 70}, true);
  ASSERT_NE(child, nullptr);
  EXPECT_EQ(GetParent(child), top.hwnd);
  const auto xid = static_cast<Window>(GetNativeWindowId(child));
  ASSERT_NE(xid, 0u);
  uitest::X11View other;
  ASSERT_NE(other.display(), nullptr);

  ASSERT_TRUE(WaitFor([&] { return other.Viewable(xid) && other.ScreenRect(xid) == RECT{110, 120, 210, 170}; }))
      << "at " << other.ScreenRect(xid).left << "," << other.ScreenRect(xid).top;
  EXPECT_EQ(ui::GetWindowRect(child), (RECT{110, 120, 210, 170}));

  ui::SetWindowPos(child, nullptr, 30, 40, 200, 80, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(ui::GetClientRect(child), (RECT{0, 0, 200, 80}));
  EXPECT_TRUE(WaitFor([&] { return other.ScreenRect(xid) == RECT{130, 140, 330, 220}; }));

  // The engine asks from its own thread; the UI thread applies it.
  std::thread([&] { ShowWindow(child, false); }).join();
  EXPECT_TRUE(WaitFor([&] { return !other.Viewable(xid); }));
  EXPECT_FALSE(ui::IsWindowVisible(child));
  std::thread([&] { ShowWindow(child, true); }).join();
  EXPECT_TRUE(WaitFor([&] { return other.Viewable(xid); }));
}

TEST(NativeWindowTest, PlainSurfaceLeavesButtonEventsToAnotherClient) {
  RecordingWindow top(50, 50, 300, 200);
  const HWND surface = CreateChild(top.hwnd, ui::kDialogClassName, {0, 0, 100, 100}, true);
  ASSERT_NE(surface, nullptr);
  uitest::Settle(100);
  uitest::X11View other;
  EXPECT_FALSE(other.ButtonSelectionRefused(static_cast<Window>(GetNativeWindowId(surface))));
}

TEST(NativeWindowTest, ChildWithAProcedureIsPaintedThroughWmPaint) {
  RecordingWindow top(50, 50, 300, 200);
  int paints = 0;
  const HWND child = CreateChild(top.hwnd, "", {5, 5, 105, 55}, true, [&](HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_PAINT && w != 0) ++paints;
    return ui::DefWindowProc(h, m, w, l);
  });
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(WaitFor([&] { return paints > 0; }));
  const int before = paints;
  ui::InvalidateRect(child, nullptr);
  EXPECT_TRUE(WaitFor([&] { return paints > before; }));
}

TEST(NativeWindowTest, DestroyingAParentDestroysItsChildrenFirst) {
  std::vector<std::string> log;
  auto top = std::make_unique<RecordingWindow>(0, 0, 200, 100);
  const HWND parent = top->hwnd;
  SetWindowHandler(parent, [&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_DESTROY) log.push_back("parent destroy");
    if (m == WM_NCDESTROY) log.push_back("parent final");
    return ui::DefWindowProc(h, m, w, l);
  });
  const HWND child = CreateChild(parent, "", {0, 0, 10, 10}, true, [&](HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NCDESTROY) log.push_back("child final");
    return ui::DefWindowProc(h, m, w, l);
  });
  ASSERT_TRUE(ui::DestroyWindow(parent));
  EXPECT_EQ(log, (std::vector<std::string>{"parent destroy", "child final", "parent final"}));
  EXPECT_FALSE(IsWindow(child));
  EXPECT_FALSE(IsWindow(parent));
  EXPECT_FALSE(ui::DestroyWindow(parent));
}

TEST(NativeWindowTest, CreationFailsCleanly) {
  ui::WindowSpec unknownClass;
  unknownClass.className = "NoSuchClass";
  EXPECT_EQ(ui::CreateNativeWindow(unknownClass), nullptr);

  ui::WindowSpec orphan;
  orphan.style = WS_CHILD;
  EXPECT_EQ(ui::CreateNativeWindow(orphan), nullptr);

  ui::WindowSpec refused;
  refused.handler = [](HWND, UINT m, WPARAM, LPARAM) -> LRESULT { return m == WM_CREATE ? -1 : 0; };
  EXPECT_EQ(ui::CreateNativeWindow(refused), nullptr);
}

TEST(NativeWindowTest, RegisteredClassProcedureReceivesCreate) {
  LPARAM created = 0;
  ui::RegisterWindowClass({"#32775", [&](HWND, UINT m, WPARAM, LPARAM l) -> LRESULT {
                             if (m == WM_CREATE) created = l;
                             return 0;
                           }});
  RecordingWindow top(0, 0, 100, 100);
  ui::WindowSpec spec;
  spec.className = "#32775";
  spec.style = WS_CHILD | WS_VISIBLE;
  spec.parent = top.hwnd;
  spec.createParam = 99;
  const HWND chart = ui::CreateNativeWindow(spec);
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(created, 99);
  EXPECT_NE(GetNativeWindowId(chart), 0u);
}

}  // namespace
