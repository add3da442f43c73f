// renovo_ex run as the user gets it: a copy of the program folder in a
// scratch folder, a loopback HTTP server holding the update, a dummy
// program standing in for the player, and the dialog closed through X11.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <sstream>

#include "platform/paths.h"
#include "process_control.h"
#include "test_support.h"
#include "x11_windows.h"

namespace renovo_test {
namespace {

// The updater with everything it loads from its program folder.
constexpr const char* kProgramFiles[] = {"renovo_ex",    "libplugmux.so",  "liblingua_asc.so", "libkestra_platform.so",
                                         "libkestra_platform_ui.so", "renovo.osd", "checkver.ulf", "UpdateSelf.ulf"};
constexpr auto kLimit = 120s;  // generous: the machine may be busy

class RenovoEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x11_.Connected()) << "needs the test display";
    for (const char* file : kProgramFiles) CopyFile(platform::JoinPath(KESTRA_BIN_DIR, file), Program(file));
    WriteFile(Program("lanid.osd"), "[Option]\nOption=9\n");  // English texts whatever the locale
    CopyFile(UPDATER_DUMMY, Program(executeName_));
    mkdir(scratch_.Path("outside").c_str(), 0755);
    mkdir(scratch_.Path("logs").c_str(), 0755);
    StartServer();
    WriteFile(Program("version.cfg"), VersionConfig("1.0.0"));
  }

  void TearDown() override {
    if (updater_ > 0 && !WaitForExit(updater_, 0ms)) {
      kill(updater_, SIGKILL);
      WaitForExit(updater_, 10s);
    }
    std::istringstream started(ReadFile(Program("dummy.log")));
    for (pid_t pid; started >> pid;) {
      if (renovo::ProcessRunning(pid)) kill(pid, SIGKILL);
      waitpid(pid, nullptr, WNOHANG);
    }
    if (server_ > 0) {
      kill(server_, SIGKILL);
      WaitForExit(server_, 10s);
    }
  }

  std::string Program(const std::string& relative = "") const {
    return scratch_.Path(relative.empty() ? "program" : "program/" + relative);
  }
  std::string Www(const std::string& relative) const { return scratch_.Path("www/" + relative); }

  void StartServer() {
    mkdir(scratch_.Path("www").c_str(), 0755);
    const std::string portFile = scratch_.Path("logs/server.port");
    server_ = Spawn({"python3", KESTRA_SOURCE_DIR "/tests/updater/loopback_server.py", scratch_.Path("www")}, portFile);
    ASSERT_GT(server_, 0);
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(portFile).find('\n') != std::string::npos; }, 60s));
    port_ = std::stoi(ReadFile(portFile));
  }

  std::string VersionConfig(const std::string& version) const {
    return "swName = \"KgTest\"\nexecuteName = \"" + executeName_ + "\"\nswVersion = \"" + version +
           "\"\nupdateUrl = \"http://127.0.0.1:" + std::to_string(port_) + "/update\"\n";
  }

  // Puts an update on the server: its manifest and the files it lists.
  void Publish(const std::string& version, const std::map<std::string, std::string>& files,
               const std::string& extraLines = "") {
    std::string manifest = "# test update\nversion " + version + "\n" + extraLines;
    for (const auto& [path, content] : files) {
      manifest += "file " + path + "\n";
      WriteFile(Www("update/" + path), content);
    }
    WriteFile(Www("update/manifest.txt"), manifest);
  }
  std::map<std::string, std::string> NewRelease() const {
    return {{executeName_, ReadFile(UPDATER_DUMMY)},
            {"data/readme.txt", "readme 2"},
            {"data/deep/notes.txt", "notes 2"},
            {"version.cfg", VersionConfig("2.0.0")}};
  }

  size_t DummyStarts() const {
    const std::string log = ReadFile(Program("dummy.log"));
    return static_cast<size_t>(std::count(log.begin(), log.end(), '\n'));
  }
  pid_t StartDummy() {
    const size_t before = DummyStarts();
    const pid_t pid = Spawn({Program(executeName_)});
    EXPECT_TRUE(WaitUntil([&] { return DummyStarts() > before; }, kLimit));
    return pid;
  }
  void StartUpdater() {
    updater_ = Spawn({Program("renovo_ex")}, scratch_.Path("logs/updater.out"), scratch_.Path("logs/updater.err"));
    ASSERT_GT(updater_, 0);
  }
  std::string UpdaterOutput() const {
    return "stdout:\n" + ReadFile(scratch_.Path("logs/updater.out")) + "stderr:\n" +
           ReadFile(scratch_.Path("logs/updater.err"));
  }

  // Waits for the dialog, returns its title and closes it as the window
  // manager would (the same as the cancel button).
  std::string CloseDialog() {
    std::optional<Window> window;
    EXPECT_TRUE(WaitUntil([&] { return (window = x11_.FindWindowOf(updater_)).has_value(); }, kLimit))
        << UpdaterOutput();
    if (!window) return {};
    const std::string title = x11_.Title(*window);
    x11_.RequestClose(*window);
    return title;
  }
  void ExpectUpdaterEndsWithCodeZero() {
    const std::optional<int> status = WaitForExit(updater_, kLimit);
    ASSERT_TRUE(status.has_value()) << "the updater did not end\n" << UpdaterOutput();
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << *status << "\n" << UpdaterOutput();
    updater_ = 0;
  }

  ScratchFolder scratch_;
  X11Windows x11_;
  const std::string executeName_ = "kgdummy" + std::to_string(getpid());
  pid_t server_ = 0;
  pid_t updater_ = 0;
  int port_ = 0;
};

