// Posted and sent messages, timers and modal loops on the GLib main loop.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/ui/message_loop.h"
#include "platform/ui/timers.h"
#include "ui_test_support.h"

namespace {

using namespace platform;
using uitest::RecordingWindow;
using uitest::WaitFor;

constexpr UINT kMsgTest = WM_USER + 7;

TEST(MessageLoopTest, PostedFromAnotherThreadArriveOnTheUiThreadInOrder) {
  RecordingWindow window(0, 0, 50, 50, false);
  ASSERT_NE(window.hwnd, nullptr);
  const std::thread::id uiThread = std::this_thread::get_id();
  std::vector<WPARAM> seen;
  bool allOnUiThread = true;
  SetWindowHandler(window.hwnd, [&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message != kMsgTest) return 0;
    allOnUiThread = allOnUiThread && std::this_thread::get_id() == uiThread;
    seen.push_back(wParam);
    return 0;
  });
  std::thread poster([&] {
    for (WPARAM i = 0; i < 300; ++i) ASSERT_TRUE(PostMessage(window.hwnd, kMsgTest, i, 0));
  });
  poster.join();
  ASSERT_TRUE(WaitFor([&] { return seen.size() == 300; }));
  EXPECT_TRUE(allOnUiThread);
  for (WPARAM i = 0; i < seen.size(); ++i) ASSERT_EQ(seen[i], i);
}

TEST(MessageLoopTest, AHandlerThatPumpsDeliversOlderMessagesFirst) {
  RecordingWindow window(0, 0, 50, 50, false);
  std::vector<WPARAM> order;
  SetWindowHandler(window.hwnd, [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message != kMsgTest) return 0;
    order.push_back(wParam);
    if (wParam == 1) {
      PostMessage(hwnd, kMsgTest, 3, 0);
      ui::PumpMessages(2, 1);  // a designed wait inside a handler
    }
    return 0;
  });
  PostMessage(window.hwnd, kMsgTest, 1, 0);
  PostMessage(window.hwnd, kMsgTest, 2, 0);
  ASSERT_TRUE(WaitFor([&] { return order.size() == 3; }));
  EXPECT_EQ(order, (std::vector<WPARAM>{1, 2, 3}));
}

TEST(MessageLoopTest, SendFromAnotherThreadWaitsForTheUiThreadsAnswer) {
  RecordingWindow window(0, 0, 50, 50, false);
  SetWindowHandler(window.hwnd, [](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    return message == kMsgTest ? static_cast<LRESULT>(wParam * 2) : 0;
  });
  LRESULT answer = 0;
  bool done = false;
  std::thread sender([&] {
    answer = SendMessage(window.hwnd, kMsgTest, 21, 0);
    done = true;
  });
  ASSERT_TRUE(WaitFor([&] { return done; }));
  sender.join();
  EXPECT_EQ(answer, 42);
}

TEST(MessageLoopTest, TimerTicksAtItsPeriodUntilKilled) {
  RecordingWindow window(0, 0, 50, 50, false);
  std::vector<std::chrono::steady_clock::time_point> ticks;
  SetWindowHandler(window.hwnd, [&](HWND, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
    if (message == WM_TIMER && wParam == 7) ticks.push_back(std::chrono::steady_clock::now());
    return 0;
  });
  ASSERT_TRUE(ui::SetTimer(window.hwnd, 7, 100));
  ASSERT_TRUE(WaitFor([&] { return ticks.size() >= 5; }, 10000));
  const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(ticks[4] - ticks[0]).count();
  EXPECT_GE(span, 300);   // four periods of 100 ms, with room for timer slack
  EXPECT_LE(span, 4000);  // and for a loaded machine
  EXPECT_TRUE(ui::KillTimer(window.hwnd, 7));
  const size_t count = ticks.size();
  uitest::Settle(400);
  EXPECT_EQ(ticks.size(), count);
  EXPECT_FALSE(ui::KillTimer(window.hwnd, 7));
}

TEST(MessageLoopTest, TimerKilledFromItsOwnHandlerAndTimersEndWithTheWindow) {
  auto window = std::make_unique<RecordingWindow>(0, 0, 50, 50, false);
  int ticks = 0;
  SetWindowHandler(window->hwnd, [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == WM_TIMER && ++ticks == 2) ui::KillTimer(hwnd, 1);
    return 0;
  });
  ui::SetTimer(window->hwnd, 1, 10);
  ASSERT_TRUE(WaitFor([&] { return ticks == 2; }));
  uitest::Settle(100);
  EXPECT_EQ(ticks, 2);

  ui::SetTimer(window->hwnd, 2, 10);
  const HWND hwnd = window->hwnd;
  window.reset();  // destroys the window
  EXPECT_FALSE(ui::KillTimer(hwnd, 2));
  uitest::Settle(50);
}

TEST(MessageLoopTest, ModalLoopReturnsWhenTheWindowCloses) {
  RecordingWindow window(0, 0, 80, 60, true);
  ui::SetTimer(window.hwnd, 1, 30);
  SetWindowHandler(window.hwnd, [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message == WM_TIMER) {
      ui::SetModalResult(hwnd, 42);
      PostMessage(hwnd, WM_CLOSE, 0, 0);
      return 0;
    }
    return ui::DefWindowProc(hwnd, message, wParam, lParam);
  });
  EXPECT_EQ(ui::RunModalLoop(window.hwnd), 42);
  EXPECT_FALSE(ui::IsNativeWindow(window.hwnd));
}

TEST(MessageLoopTest, EndModalLoopLeavesTheWindowAlive) {
  RecordingWindow window(0, 0, 80, 60, true);
  std::thread ender([&] { PostMessage(window.hwnd, kMsgTest, 0, 0); });
  SetWindowHandler(window.hwnd, [](HWND hwnd, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == kMsgTest) ui::EndModalLoop(hwnd, 5);
    return 0;
  });
  EXPECT_EQ(ui::RunModalLoop(window.hwnd), 5);
  ender.join();
  EXPECT_TRUE(ui::IsNativeWindow(window.hwnd));
  EXPECT_FALSE(ui::IsInModalLoop(window.hwnd));
}

}  // namespace
