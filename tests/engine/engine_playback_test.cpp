// Playback under Xvfb with SDL's dummy audio driver: every sample plays to
// its last picture in step with its sound, the end is reported once, and
// pause, seek, stepping, the host's native window and its notifications
// behave as the host relies on. Pictures are identified by the frame code
// the sample generator draws into each one.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>

#include "engine_hooks.h"
#include "engine_test_support.h"
#include "platform/window_messages.h"

namespace enginetest {
namespace {

constexpr int kWindowWidth = 320, kWindowHeight = 180;

class EnginePlaybackTest : public ::testing::Test {
 protected:
  void TearDown() override {
    engine_->Stop();
    domeview::TestHooks().native_window_attempt = nullptr;
  }

  // Opens the media for a small free-standing window (or the host's window).
  int Open(const std::string& media, platform::HWND host = nullptr) {
    open_ = std::make_unique<OpenParams>(media);
    const int code = engine_->Init(open_->get());
    if (host) {
      engine_->SetNativeWindow(host);
    } else {
      engine_->SetWindowRect(0, 0, kWindowWidth, kWindowHeight);
    }
    engine_->SetViewport(0, 0, kWindowWidth, kWindowHeight, 0);
    return code;
  }

  int Start(const std::string& media, platform::HWND host = nullptr) {
    const int code = Open(media, host);
    return code ? code : events_.Play(*engine_);
  }

  // Waits until a picture with at least this frame code has been shown.
  bool WaitForCode(const PictureLog& log, int code, std::chrono::milliseconds timeout = 10s) {
    return log.WaitFor([code](const auto& e) { return !e.empty() && e.back().code >= code; }, timeout);
  }

  // Plays the media, pauses once the picture `code` is up and returns the
  // code of the picture on screen (-1 when it never came).
  int PlayAndPauseAt(const std::string& media, const PictureLog& log, int code) {
    if (Start(media) != 0 || !WaitForCode(log, code)) return -1;
    engine_->Pause();
    std::this_thread::sleep_for(150ms);  // a picture being taken as Pause came in
    return log.LastCode();
  }

