#include "platform/profile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temp_folder.h"

using namespace platform;

namespace {

constexpr const char* kProfile =
    "; written by hand\n"
    "[Play_Param]\n"
    "calib_filename = lens.inf\n"
    "  need_logo=1\n"
    "logo_fov = 80 degrees\n"
    "hex=0x1F\n"
    "neg=-12\n"
    "text=abc\n"
    "empty=\n"
    "quoted=\"  padded  \"\n"
    "single='x'\n"
    "two=a=b\n"
    "dup=1\n"
    "dup=2\n"
    "\n"
    "[play_param]\n"
    "calib_filename=second-section\n"
    "[Option]\n"
    "Option=0\n"
    "9=English\n";

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The bytes of a literal that holds NULs, without its terminator.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

// A NUL-separated list as a vector, up to the first empty entry.
std::vector<std::string> SplitList(const char* buffer) {
  std::vector<std::string> items;
  for (const char* p = buffer; *p; p += items.back().size() + 1) items.emplace_back(p);
  return items;
}

class ProfileTest : public ::testing::Test {
 protected:
  ProfileTest() { WriteFile(path_, kProfile); }
  TempFolder folder_{"profile"};
  std::string path_ = folder_.File("dozured.cfg");
};

struct IntCase {
  const char* section;
  const char* key;
  int defaultValue;
  int expected;
};

TEST_F(ProfileTest, IntegersParseTheLeadingNumberOrFallBack) {
  const IntCase cases[] = {
      {"play_param", "need_logo", 7, 1},      // names without regard to case, blanks ignored
      {"PLAY_PARAM", "LOGO_FOV", 0, 80},      // leading number of "80 degrees"
      {"Play_Param", "hex", 0, 31},           // 0x prefix
      {"Play_Param", "neg", 0, -12},
      {"Play_Param", "text", 5, 0},           // text that is no number reads as 0
      {"Play_Param", "empty", 7, 7},          // empty value: the default
      {"Play_Param", "missing", -3, -3},
      {"No_Such_Section", "need_logo", 9, 9},
      {"Play_Param", "dup", 4, 1},            // the first of two equal keys wins
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(GetPrivateProfileIntA(c.section, c.key, c.defaultValue, path_.c_str()), c.expected)
        << c.section << "/" << c.key;
  }
  EXPECT_EQ(GetPrivateProfileIntA("Play_Param", "need_logo", 42, folder_.File("absent.cfg").c_str()), 42);
  // A folder where the file should be is no file: defaults, no exception.
  EXPECT_EQ(GetPrivateProfileIntA("Play_Param", "need_logo", 43, folder_.path().c_str()), 43);
  EXPECT_FALSE(WritePrivateProfileStringA("Play_Param", "k", "v", folder_.path().c_str()));
}

struct StringCase {
  const char* section;
  const char* key;
  const char* defaultValue;
  uint32_t size;
  const char* expected;
  uint32_t expectedCount;
};

TEST_F(ProfileTest, StringsAreTrimmedUnquotedAndCutToTheBuffer) {
  const StringCase cases[] = {
      {"play_param", "calib_filename", "", 260, "lens.inf", 8},  // first matching section wins
      {"Play_Param", "quoted", "", 260, "  padded  ", 10},
      {"Play_Param", "single", "", 260, "x", 1},
      {"Play_Param", "two", "", 260, "a=b", 3},
      {"Play_Param", "missing", "dflt  ", 260, "dflt", 4},      // default loses trailing blanks
      {"Missing", "calib_filename", nullptr, 260, "", 0},
      {"Play_Param", "calib_filename", "", 5, "lens", 4},        // cut: size - 1
      {"Play_Param", "calib_filename", "", 1, "", 0},
  };
  for (const StringCase& c : cases) {
    char buffer[260];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(GetPrivateProfileStringA(c.section, c.key, c.defaultValue, buffer, c.size, path_.c_str()),
              c.expectedCount)
        << c.key;
    EXPECT_STREQ(buffer, c.expected) << c.key;
  }
}

TEST_F(ProfileTest, NullNamesListSectionsAndKeys) {
  char buffer[260];
  EXPECT_EQ(GetPrivateProfileStringA("option", nullptr, "", buffer, sizeof(buffer), path_.c_str()), 9u);
  EXPECT_EQ(SplitList(buffer), (std::vector<std::string>{"Option", "9"}));

  GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof(buffer), path_.c_str());
  EXPECT_EQ(SplitList(buffer), (std::vector<std::string>{"Play_Param", "play_param", "Option"}));

  // A cut list reports size - 2 and still ends in two NULs.
  EXPECT_EQ(GetPrivateProfileStringA(nullptr, nullptr, "", buffer, 6, path_.c_str()), 4u);
  EXPECT_EQ(std::string(buffer, 6), std::string("Play\0\0", 6));
}

