#include "platform/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "temp_folder.h"

using namespace platform;

TEST(PathsTest, FolderAndNameRules) {
  struct Case {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
  } const cases[] = {
      {"/rec/MOVA/x.MP4", "/rec/MOVA/", "x.MP4", "MP4"},
      {"x.ts", "", "x.ts", "ts"},
      {"/rec/folder.d/clip", "/rec/folder.d/", "clip", ""},
      {"/", "/", "", ""},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FolderOf(c.path), c.folder) << c.path;
    EXPECT_EQ(FileNameOf(c.path), c.name) << c.path;
    EXPECT_EQ(ExtensionOf(c.path), c.extension) << c.path;
  }
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
}

TEST(PathsTest, ProgramFolderIsTheFolderOfTheRunningProgram) {
  EXPECT_EQ(ProgramFolder().back(), '/');
  EXPECT_EQ(ProgramFolder() + "platform_test", ProgramFilePath());
  EXPECT_EQ(ProgramFolderFile("dozured.cfg"), ProgramFolder() + "dozured.cfg");
}

TEST(PathsTest, FoldersAreMadeAndChecked) {
  TempFolder temp("paths");
  const std::string nested = temp.File("a/b/c");
  EXPECT_FALSE(FolderExists(nested));
  EXPECT_TRUE(MakeFolders(nested));
  EXPECT_TRUE(IsFolderWritable(nested));
  EXPECT_FALSE(FileExists(nested));
  chmod(nested.c_str(), 0555);
  // Root may write anywhere; only check the answer for other users.
  if (geteuid() != 0) {
    EXPECT_FALSE(IsFolderWritable(nested));
  }
  chmod(nested.c_str(), 0755);

  setenv("XDG_CACHE_HOME", temp.File("cache").c_str(), 1);
  EXPECT_EQ(UserCacheFolder(), temp.File("cache/kestrago/"));
  EXPECT_TRUE(FolderExists(temp.File("cache/kestrago")));
  unsetenv("XDG_CACHE_HOME");
}
