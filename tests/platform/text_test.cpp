#include "platform/text.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextTest, ConvertsBetweenUtf8AndUtf16) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  } const cases[] = {
      {"", u""},
      {"KestraGo 1.0", u"KestraGo 1.0"},
      {"\xE5\x85\xA8\xE6\x99\xAF", u"\u5168\u666F"},     // CJK, three bytes each
      {"\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},            // two-byte sequences
      {"\xF0\x9F\x9A\x97", u"\U0001F697"},                // outside the BMP: a surrogate pair
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
}

TEST(TextTest, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xE5\x85"), u"\uFFFD");          // cut sequence
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");          // an overlong '/' is no slash
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");      // an encoded surrogate
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextTest, CaseAndBlankHelpers) {
  EXPECT_TRUE(EqualsIgnoreCase("Play_Param", "PLAY_param"));
  EXPECT_FALSE(EqualsIgnoreCase("Play", "Play_"));
  EXPECT_TRUE(EndsWithIgnoreCase("clip.TS", ".ts"));
  EXPECT_FALSE(EndsWithIgnoreCase("ts", ".ts"));
  EXPECT_EQ(ToUpperAscii("b_sos.Ts"), "B_SOS.TS");
  EXPECT_EQ(TrimBlanks(" \t key = v \r\n"), "key = v");
}
