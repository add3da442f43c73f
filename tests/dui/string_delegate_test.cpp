// CDuiString and the delegates of event sources.

#include <gtest/gtest.h>

#include "dui/delegate.h"
#include "dui/dui_string.h"

namespace {

using dui::CDuiString;

TEST(DuiStringTest, FormatsLikePrintfWithUtf16Strings) {
  struct Case {
    CDuiString got;
    const char16_t* want;
  };
  CDuiString s;
  const Case cases[] = {
      {(s.Format(u"file: %s", u"D:\\rec\\中文.mp4"), s), u"file: D:\\rec\\中文.mp4"},
      {(s.Format(u"%.0fkm/h", 5.0 * 3.6), s), u"18km/h"},
      {(s.Format(u"mag%04d.png", 270), s), u"mag0270.png"},
      {(s.Format(u"%02d:%02d", 3, 7), s), u"03:07"},
      {(s.Format(u"%.2f%%", 12.345), s), u"12.35%"},
      {(s.Format(u"[%d], pitch(%0.2f)", -2, -31.0), s), u"[-2], pitch(-31.00)"},
      {(s.Format(u"%hs|%S", "narrow", "utf8 ü"), s), u"narrow|utf8 ü"},
      {(s.Format(u"%5s|%-4s|%c", u"ab", u"c", u'Z'), s), u"   ab|c   |Z"},
      {(s.Format(u"%lld %x %X %u", 1LL << 40, 255, 255, 7u), s), u"1099511627776 ff FF 7"},
      {(s.Format(u"%s", static_cast<const char16_t*>(nullptr)), s), u"(null)"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(DuiStringTest, SearchesSlicesAndCompares) {
  CDuiString path(u"D:\\rec\\A001.MP4");
  EXPECT_EQ(path.ReverseFind(u'.'), 11);
  EXPECT_EQ(path.Find(u'\\'), 2);
  EXPECT_EQ(path.Find(u"rec"), 3);
  EXPECT_EQ(path.Find(u"zzz"), -1);
  EXPECT_EQ(path.Find(u'x', 99), -1);
  EXPECT_EQ(path.Left(path.ReverseFind(u'.')) + u"_out.mp4", u"D:\\rec\\A001_out.mp4");
  EXPECT_EQ(path.Right(3), u"MP4");
  EXPECT_EQ(path.Right(99), path);
  EXPECT_EQ(path.Mid(3, 3), u"rec");
  EXPECT_TRUE(path.Left(-1).IsEmpty());
  CDuiString lower = path;
  lower.MakeLower();
  EXPECT_EQ(lower, u"d:\\rec\\a001.mp4");
  EXPECT_EQ(lower.CompareNoCase(path), 0);
  EXPECT_NE(lower, path);
  EXPECT_TRUE(u"abc" == CDuiString(u"abc"));
  CDuiString replaced(u"a-b-c");
  EXPECT_EQ(replaced.Replace(u"-", u"--"), 2);
  EXPECT_EQ(replaced, u"a--b--c");
  EXPECT_EQ(CDuiString::FromUtf8("转换视频").ToUtf8(), "转换视频");
}

struct Listener {
  int calls = 0;
  bool answer = true;
  bool OnEvent(void*) {
    ++calls;
    return answer;
  }
};

TEST(DelegateTest, EventSourceCallsDelegatesInOrderUntilOneStops) {
  Listener first, second;
  dui::CEventSource source;
  EXPECT_FALSE(source);
  source += dui::MakeDelegate(&first, &Listener::OnEvent);
  source += dui::MakeDelegate(&second, &Listener::OnEvent);
  EXPECT_TRUE(source(nullptr));
  EXPECT_EQ(first.calls + second.calls, 2);

  first.answer = false;
  EXPECT_FALSE(source(nullptr));
  EXPECT_EQ(second.calls, 1);  // not reached

  source -= dui::MakeDelegate(&first, &Listener::OnEvent);
  EXPECT_TRUE(source(nullptr));
  EXPECT_EQ(first.calls, 2);
  EXPECT_EQ(second.calls, 2);
  EXPECT_EQ(source.Count(), 1u);
}

}  // namespace
