#include "platform/find_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "temp_folder.h"

using namespace platform;

TEST(FindFilesTest, WildcardsMatchWithoutRegardToCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool matches;
  } const cases[] = {
      {"*.inf", "lens.inf", true},   {"*.inf", "LENS.INF", true},  {"*.inf", "lens.inf.bak", false},
      {"*.inf", ".inf", true},       {"?.ts", "a.ts", true},       {"?.ts", "ab.ts", false},
      {"*_B.*", "x_b.mp4", true},    {"a*b*c", "aXbYbZc", true},   {"a*b*c", "aXbYbZ", false},
      {"*", "", true},               {"", "x", false},
  };
  for (const Case& c : cases) EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.matches) << c.pattern << " " << c.name;
}

TEST(FindFilesTest, ListsMatchingRegularFilesInAStableOrder) {
  TempFolder temp("find");
  for (const char* name : {"b.inf", "A.inf", "a.INF", "c.txt"}) std::ofstream(temp.File(name)) << "x";
  std::filesystem::create_directory(temp.File("dir.inf"));  // folders are not files

  EXPECT_EQ(FindFiles(temp.path(), "*.inf"), (std::vector<std::string>{"A.inf", "a.INF", "b.inf"}));
  EXPECT_EQ(FindFiles(temp.path() + "/", "*.TXT"), (std::vector<std::string>{"c.txt"}));
  EXPECT_TRUE(FindFiles(temp.File("missing"), "*").empty());
}
