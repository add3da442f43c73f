#include "platform/trace.h"

#include <gtest/gtest.h>

#include <string>

using namespace platform;

TEST(TraceTest, LinesCarryTheirPrefixAndEndInCrLf) {
  testing::internal::CaptureStderr();
  DebugTrace("Get GPS %s", "/rec/a.mp4");
  PrefixedTrace("Translate: ", "%d%%", 42);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "DebugTrace: Get GPS /rec/a.mp4\r\nTranslate: 42%\r\n");
}

TEST(TraceTest, LongLinesAreCutToTheBufferAndStillEnded) {
  const std::string longText(3000, 'x');
  testing::internal::CaptureStderr();
  DebugTrace("%s", longText.c_str());
  const std::string line = testing::internal::GetCapturedStderr();
  EXPECT_EQ(line.size(), size_t(kTraceBufferSize - 1));
  EXPECT_EQ(line.substr(0, 12), "DebugTrace: ");
  EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
}