TEST_F(RenovoEndToEnd, NewerVersionClosesProgramInstallsTreeAndCancelRestartsIt) {
  Publish("2.0.0", NewRelease());
  const pid_t dummy = StartDummy();
  StartUpdater();

  const std::optional<int> dummyStatus = WaitForExit(dummy, kLimit);
  ASSERT_TRUE(dummyStatus.has_value()) << "the running program was not closed\n" << UpdaterOutput();
  EXPECT_TRUE(WIFSIGNALED(*dummyStatus));
  ASSERT_TRUE(WaitUntil([&] { return UpdaterOutput().find("version 2.0.0 installed") != std::string::npos; }, kLimit))
      << UpdaterOutput();

  EXPECT_EQ(ReadFile(Program("data/readme.txt")), "readme 2");
  EXPECT_EQ(ReadFile(Program("data/deep/notes.txt")), "notes 2");
  EXPECT_EQ(ReadFile(Program("version.cfg")), VersionConfig("2.0.0"));
  EXPECT_EQ(ReadFile(Program(executeName_)), ReadFile(UPDATER_DUMMY));
  EXPECT_TRUE(IsExecutable(Program(executeName_)));
  EXPECT_FALSE(Exists(Program("download")));
  EXPECT_EQ(DummyStarts(), 1u) << "nothing restarts before cancel";

  EXPECT_EQ(CloseDialog(), "KgTest Update");
  ExpectUpdaterEndsWithCodeZero();
  EXPECT_TRUE(WaitUntil([&] { return DummyStarts() == 2; }, kLimit)) << "cancel did not restart the program";
}

TEST_F(RenovoEndToEnd, NoNewerVersionEndsWithCodeZeroAndClosesNothing) {
  Publish("1.0.0", NewRelease());
  const pid_t dummy = StartDummy();
  StartUpdater();

  ExpectUpdaterEndsWithCodeZero();
  EXPECT_TRUE(renovo::ProcessRunning(dummy));
  EXPECT_FALSE(Exists(Program("data/readme.txt")));
  EXPECT_EQ(UpdaterOutput().find("pcall FAILED"), std::string::npos) << UpdaterOutput();
}

TEST_F(RenovoEndToEnd, BrokenScriptsCloseNothing) {
  const struct {
    const char* file;
    const char* content;
    const char* title;
  } cases[] = {
      {"version.cfg", "swName = ", "Renovo"},
      {"checkver.ulf", "function CheckLastVersion( return '9' end", "KgTest Update"},
      {"checkver.ulf", "function CheckLastVersion() error('no server') end", "KgTest Update"},
  };
  Publish("2.0.0", NewRelease());
  const pid_t dummy = StartDummy();
  const std::string goodChecker = ReadFile(Program("checkver.ulf"));
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + ": " + c.content);
    WriteFile(Program("version.cfg"), VersionConfig("1.0.0"));
    WriteFile(Program("checkver.ulf"), goodChecker);
    WriteFile(Program(c.file), c.content);
    StartUpdater();
    EXPECT_EQ(CloseDialog(), c.title);
    ExpectUpdaterEndsWithCodeZero();
    EXPECT_TRUE(renovo::ProcessRunning(dummy));
    EXPECT_FALSE(Exists(Program("data/readme.txt")));
  }
  EXPECT_EQ(DummyStarts(), 1u);
}

