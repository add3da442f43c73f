// domeview-play, the engine's stand-alone host, run as a program: its
// command line, its screenshot of the arrangement it laid out, and the keys
// it reads from the engine's window.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

#include "calib/picture_file.h"
#include "engine_test_support.h"

namespace enginetest {
namespace {

// In sanitizer builds the viewer's exit must not depend on leaks inside the
// GL driver, which it unloads before the leak check runs; the engine's own
// leaks are checked by the tests that run it in-process.
#if defined(__SANITIZE_ADDRESS__)
const std::string kPlay = "ASAN_OPTIONS=detect_leaks=0 " + std::string(KESTRA_BIN_DIR) + "/domeview-play";
#else
const std::string kPlay = std::string(KESTRA_BIN_DIR) + "/domeview-play";
#endif

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs the program with its output in files; returns its exit code.
int RunPlay(const std::string& args, std::string* out = nullptr, std::string* err = nullptr) {
  const std::string outPath = ScratchPath("play.out"), errPath = ScratchPath("play.err");
  const int status = std::system((kPlay + " " + args + " >" + outPath + " 2>" + errPath).c_str());
  if (out) *out = ReadText(outPath);
  if (err) *err = ReadText(errPath);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DomeviewPlayTest, CommandLineErrorsAreExplainedWithTheUsage) {
  std::string out, err;
  EXPECT_EQ(RunPlay("--help", &out), 0);
  EXPECT_NE(out.find("usage: domeview-play"), std::string::npos);
  const struct {
    const char* args;
    const char* says;
  } bad[] = {
      {"", "no recording given"},
      {"--arrangement six x.mp4", "invalid value for --arrangement: six"},
      {"--mode 4=2 x.mp4", "invalid value for --mode: 4=2"},
      {"--mode 7 x.mp4", "invalid value for --mode: 7"},
      {"--size 10x10 x.mp4", "invalid value for --size"},
      {"--frobnicate x.mp4", "unknown option --frobnicate"},
      {"x.mp4 --screenshot", "--screenshot needs a value"},
      {"a.mp4 b.mp4", "more than one recording"},
  };
  for (const auto& c : bad) {
    EXPECT_EQ(RunPlay(c.args, nullptr, &err), 2) << c.args;
    EXPECT_NE(err.find(c.says), std::string::npos) << c.args << ": " << err;
    EXPECT_NE(err.find("usage:"), std::string::npos) << c.args;
  }
  EXPECT_EQ(RunPlay(ScratchPath("no_such_recording.mp4") + " --calibration " + SamplePath("lens_1920x1080.inf"),
                    nullptr, &err),
            1);
  EXPECT_NE(err.find("cannot open the recording: error: couldn't open input stream"), std::string::npos) << err;
}

// The cylinder arrangement keeps the strip's pi : 1 shape: a 480 x 270
// window shows it 480 x 152 in the middle, black above and below.
TEST(DomeviewPlayTest, ScreenshotShowsTheArrangementInTheWindow) {
  const std::string shot = ScratchPath("cylinder.png");
  std::filesystem::remove(shot);
  std::string err;
  ASSERT_EQ(RunPlay("--arrangement cylinder --size 480x270 --after 1 --screenshot " + shot + " --calibration " +
                        SamplePath("lens_1920x1080.inf") + " " + SamplePath("front_1080p30_short.mp4"),
                    nullptr, &err),
            0)
      << err;
  int width = 0, height = 0;
  std::string error;
  const std::vector<uint8_t> bgr = calib::LoadPictureFile(&error, shot, &width, &height);
  ASSERT_FALSE(bgr.empty()) << error;
  EXPECT_EQ(width, 480);
  EXPECT_EQ(height, 270);
  auto rowIsBlack = [&](int row) {
    for (int i = 0; i < width * 3; ++i)
      if (bgr[size_t(row) * width * 3 + i] > 8) return false;
    return true;
  };
  for (int row : {0, 57, 213, 269}) EXPECT_TRUE(rowIsBlack(row)) << row;
  int lit = 0;
  for (int row = 62; row < 208; ++row) lit += !rowIsBlack(row);
  EXPECT_EQ(lit, 208 - 62) << "the strip fills the middle";
}

// Keys reach the viewer through its own connection to the display, from
// the window that has the keyboard, with the pointer over viewport 2.
TEST(DomeviewPlayTest, KeysPauseSwitchTheViewUnderThePointerAndQuit) {
  const std::string err = ScratchPath("keys.err"), rc = ScratchPath("keys.rc");
  std::filesystem::remove(err);  // an earlier run's "playing" must not start the keys
  std::filesystem::remove(rc);
  ASSERT_TRUE(RunCommand("(" + kPlay + " --arrangement four --size 480x270 --loop --calibration " +
                         SamplePath("lens_1920x1080.inf") + " " + SamplePath("front_1080p30_short.mp4") + " >/dev/null 2>" +
                         err + "; echo $? >" + rc + ") &"));
  auto waitFor = [](const std::function<bool()>& done) {
    for (auto giveUp = Clock::now() + 20s; Clock::now() < giveUp; std::this_thread::sleep_for(20ms))
      if (done()) return true;
    return false;
  };
  ASSERT_TRUE(waitFor([&] { return ReadText(err).find("playing") != std::string::npos; })) << ReadText(err);
  // (100, 100) lies in the top left quarter: viewport 2.
  ASSERT_TRUE(RunCommand("xdotool mousemove 100 100 key space sleep 0.3 key 3 sleep 0.3 key q"));
  ASSERT_TRUE(waitFor([&] { return std::filesystem::exists(rc) && !ReadText(rc).empty(); })) << ReadText(err);
  EXPECT_EQ(ReadText(rc), "0\n");
  const std::string said = ReadText(err);
  EXPECT_NE(said.find("paused"), std::string::npos) << said;
  EXPECT_NE(said.find("viewport 2: draw mode 3"), std::string::npos) << said;
}

}  // namespace
}  // namespace enginetest