TEST_F(ProfileTest, SectionsReturnTheirLinesAsWritten) {
  char buffer[260];
  EXPECT_EQ(GetPrivateProfileSectionA("OPTION", buffer, sizeof(buffer), path_.c_str()), 19u);
  EXPECT_EQ(SplitList(buffer), (std::vector<std::string>{"Option=0", "9=English"}));

  GetPrivateProfileSectionA("play_param", buffer, sizeof(buffer), path_.c_str());
  const auto lines = SplitList(buffer);
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[1], "need_logo=1");
  EXPECT_EQ(lines[2], "logo_fov = 80 degrees");

  EXPECT_EQ(GetPrivateProfileSectionA("Option", buffer, 8, path_.c_str()), 6u);
  EXPECT_EQ(GetPrivateProfileSectionA("Missing", buffer, sizeof(buffer), path_.c_str()), 0u);
  EXPECT_EQ(buffer[0], '\0');
}

TEST_F(ProfileTest, WritingChangesOnlyTheLinesItMust) {
  ASSERT_TRUE(WritePrivateProfileStringA("PLAY_PARAM", "NEED_LOGO", "0", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("play_param", "new_key", "v", path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Fresh", "k", "1", path_.c_str()));

  std::string expected = kProfile;
  expected.replace(expected.find("  need_logo=1"), 13, "need_logo=0");
  expected.insert(expected.find("dup=2\n") + 6, "new_key=v\n");  // first matching section
  expected += "\n[Fresh]\nk=1\n";
  EXPECT_EQ(ReadFile(path_), expected);

  ASSERT_TRUE(WritePrivateProfileStringA("Play_Param", "new_key", nullptr, path_.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("fresh", nullptr, nullptr, path_.c_str()));
  EXPECT_EQ(GetPrivateProfileIntA("Fresh", "k", -1, path_.c_str()), -1);
  EXPECT_EQ(GetPrivateProfileIntA("Play_Param", "new_key", -1, path_.c_str()), -1);
  EXPECT_EQ(GetPrivateProfileIntA("Play_Param", "need_logo", -1, path_.c_str()), 0);
}

TEST_F(ProfileTest, WritingCreatesTheFileAndKeepsItsLineEndsAndEncoding) {
  const std::string created = folder_.File("new.cfg");
  ASSERT_TRUE(WritePrivateProfileStringA("Section", "key", "value", created.c_str()));
  EXPECT_EQ(ReadFile(created), "[Section]\nkey=value\n");

  const std::string crlf = folder_.File("crlf.cfg");
  WriteFile(crlf, "[A]\r\nx=1\r\n");
  ASSERT_TRUE(WritePrivateProfileStringA("A", "y", "2", crlf.c_str()));
  EXPECT_EQ(ReadFile(crlf), "[A]\r\nx=1\r\ny=2\r\n");

  const std::string utf16 = folder_.File("utf16.osd");
  WriteFile(utf16, Bytes("\xFF\xFE[\0A\0]\0\n\0x\0=\0\x2D\x4E\n\0"));  // x = U+4E2D
  char buffer[16];
  GetPrivateProfileStringA("A", "x", "", buffer, sizeof(buffer), utf16.c_str());
  EXPECT_STREQ(buffer, "\xE4\xB8\xAD");
  ASSERT_TRUE(WritePrivateProfileStringA("A", "x", "1", utf16.c_str()));
  EXPECT_EQ(ReadFile(utf16), Bytes("\xFF\xFE[\0A\0]\0\n\0x\0=\0" "1\0\n\0"));

  EXPECT_FALSE(WritePrivateProfileStringA("A", "x", "1", folder_.File("no/such/folder.cfg").c_str()));
}

TEST_F(ProfileTest, WideFunctionsCountUtf16Units) {
  const std::u16string path = u"" + std::u16string(path_.begin(), path_.end());
  ASSERT_TRUE(WritePrivateProfileStringW(u"Lang", u"title", u"\u5168\u666F\u64AD\u653E", path.c_str()));
  char16_t buffer[8];
  EXPECT_EQ(GetPrivateProfileStringW(u"lang", u"TITLE", u"", buffer, 8, path.c_str()), 4u);
  EXPECT_EQ(std::u16string(buffer), u"\u5168\u666F\u64AD\u653E");
  EXPECT_EQ(GetPrivateProfileStringW(u"lang", u"title", u"", buffer, 3, path.c_str()), 2u);
  EXPECT_EQ(std::u16string(buffer), u"\u5168\u666F");
  EXPECT_EQ(GetPrivateProfileIntW(u"play_param", u"neg", 0, path.c_str()), -12);
  EXPECT_EQ(GetPrivateProfileSectionW(u"option", buffer, 8, path.c_str()), 6u);
  EXPECT_EQ(ReadProfileString("Lang", "Title", "", path_), "\xE5\x85\xA8\xE6\x99\xAF\xE6\x92\xAD\xE6\x94\xBE");
}

}  // namespace