  Engine engine_ = NewEngine();
  PlaybackEvents events_;
  std::unique_ptr<OpenParams> open_;
};

// ---------------------------------------------------------------- whole samples

struct SampleCase {
  const char* name;
  int frames;
  int fps;
};

const SampleCase kSamples[] = {
    {"front_1080p30.mp4", 240, 30},        {"front_1080p60_sbtl.mp4", 480, 60},
    {"front_2880p30.mp4", 90, 30},         {"front_1080p30.ts", 240, 30},
    {"front_1080p30_silent.mp4", 240, 30}, {"front_1080p30_short.mp4", 60, 30},
    {"DCIMA/20240615_103000.MP4", 240, 30}, {"20240615_103000_B.mp4", 240, 30},
};

// Every sample in a free-standing window and in a window of the host's.
class EngineSampleTest : public EnginePlaybackTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EngineSampleTest, EverySamplePlaysToItsLastPictureInStepWithItsClock) {
  std::unique_ptr<HostWindow> host;
  if (GetParam()) {
    host = std::make_unique<HostWindow>(kWindowWidth, kWindowHeight);
    host->RegisterChildId();
  }
  StopFirst stopFirst{*engine_};
  for (const SampleCase& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    PictureLog log;
    PlaybackEvents events;
    OpenParams open(SamplePath(sample.name));
    ASSERT_EQ(engine_->Init(open.get()), 0) << engine_->GetErrorText();
    if (host) {
      engine_->SetNativeWindow(host->child());
    } else {
      engine_->SetWindowRect(0, 0, kWindowWidth, kWindowHeight);
    }
    ASSERT_EQ(events.Play(*engine_), 0) << engine_->GetErrorText();
    const double seconds = double(sample.frames) / sample.fps;
    ASSERT_TRUE(events.WaitForEnd(std::chrono::milliseconds(int(seconds * 1000) + 20000)));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(events.ends(), 1);
    EXPECT_EQ(engine_->IsPlaying(), 0);

    // Every picture, the last second's included, in order and none twice.
    const std::vector<PictureLog::Entry> shown = log.Entries();
    EXPECT_TRUE(CodesAreConsecutive(shown, 0, sample.frames - 1));
    if (shown.size() < 2) continue;
    // No picture is taken more than 30 ms early (one more for the two
    // roundings to milliseconds), and the picture does not fall behind its
    // clock (at 60 pictures a second either).
    std::vector<int64_t> lags;
    for (const PictureLog::Entry& entry : shown) {
      EXPECT_LE(entry.picture_ms - entry.clock_ms, 31) << "picture " << entry.code;
      lags.push_back(entry.clock_ms - entry.picture_ms);
    }
    // Generous for a loaded machine; a display that cannot keep up with 60
    // pictures a second ends seconds behind.
    std::vector<int64_t> lastSecond(lags.end() - std::min<size_t>(lags.size(), sample.fps), lags.end());
    std::nth_element(lastSecond.begin(), lastSecond.begin() + lastSecond.size() / 2, lastSecond.end());
    EXPECT_LT(lastSecond[lastSecond.size() / 2], 250) << "median lag over the last second, ms";
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, EngineSampleTest, ::testing::Values(false, true),
                         [](const auto& test) { return test.param ? "HostChildWindow" : "FreeStandingWindow"; });

TEST_F(EnginePlaybackTest, TheEndIsReportedOncePerPlay) {
  {
    PictureLog log;
    ASSERT_EQ(Start(SamplePath("front_1080p30_short.mp4")), 0);
    ASSERT_TRUE(events_.WaitForEnd(15s));
    engine_->Stop();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(events_.ends(), 1) << "natural end, then Stop";
  }
  PlaybackEvents second;
  PictureLog log;
  StopFirst stopFirst{*engine_};
  OpenParams open(SamplePath("front_1080p30_short.mp4"));
  ASSERT_EQ(engine_->Init(open.get()), 0);
  ASSERT_EQ(second.Play(*engine_), 0);
  ASSERT_TRUE(log.WaitForCount(5, 10s));
  engine_->Stop();
  EXPECT_EQ(engine_->IsPlaying(), 0);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(second.ends(), 1) << "Stop";
}

TEST_F(EnginePlaybackTest, PlayingRefusesInitAndWindowChangesButNotPlay) {
  PictureLog log;
  StopFirst stopFirst{*engine_};
  ASSERT_EQ(Start(SamplePath("front_1080p30.mp4")), 0);
  ASSERT_TRUE(log.WaitForCount(5, 10s));
  EXPECT_EQ(engine_->IsPlaying(), 1);

  OpenParams other(SamplePath("front_1080p60_sbtl.mp4"));
  EXPECT_EQ(engine_->Init(other.get()), 21);
  EXPECT_STREQ(engine_->GetErrorText(), "error: the player is playing video, please stop it first;\n");
  EXPECT_EQ(engine_->SetWindowRect(0, 0, 100, 100), 21);
  EXPECT_STREQ(engine_->GetErrorText(), "error: can not create window while playing;\n");
  EXPECT_EQ(events_.Play(*engine_), 0) << "a second Play does nothing";

  // The window is known now: a rectangle starts at 0 and fits inside it.
  EXPECT_EQ(engine_->SetViewport(-5, 0, 10000, 10000, 0), 0);
  {
    domeview::ViewBlock& view = EngineTestAccess::State(*engine_).view;
    std::lock_guard<std::mutex> lock(view.render_lock);
    EXPECT_EQ(view.viewports.viewport_rect[0].x, 0);
    EXPECT_EQ(view.viewports.viewport_rect[0].width, kWindowWidth);
    EXPECT_EQ(view.viewports.viewport_rect[0].height, kWindowHeight);
    EXPECT_EQ(view.viewports.pending_viewport_change, 0) << "the render thread applied it before SetViewport returned";
  }
  // A draw mode change is applied by the render thread: it resets the angles.
  engine_->SetViewAngles(10, 20, 30, 0);
  EXPECT_EQ(engine_->SetDrawMode(2, 0), 0);
  float a0 = 1, a1 = 1, a2 = 1;
  engine_->GetViewAngles(0, &a0, &a1, &a2);
  EXPECT_EQ(a0 + a1 + a2, 0.0f);

  // The first media plays on untouched, without a gap.
  const size_t before = log.Count();
  ASSERT_TRUE(log.WaitForCount(before + 15, 10s));
  const auto shown = log.Entries();
  EXPECT_TRUE(CodesAreConsecutive(shown, 0, shown.back().code));
  engine_->Stop();
  EXPECT_EQ(events_.ends(), 1);
}

TEST_F(EnginePlaybackTest, MonoAndSurroundSoundPlayAsStereo) {
  for (const int channels : {1, 6}) {
    SCOPED_TRACE(channels);
    const std::string path = ScratchPath("sound_" + std::to_string(channels) + ".mp4");
    ASSERT_TRUE(RunCommand("ffmpeg -loglevel error -y -i " + SamplePath("front_1080p30_short.mp4") +
                           " -c:v copy -c:a aac -ac " + std::to_string(channels) + " " + path));
    PictureLog log;
    PlaybackEvents events;
    OpenParams open(path);
    ASSERT_EQ(engine_->Init(open.get()), 0) << engine_->GetErrorText();
    engine_->SetWindowRect(0, 0, kWindowWidth, kWindowHeight);
    ASSERT_EQ(events.Play(*engine_), 0) << engine_->GetErrorText();
    ASSERT_TRUE(events.WaitForEnd(20s));
    EXPECT_TRUE(CodesAreConsecutive(log.Entries(), 0, 59));
    EXPECT_GT(log.Entries().back().clock_ms, 1800) << "the sound drove the clock to the end";
  }
}

// ---------------------------------------------------------------- seeking

TEST_F(EnginePlaybackTest, SeekLandsOnWholeSecondsWithinTheDuration) {
  PictureLog log;
  StopFirst stopFirst{*engine_};
  ASSERT_EQ(Start(SamplePath("front_1080p30.mp4")), 0);
  ASSERT_TRUE(log.WaitForCount(3, 10s));
  const ISS_TimeTriple d = engine_->GetDuration();
  ASSERT_EQ(d.seconds * 1000 + d.milliseconds, 8000);

  EXPECT_EQ(engine_->Seek(d.minutes, d.seconds, d.milliseconds), 21);
  EXPECT_STREQ(engine_->GetErrorText(), "error: invalid seeking time: out of video time duration;\n");
  EXPECT_EQ(engine_->IsPlaying(), 1);

  ASSERT_EQ(engine_->Seek(0, 5, 500), 0);
  ASSERT_TRUE(WaitForCode(log, 60));
  const auto shown = log.Entries();
  const auto landed = std::find_if(shown.begin(), shown.end(), [](const auto& e) { return e.code >= 60; });
  EXPECT_EQ(landed->code, 150) << "5.5 s lands on 5 s";
  EXPECT_TRUE(std::none_of(shown.begin(), shown.end(), [](const auto& e) { return e.code > 60 && e.code < 150; }));
  // Whole seconds of the clock plus one; the sound that sets the clock may
  // start a few milliseconds before the picture.
  const int64_t position = engine_->GetPlayPosition();
  EXPECT_GE(position, 5);
  EXPECT_LE(position, 7);

  // One millisecond short of the end is accepted, lands on 7 s and plays out.
  ASSERT_EQ(engine_->Seek(d.minutes, d.seconds, d.milliseconds - 1), 0);
  ASSERT_TRUE(events_.WaitForEnd(10s));
  const auto after = log.Entries();
  const auto last = std::find_if(after.begin(), after.end(), [](const auto& e) { return e.code == 210; });
  ASSERT_NE(last, after.end());
  EXPECT_TRUE(CodesAreConsecutive({last, after.end()}, 210, 239));
  EXPECT_EQ(events_.ends(), 1);
}

// ---------------------------------------------------------------- pause and stepping

class EnginePauseTest : public EnginePlaybackTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EnginePauseTest, PauseHoldsPictureAndClockResumeGoesOn) {
  PictureLog log;
  StopFirst stopFirst{*engine_};
  ASSERT_GE(PlayAndPauseAt(SamplePath(GetParam()), log, 30), 30);
  const size_t shownAtPause = log.Count();
  const int64_t clockAtPause = log.Entries().back().clock_ms;
  const int64_t positionAtPause = engine_->GetPlayPosition();
  std::this_thread::sleep_for(1200ms);
  EXPECT_EQ(log.Count(), shownAtPause) << "no picture while paused";
  EXPECT_EQ(engine_->GetPlayPosition(), positionAtPause);

