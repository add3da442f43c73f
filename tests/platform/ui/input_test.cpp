// Real pointer and keyboard input (xdotool) turned into window messages.

#include <gtest/gtest.h>

#include "platform/ui/message_loop.h"
#include "ui_test_support.h"

namespace {

using namespace platform;
using uitest::ClickAt;
using uitest::RecordingWindow;
using uitest::WaitFor;

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = std::make_unique<RecordingWindow>(200, 200, 300, 200);
    ASSERT_NE(window_->hwnd, nullptr);
    ui::SetForegroundWindow(window_->hwnd);
    ASSERT_TRUE(WaitFor([&] { return window_->Received(WM_PAINT); }));
    uitest::Settle(100);
    window_->messages.clear();
  }
  std::unique_ptr<RecordingWindow> window_;
};

TEST_F(InputTest, ClickArrivesAsButtonMessagesInClientCoordinates) {
  ClickAt(250, 260);
  ASSERT_TRUE(WaitFor([&] { return window_->Received(WM_LBUTTONUP); }));
  const auto downs = window_->Of(WM_LBUTTONDOWN);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(GetXLParam(downs[0].lParam), 50);
  EXPECT_EQ(GetYLParam(downs[0].lParam), 60);
  EXPECT_TRUE(downs[0].wParam & MK_LBUTTON);
  EXPECT_FALSE(window_->Received(WM_LBUTTONDBLCLK));
}

TEST_F(InputTest, DoubleClickInTheClientAreaAndOnTheCaption) {
  ClickAt(300, 300, 2);
  ASSERT_TRUE(WaitFor([&] { return window_->Of(WM_LBUTTONUP).size() == 2; }));
  // Down, up, double-click, up: the second press comes only as the double-click.
  std::vector<UINT> buttons;
  for (const uitest::Message& m : window_->messages) {
    if (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONUP || m.message == WM_LBUTTONDBLCLK) {
      buttons.push_back(m.message);
    }
  }
  EXPECT_EQ(buttons, (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}));

  window_->messages.clear();
  window_->hitTest = HTCAPTION;
  ClickAt(310, 210, 2);
  ASSERT_TRUE(WaitFor([&] { return window_->Received(WM_NCLBUTTONDBLCLK); }));
  const auto hits = window_->Of(WM_NCHITTEST);
  ASSERT_FALSE(hits.empty());
  EXPECT_EQ(GetXLParam(hits[0].lParam), 310);  // screen coordinates
  EXPECT_FALSE(window_->Received(WM_LBUTTONDOWN));
  EXPECT_FALSE(window_->Received(WM_LBUTTONDBLCLK));
}

TEST_F(InputTest, KeysArriveAsVirtualKeysAndCharacters) {
  ClickAt(300, 300);  // the pointer over the window keeps the keyboard there too
  uitest::Xdotool("key Left");
  uitest::Xdotool("type a");
  ASSERT_TRUE(WaitFor([&] { return window_->Received(WM_CHAR); }));
  ASSERT_TRUE(WaitFor([&] { return window_->Of(WM_KEYUP).size() >= 2; }));
  EXPECT_EQ(window_->Of(WM_KEYDOWN).front().wParam, VK_LEFT);
  EXPECT_EQ(window_->Of(WM_KEYUP).front().wParam, VK_LEFT);
  EXPECT_EQ(window_->Of(WM_CHAR).front().wParam, static_cast<WPARAM>('a'));
}

TEST_F(InputTest, WheelGivesSignedNotches) {
  uitest::Xdotool("mousemove --sync 260 260");
  uitest::Xdotool("click 4");
  uitest::Xdotool("click 5");
  ASSERT_TRUE(WaitFor([&] { return window_->Of(WM_MOUSEWHEEL).size() == 2; }));
  EXPECT_EQ(static_cast<int16_t>(HiWord(window_->Of(WM_MOUSEWHEEL)[0].wParam)), 120);
  EXPECT_EQ(static_cast<int16_t>(HiWord(window_->Of(WM_MOUSEWHEEL)[1].wParam)), -120);
}

}  // namespace
