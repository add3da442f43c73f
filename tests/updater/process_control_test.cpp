#include "process_control.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"

namespace renovo_test {
namespace {

// A copy of the dummy program under a name no other process has.
std::string PlaceDummy(const ScratchFolder& scratch, const std::string& stem) {
  const std::string path = scratch.Path(stem + std::to_string(getpid()));
  CopyFile(UPDATER_DUMMY, path);
  return path;
}

bool DummyStarted(const ScratchFolder& scratch, size_t times) {
  const std::string log = ReadFile(scratch.Path("dummy.log"));
  return static_cast<size_t>(std::count(log.begin(), log.end(), '\n')) >= times;
}

TEST(ProcessControl, FindsProgramByFileNameAndEndsIt) {
  ScratchFolder scratch;
  const std::string program = PlaceDummy(scratch, "KgFind");
  const pid_t pid = Spawn({program});
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(WaitUntil([&] { return DummyStarted(scratch, 1); }, 20s));

  EXPECT_EQ(renovo::FindProcessByName("kgfind" + std::to_string(getpid())), pid);
  EXPECT_EQ(renovo::FindProcessByName("kgfind"), 0);
  EXPECT_EQ(renovo::FindProcessByName(""), 0);

  EXPECT_TRUE(renovo::TerminateAndWait(pid));
  EXPECT_FALSE(renovo::ProcessRunning(pid)) << "an ended child that was not reaped yet has ended";
  const std::optional<int> status = WaitForExit(pid, 5s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGTERM);
}

TEST(ProcessControl, ProgramIgnoringTerminationIsKilledAfterGrace) {
  const pid_t pid = Spawn({"sh", "-c", "trap '' TERM; exec sleep 60"});
  ASSERT_GT(pid, 0);
  ASSERT_TRUE(WaitUntil([&] { return ReadFile("/proc/" + std::to_string(pid) + "/comm") == "sleep\n"; }, 20s));

  EXPECT_TRUE(renovo::TerminateAndWait(pid, std::chrono::milliseconds(200), std::chrono::seconds(20)));
  const std::optional<int> status = WaitForExit(pid, 5s);
  ASSERT_TRUE(status.has_value());
  EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL);
}

TEST(ProcessControl, StartProgramStartsOnlyWhatExists) {
  ScratchFolder scratch;
  EXPECT_FALSE(renovo::StartProgram(scratch.Path("missing")));

  const std::string program = PlaceDummy(scratch, "KgStart");
  ASSERT_TRUE(renovo::StartProgram(program));
  ASSERT_TRUE(WaitUntil([&] { return DummyStarted(scratch, 1); }, 20s));
  const pid_t pid = renovo::FindProcessByName(program.substr(program.rfind('/') + 1));
  ASSERT_GT(pid, 0);
  EXPECT_EQ(getsid(pid), pid) << "the started program leads a session of its own";
  kill(pid, SIGKILL);
  WaitForExit(pid, 5s);
}

}  // namespace
}  // namespace renovo_test
