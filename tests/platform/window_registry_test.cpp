#include "platform/window_registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/window_messages.h"

using namespace platform;

namespace {

struct Received {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

class WindowRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = CreateWindowHandle();
    child_ = CreateWindowHandle(parent_);
    SetWindowHandler(parent_, [this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
      received_.push_back({w, m, wp, lp});
      return LRESULT(m + 1);
    });
  }
  void TearDown() override {
    DestroyWindowHandle(child_);
    DestroyWindowHandle(parent_);
    SetMessageWaker(nullptr);
    DispatchPostedMessages();
  }

  HWND parent_ = nullptr, child_ = nullptr;
  std::vector<Received> received_;
};

TEST_F(WindowRegistryTest, HandlesKnowTheirParentAndNativeWindow) {
  EXPECT_TRUE(IsWindow(child_));
  EXPECT_EQ(GetParent(child_), parent_);
  EXPECT_EQ(GetParent(parent_), nullptr);
  EXPECT_EQ(GetNativeWindowId(child_), 0u);
  SetNativeWindowId(child_, 0x2a00007);
  EXPECT_EQ(GetNativeWindowId(child_), 0x2a00007u);
  EXPECT_FALSE(IsWindow(nullptr));
}

TEST_F(WindowRegistryTest, PostedMessagesArriveInOrderOnTheDispatchingThread) {
  std::atomic<int> wakes{0};
  SetMessageWaker([&] { ++wakes; });
  std::thread poster([&] {
    for (int i = 0; i < 100; ++i) PostMessage(GetParent(child_), kMsgFileDropped, WPARAM(i), -i);
  });
  poster.join();
  EXPECT_EQ(wakes.load(), 100);
  EXPECT_TRUE(received_.empty());  // nothing runs until the UI thread dispatches
  EXPECT_EQ(DispatchPostedMessages(), 100u);
  ASSERT_EQ(received_.size(), 100u);
  for (int i = 0; i < 100; ++i) {
    EXPECT_EQ(received_[i].message, kMsgFileDropped);
    EXPECT_EQ(received_[i].wParam, WPARAM(i));
    EXPECT_EQ(received_[i].lParam, LPARAM(-i));
  }
}

TEST_F(WindowRegistryTest, MessagesForDestroyedWindowsAreDropped) {
  const HWND doomed = CreateWindowHandle();
  int calls = 0;
  SetWindowHandler(doomed, [&](HWND, UINT, WPARAM, LPARAM) { return LRESULT(++calls); });
  EXPECT_TRUE(PostMessage(doomed, kMsgDoubleClicked, 0, 0));
  DestroyWindowHandle(doomed);
  EXPECT_FALSE(PostMessage(doomed, kMsgDoubleClicked, 0, 0));
  DispatchPostedMessages();
  EXPECT_EQ(calls, 0);
  const HWND next = CreateWindowHandle();
  EXPECT_NE(next, doomed);  // handles are never reused
  DestroyWindowHandle(next);
}

TEST_F(WindowRegistryTest, SendMessageRunsOnTheUiThread) {
  BindUiThread();
  EXPECT_EQ(SendMessage(parent_, WM_TIMER, 3, 0), LRESULT(WM_TIMER + 1));
  ASSERT_EQ(received_.size(), 1u);

  // From another thread the call waits until the UI thread has handled it.
  std::atomic<LRESULT> result{-1};
  std::thread sender([&] { result = SendMessage(parent_, WM_USER + 1, 0, 0); });
  while (PendingMessageCount() == 0) std::this_thread::yield();
  EXPECT_EQ(result.load(), -1);
  DispatchPostedMessages();
  sender.join();
  EXPECT_EQ(result.load(), LRESULT(WM_USER + 2));

  EXPECT_TRUE(ShowWindow(parent_, true));
  DispatchPostedMessages();
  EXPECT_EQ(received_.back().message, WM_SHOWWINDOW);
  EXPECT_EQ(received_.back().wParam, 1u);
}

}  // namespace