TEST_F(RenovoEndToEnd, ManifestReachingOutsideIsRefused) {
  const std::string absolute = "/tmp/renovo_escape_" + std::to_string(getpid()) + ".txt";
  for (const std::string& path : {std::string("../../escape.txt"), absolute}) {
    SCOPED_TRACE(path);
    WriteFile(Www("escape.txt"), "escaped");
    Publish("2.0.0", NewRelease(), "file " + path + "\n");
    const pid_t dummy = StartDummy();
    StartUpdater();
    ExpectUpdaterEndsWithCodeZero();  // an invalid manifest offers no update
    EXPECT_TRUE(renovo::ProcessRunning(dummy));
    EXPECT_FALSE(Exists(scratch_.Path("escape.txt")));
    EXPECT_FALSE(Exists(absolute));
    EXPECT_FALSE(Exists(Program("data/readme.txt")));
    kill(dummy, SIGKILL);
    WaitForExit(dummy, kLimit);
  }
}

TEST_F(RenovoEndToEnd, LinksInTheProgramFolderLeadNothingOutside) {
  mkdir(scratch_.Path("outside/data").c_str(), 0755);
  mkdir(scratch_.Path("outside/dl").c_str(), 0755);
  WriteFile(scratch_.Path("outside/dl/kept.txt"), "kept");
  ASSERT_EQ(symlink(scratch_.Path("outside/data").c_str(), Program("data").c_str()), 0);
  ASSERT_EQ(symlink(scratch_.Path("outside/dl").c_str(), Program("download").c_str()), 0);
  const std::vector<std::string> outsideBefore = ListTree(scratch_.Path("outside"));
  Publish("2.0.0", NewRelease());
  StartDummy();
  StartUpdater();

  ASSERT_TRUE(WaitUntil([&] { return UpdaterOutput().find("version 2.0.0 installed") != std::string::npos; }, kLimit))
      << UpdaterOutput();
  EXPECT_EQ(ListTree(scratch_.Path("outside")), outsideBefore);
  EXPECT_EQ(ReadFile(scratch_.Path("outside/dl/kept.txt")), "kept");
  EXPECT_EQ(ReadFile(Program("version.cfg")), VersionConfig("2.0.0")) << "files inside are still installed";
  CloseDialog();
  ExpectUpdaterEndsWithCodeZero();
}

TEST_F(RenovoEndToEnd, CancelStopsARunningScriptBeforeClosingItsState) {
  WriteFile(Program("UpdateSelf.ulf"), "UpdateProcess(10, ' busy')\nprint('script running')\nwhile true do end\n");
  Publish("1.0.0", NewRelease());
  StartUpdater();
  ASSERT_TRUE(WaitUntil([&] { return UpdaterOutput().find("script running") != std::string::npos; }, kLimit))
      << UpdaterOutput();
  CloseDialog();
  ExpectUpdaterEndsWithCodeZero();
  EXPECT_NE(UpdaterOutput().find("update cancelled"), std::string::npos) << UpdaterOutput();
}

TEST_F(RenovoEndToEnd, MissingPluginManagerShowsTheMessageAndEnds) {
  for (const char* library : {"libplugmux.so", "liblingua_asc.so"}) {
    SCOPED_TRACE(library);
    ASSERT_EQ(rename(Program(library).c_str(), Program(std::string(library) + ".away").c_str()), 0);
    StartUpdater();
    ExpectUpdaterEndsWithCodeZero();
    EXPECT_NE(UpdaterOutput().find("Load Plugin lang.dll Error "), std::string::npos) << UpdaterOutput();
    ASSERT_EQ(rename(Program(std::string(library) + ".away").c_str(), Program(library).c_str()), 0);
  }
}

}  // namespace
}  // namespace renovo_test
