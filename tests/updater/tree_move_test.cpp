#include "tree_move.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"

namespace renovo_test {
namespace {

class TreeMoveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(Outside("secret.txt"), "secret");
    WriteFile(Outside("victim/victim.txt"), "victim");
    mkdir(Program().c_str(), 0755);
    outsideBefore_ = ListTree(scratch_.Path("outside"));
  }

  std::string Program(const std::string& relative = "") const {
    return scratch_.Path(relative.empty() ? "program" : "program/" + relative);
  }
  std::string Outside(const std::string& relative) const { return scratch_.Path("outside/" + relative); }

  // The folder outside the program folder still holds exactly what it held.
  void ExpectOutsideUntouched() const {
    EXPECT_EQ(ListTree(scratch_.Path("outside")), outsideBefore_);
    EXPECT_EQ(ReadFile(Outside("secret.txt")), "secret");
    EXPECT_EQ(ReadFile(Outside("victim/victim.txt")), "victim");
    EXPECT_EQ(ListTree(scratch_.Path()).size(), ListTree(Program()).size() + outsideBefore_.size() + 2)
        << "something was written beside the program folder";
  }

  ScratchFolder scratch_;
  std::vector<std::string> outsideBefore_;
};

TEST_F(TreeMoveTest, CopiesNestedTreeOverExistingFilesAndRemovesDownload) {
  WriteFile(Program("prog"), "old program", true);
  WriteFile(Program("data/keep.txt"), "kept");
  WriteFile(Program("download/prog"), "new program");
  WriteFile(Program("download/top.txt"), "top");
  WriteFile(Program("download/data/readme.txt"), "readme");
  WriteFile(Program("download/data/deep/notes.txt"), "notes");

  EXPECT_EQ(renovo::MoveDownloadedTree(Program(), Program("download")), 4);

  EXPECT_EQ(ReadFile(Program("prog")), "new program");
  EXPECT_TRUE(IsExecutable(Program("prog"))) << "a replaced program must stay executable";
  EXPECT_EQ(ReadFile(Program("top.txt")), "top");
  EXPECT_EQ(ReadFile(Program("data/readme.txt")), "readme");
  EXPECT_EQ(ReadFile(Program("data/deep/notes.txt")), "notes");
  EXPECT_EQ(ReadFile(Program("data/keep.txt")), "kept");
  EXPECT_FALSE(Exists(Program("download")));
  EXPECT_EQ(ListTree(Program()), (std::vector<std::string>{"data", "data/deep", "data/deep/notes.txt",
                                                           "data/keep.txt", "data/readme.txt", "prog", "top.txt"}))
      << "no temporary copies may stay behind";
}

TEST_F(TreeMoveTest, LinksNeverLeadTheMoveOutside) {
  ASSERT_EQ(symlink(Outside("victim").c_str(), Program("linked").c_str()), 0);  // target folder leading out
  WriteFile(Program("download/linked/new.txt"), "must not reach the victim folder");
  WriteFile(Program("download/plain.txt"), "plain");
  ASSERT_EQ(symlink(scratch_.Path("outside").c_str(), Program("download/dirlink").c_str()), 0);
  ASSERT_EQ(symlink(Outside("secret.txt").c_str(), Program("download/filelink").c_str()), 0);

  EXPECT_EQ(renovo::MoveDownloadedTree(Program(), Program("download")), 1);

  EXPECT_EQ(ReadFile(Program("plain.txt")), "plain");
  EXPECT_FALSE(Exists(Outside("victim/new.txt")));
  EXPECT_FALSE(Exists(Program("dirlink")));
  EXPECT_FALSE(Exists(Program("filelink")));
  EXPECT_FALSE(Exists(Program("download")));
  ExpectOutsideUntouched();
}

TEST_F(TreeMoveTest, DownloadFolderThatIsALinkIsNeitherCopiedNorEmptied) {
  ASSERT_EQ(symlink(Outside("victim").c_str(), Program("download").c_str()), 0);

  EXPECT_EQ(renovo::MoveDownloadedTree(Program(), Program("download")), 0);

  EXPECT_FALSE(Exists(Program("victim.txt")));
  EXPECT_FALSE(Exists(Program("download")));
  ExpectOutsideUntouched();
}

TEST_F(TreeMoveTest, PrepareDownloadFolderStartsEmptyAndReplacesALink) {
  WriteFile(Program("download/partial/program.bin"), "left by an interrupted run");
  ASSERT_TRUE(renovo::PrepareDownloadFolder(Program("download")));
  EXPECT_TRUE(ListTree(Program("download")).empty());

  ASSERT_EQ(rmdir(Program("download").c_str()), 0);
  ASSERT_EQ(symlink(Outside("victim").c_str(), Program("download").c_str()), 0);
  ASSERT_TRUE(renovo::PrepareDownloadFolder(Program("download")));
  struct stat info {};
  ASSERT_EQ(lstat(Program("download").c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  ExpectOutsideUntouched();
}

}  // namespace
}  // namespace renovo_test
