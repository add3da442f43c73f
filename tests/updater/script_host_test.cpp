#include "script_host.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <future>
#include <lua.hpp>
#include <memory>

#include "test_support.h"
#include "update_session.h"

namespace renovo_test {
namespace {

TEST(VersionConfig, RunsInABareStateAndReadsTheTwoNames) {
  const struct {
    const char* what;
    const char* content;  // null: no file
    bool ok;
    const char* swName;
    const char* executeName;
    const char* statusSuffix;  // end of the error text
  } cases[] = {
      {"plain", "swName = 'Kestra'\nexecuteName = 'kestrago'\n", true, "Kestra", "kestrago", ""},
      {"numbers become text", "swName = 12\nexecuteName = 3", true, "12", "3", ""},
      {"names missing", "x = 1", true, "", "", ""},
      {"a table is not a name", "swName = {}", true, "", "", ""},
      {"syntax error", "swName = ", false, "", "", " 3"},
      {"runtime error", "error('broken config')", false, "", "", " 2"},
      {"no libraries", "print('x')", false, "", "", " 2"},
      {"missing file", nullptr, false, "", "", " 6"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder scratch;
    if (c.content) WriteFile(scratch.Path("version.cfg"), c.content);
    renovo::VersionConfig config;
    std::string error;
    ASSERT_EQ(renovo::RunVersionConfig(scratch.Path("version.cfg"), &config, &error), c.ok) << error;
    EXPECT_EQ(config.swName, c.swName);
    EXPECT_EQ(config.executeName, c.executeName);
    if (!c.ok) {
      EXPECT_EQ(error.rfind("pcall FAILED ", 0), 0u) << error;
      EXPECT_TRUE(error.ends_with(c.statusSuffix)) << error;
    }
  }
}

TEST(CheckLastVersion, ResultIsTextOrEmpty) {
  const struct {
    const char* what;
    const char* script;  // null: no checkver.ulf
    const char* expected;
  } cases[] = {
      {"string", "function CheckLastVersion() return '2.0.1' end", "2.0.1"},
      {"number", "function CheckLastVersion() return 2 end", "2"},
      {"nil", "function CheckLastVersion() end", ""},
      {"boolean", "function CheckLastVersion() return true end", ""},
      {"failing check", "function CheckLastVersion() error('server gone') end", ""},
      {"no such function", "function Other() return '2' end", ""},
      {"not a function", "CheckLastVersion = '2'", ""},
      {"syntax error", "function CheckLastVersion( return '2' end", ""},
      {"script fails", "error({}) function CheckLastVersion() return '2' end", ""},
      {"missing script", nullptr, ""},
      {"runs in the program folder", "function CheckLastVersion() return io.open('marker.txt'):read('*a') end",
       "found"},
  };
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof(saved)), nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder scratch;
    WriteFile(scratch.Path("marker.txt"), "found");
    if (c.script) WriteFile(scratch.Path("checkver.ulf"), c.script);
    EXPECT_EQ(renovo::CheckLastVersion(scratch.Path()), c.expected);
  }
  ASSERT_EQ(chdir(saved), 0);
}

// Records what the script does to the dialog, in order.
class RecordingPort : public renovo::DialogPort {
 public:
  void SetProgress(int percent) override { calls.push_back("progress " + std::to_string(percent)); }
  void SetStatusText(const std::string& text) override { calls.push_back("status " + text); }
  void SetCancelText(const std::string& text) override {
    calls.push_back("cancel " + text);
    if (onCancelText) onCancelText();
  }
  std::vector<std::string> calls;
  std::function<void()> onCancelText;
};

class UpdateFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    L_ = luaL_newstate();
    luaL_openlibs(L_);
    renovo::RegisterUpdateFunctions(L_, &session_);
  }
  void TearDown() override { lua_close(L_); }

  int Run(const std::string& script) {
    WriteFile(scratch_.Path("script.ulf"), script);
    return renovo::RunUpdateScript(L_, scratch_.Path("script.ulf"), stop_, nullptr);
  }

  ScratchFolder scratch_;
  RecordingPort port_;
  int ended_ = 0;
  renovo::UpdateSession session_{scratch_.Path(), port_, [](int n) { return "<" + std::to_string(n) + ">"; },
                                 [this] { ++ended_; }};
  std::atomic<bool> stop_{false};
  lua_State* L_ = nullptr;
};

TEST_F(UpdateFunctionsTest, UpdateProcessTruncatesAndLimitsThePercentage) {
  const struct {
    const char* percent;
    int bar;
  } cases[] = {{"150", 100}, {"42.9", 42}, {"100", 100}, {"99.99", 99}, {"0", 0}, {"-3", 0}, {"0/0", 0}};
  for (const auto& c : cases) {
    port_.calls.clear();
    ASSERT_EQ(Run(std::string("UpdateProcess(") + c.percent + ", 'x')"), 0) << c.percent;
    EXPECT_EQ(port_.calls, (std::vector<std::string>{"progress " + std::to_string(c.bar), "status <4>x"}))
        << c.percent;
  }
  EXPECT_NE(Run("UpdateProcess('many', 'x')"), 0) << "a percentage must be a number";
}

TEST_F(UpdateFunctionsTest, DownLoadFinishInstallsBeforeOfferingTheRestart) {
  WriteFile(scratch_.Path("download/sub/new.txt"), "new");
  bool installedFirst = false;
  port_.onCancelText = [&] { installedFirst = Exists(scratch_.Path("sub/new.txt")) && !session_.Finished(); };

  ASSERT_EQ(Run("DownLoadFinish()"), 0);
  EXPECT_EQ(port_.calls, (std::vector<std::string>{"progress 100", "status <3>", "cancel <7>"}));
  EXPECT_TRUE(installedFirst);
  EXPECT_TRUE(session_.Finished());
  EXPECT_FALSE(Exists(scratch_.Path("download")));
}

TEST_F(UpdateFunctionsTest, PromtNoVersionEndsAndNeverReturnsToTheScript) {
  EXPECT_NE(Run("PromtNoVersion() reached = true"), 0);
  EXPECT_EQ(ended_, 1);
  EXPECT_EQ(port_.calls, (std::vector<std::string>{"progress 0", "status <5>", "cancel <0>"}));
  lua_getglobal(L_, "reached");
  EXPECT_TRUE(lua_isnil(L_, -1));
  EXPECT_FALSE(session_.Finished());
}

TEST_F(UpdateFunctionsTest, StopEndsARunningScriptEvenOneThatCatchesErrors) {
  for (const char* script : {"while true do end",
                             "while true do pcall(function() while true do end end) end"}) {
    stop_ = false;
    auto run = std::async(std::launch::async, [&] { return Run(script); });
    EXPECT_EQ(run.wait_for(200ms), std::future_status::timeout) << "the script ended by itself";
    stop_ = true;
    ASSERT_EQ(run.wait_for(30s), std::future_status::ready) << script;
    EXPECT_NE(run.get(), 0);
  }
  stop_ = false;
  EXPECT_EQ(Run("finished = 1"), 0) << "the state stays usable once the stop hook is gone";
}

}  // namespace
}  // namespace renovo_test