  EXPECT_EQ(engine_->Resume(), 0);
  ASSERT_TRUE(log.WaitForCount(shownAtPause + 20, 10s));
  const auto shown = log.Entries();
  EXPECT_LT(shown[shownAtPause].clock_ms - clockAtPause, 400) << "the clock stood still while paused";
  EXPECT_TRUE(CodesAreConsecutive(shown, 0, shown.back().code)) << "nothing lost across the pause";
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutSound, EnginePauseTest,
                         ::testing::Values("front_1080p30.mp4", "front_1080p30_silent.mp4"));

TEST_F(EnginePlaybackTest, StepsForwardAndBackOnePictureAtATime) {
  PictureLog log;
  StopFirst stopFirst{*engine_};
  const int c = PlayAndPauseAt(SamplePath("front_1080p30.mp4"), log, 75);
  ASSERT_GE(c, 75);

  std::vector<int> steps;
  auto step = [&](bool forward) {
    const size_t before = log.Count();
    engine_->StepFrame(forward);
    steps.push_back(log.WaitForCount(before + 1, 5s) ? log.LastCode() : -1);
  };
  step(true), step(true), step(true);  // through pictures waiting in the ring
  for (int i = 0; i < 45; ++i) step(false);  // through the ring's history, then re-read twice
  step(true);

  std::vector<int> expected = {c + 1, c + 2, c + 3};
  for (int i = 0; i < 45; ++i) expected.push_back(c + 2 - i);
  expected.push_back(c - 41);
  EXPECT_EQ(::testing::PrintToString(steps), ::testing::PrintToString(expected));
  EXPECT_EQ(engine_->GetPlayPosition(), (c - 41) / 30 + 1) << "the clock follows the stepped picture";

  engine_->Resume();
  ASSERT_TRUE(log.WaitForCount(log.Count() + 10, 10s)) << "playback goes on after stepping";
}

TEST_F(EnginePlaybackTest, SteppingBackStopsAtTheFirstPicture) {
  PictureLog log;
  StopFirst stopFirst{*engine_};
  const int paused = PlayAndPauseAt(SamplePath("front_1080p30_short.mp4"), log, 6);
  ASSERT_GE(paused, 6);
  for (int code = paused - 1; code >= 0; --code) {
    engine_->StepFrame(false);
    ASSERT_EQ(log.WaitForNext(), code);
  }
  const size_t atFirst = log.Count();
  engine_->StepFrame(false);
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(log.Count(), atFirst) << "nothing older than the first picture";
  engine_->StepFrame(true);
  EXPECT_EQ(log.WaitForNext(), 1);
}

// ---------------------------------------------------------------- the host's window

TEST_F(EnginePlaybackTest, PlaysInTheHostsWindowAndPostsItsNotifications) {
  HostWindow host(kWindowWidth, kWindowHeight);
  host.RegisterChildId();
  PictureLog log;
  StopFirst stopFirst{*engine_};
  ASSERT_EQ(Start(SamplePath("front_1080p30.mp4"), host.child()), 0) << engine_->GetErrorText();
  ASSERT_TRUE(log.WaitForCount(5, 10s));
  {
    domeview::ViewBlock& view = EngineTestAccess::State(*engine_).view;
    std::lock_guard<std::mutex> lock(view.render_lock);
    EXPECT_EQ(view.window_width, kWindowWidth);
    EXPECT_EQ(view.window_height, kWindowHeight);
  }
  // A real double-click on the X11 window reaches SDL only through the
  // input the render thread selected on it.
  const std::string id = std::to_string(host.child_id());
  ASSERT_TRUE(RunCommand("xdotool mousemove --window " + id + " 40 40 click --repeat 2 --delay 60 1"));
  auto count = [](const std::vector<HostWindow::Message>& messages, uint32_t number) {
    return std::count_if(messages.begin(), messages.end(), [&](const auto& m) { return m.message == number; });
  };
  EXPECT_TRUE(host.PumpUntil([&](const auto& m) { return count(m, platform::kMsgDoubleClicked) > 0; }, 5s));

  const std::string path = "/recordings/DCIMA/20240615_103000.MP4";
  const std::string tooLong(300, 'x');
  for (const std::string& dropped : {tooLong, path}) {
    SDL_Event drop{};
    drop.type = SDL_DROPFILE;
    drop.drop.file = SDL_strdup(dropped.c_str());
    ASSERT_EQ(SDL_PushEvent(&drop), 1);
  }
  ASSERT_TRUE(host.PumpUntil([&](const auto& m) { return count(m, platform::kMsgFileDropped) > 0; }, 5s));
  std::this_thread::sleep_for(300ms);
  host.PumpUntil([](const auto&) { return true; }, 0ms);
  const auto messages = host.messages();
  EXPECT_EQ(count(messages, platform::kMsgDoubleClicked), 1);
  ASSERT_EQ(count(messages, platform::kMsgFileDropped), 1) << "the over-long path is refused";
  const auto dropped = std::find_if(messages.begin(), messages.end(),
                                    [](const auto& m) { return m.message == platform::kMsgFileDropped; });
  EXPECT_EQ(dropped->text, path);
}

struct RetryCase {
  int idAppearsAt;  // attempt at which the host's window gets its X11 window; 0 never
  int playResult;
  int failCode;
};

class EngineNativeWindowTest : public EnginePlaybackTest, public ::testing::WithParamInterface<RetryCase> {};

TEST_P(EngineNativeWindowTest, NativeWindowIsTriedFourTimes) {
  const RetryCase retry = GetParam();
  HostWindow host(kWindowWidth, kWindowHeight);
  std::atomic<int> attempts{0};
  domeview::TestHooks().native_window_attempt = [&](int attempt) {
    attempts = attempt;
    if (attempt == retry.idAppearsAt) host.RegisterChildId();
  };
  PictureLog log;
  StopFirst stopFirst{*engine_};
  EXPECT_EQ(Start(SamplePath("front_1080p30_short.mp4"), host.child()), retry.playResult);
  EXPECT_EQ(attempts, retry.idAppearsAt ? retry.idAppearsAt : 4);
  EXPECT_EQ(events_.fail_code(), retry.failCode);
  if (retry.playResult != 0) {
    EXPECT_EQ(std::string(engine_->GetErrorText()).rfind("error: unable to create sdl window from native window: ", 0),
              0u);
    // The engine is usable again once the window is there.
    domeview::TestHooks().native_window_attempt = nullptr;
    host.RegisterChildId();
    ASSERT_EQ(Start(SamplePath("front_1080p30_short.mp4"), host.child()), 0);
  }
  EXPECT_TRUE(log.WaitForCount(5, 10s));
}

INSTANTIATE_TEST_SUITE_P(Attempts, EngineNativeWindowTest,
                         ::testing::Values(RetryCase{1, 0, 0}, RetryCase{4, 0, 0}, RetryCase{0, 21, 20}));

TEST_F(EnginePlaybackTest, ALogoThatCannotBeLoadedFailsPlay) {
  ASSERT_EQ(Open(SamplePath("front_1080p30_short.mp4")), 0);
  open_->get()->need_logo = 1;
  open_->get()->logo_path = "/no/such/logo.png";
  EXPECT_EQ(events_.Play(*engine_), 21);
  EXPECT_EQ(events_.fail_code(), 21);
  EXPECT_NE(std::string(engine_->GetErrorText()).find("picture file"), std::string::npos) << engine_->GetErrorText();
  EXPECT_EQ(engine_->IsPlaying(), 0);

  // Without a fail callback the failure still reaches Play, and the end is
  // reported instead.
  PlaybackEvents withoutFail;
  ASSERT_EQ(engine_->Init(open_->get()), 0);
  EXPECT_EQ(engine_->Play(nullptr, nullptr, &PlaybackEvents::OnEnd, &withoutFail, nullptr), 21);
  EXPECT_EQ(engine_->IsPlaying(), 0);
  EXPECT_TRUE(withoutFail.WaitForEnd(5s));
}

// ---------------------------------------------------------------- sound

TEST_F(EnginePlaybackTest, AudioCallbackPlaysSilenceWhenItHasNothingToMix) {
  ASSERT_EQ(Open(SamplePath("front_1080p30_short.mp4")), 0);
  domeview::video_state& vs = EngineTestAccess::State(*engine_);
  auto callbackLeaves = [&] {
    std::vector<uint8_t> stream(4096, 0x5A);  // what an earlier buffer left behind
    domeview::ISS_DomeviewImpl::AudioCallback(engine_.get(), stream.data(), int(stream.size()));
    std::lock_guard<std::mutex> lock(vs.clock_lock);
    const bool silent = std::all_of(stream.begin(), stream.end(), [](uint8_t b) { return b == 0; });
    return std::make_pair(silent, vs.master_clock);
  };
  EXPECT_EQ(callbackLeaves(), std::make_pair(true, int64_t{0})) << "no picture yet: the sound waits";
  vs.ring.pictures_ready = 1;
  EXPECT_EQ(callbackLeaves(), std::make_pair(true, int64_t{1024}))
      << "an empty queue still moves the clock by one device buffer";
}

}  // namespace
}  // namespace enginetest
