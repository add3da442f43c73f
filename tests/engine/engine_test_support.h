#pragma once
// What the engine tests share: engines and open parameters, callback
// counters, a log of the pictures the engine shows (read back by their
// frame codes), the drawn frames read back from the window, recordings made
// on demand, a loopback HTTP server and a host window made with Xlib.

extern "C" {
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "domeview/iss_domeview.h"
#include "iss_domeview_impl.h"
#include "samplegen/recording.h"

namespace domeview {

// The engine's own tests look at its state records.
struct EngineTestAccess {
  static video_state& State(ISS_Domeview& engine) { return *static_cast<ISS_DomeviewImpl&>(engine).state; }
};

}  // namespace domeview

namespace enginetest {

using domeview::EngineTestAccess;

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::string SamplePath(const std::string& name);
// A folder for files the tests make, beside the test program.
std::string ScratchPath(const std::string& name);

struct EngineDeleter {
  void operator()(ISS_Domeview* engine) const { DestroyDomeview(engine); }
};
using Engine = std::unique_ptr<ISS_Domeview, EngineDeleter>;
Engine NewEngine();

// Declared after what playback uses (a host window, a picture log, a frame
// read-back), stops playback before that goes: X11 ends a program that
// draws into a window destroyed under it, and the render thread calls the
// hooks.
struct StopFirst {
  ISS_Domeview& engine;
  ~StopFirst() { engine.Stop(); }
};

// ISS_InitParams with strings it owns; the record stays where it is.
class OpenParams {
 public:
  explicit OpenParams(std::string media);
  ISS_InitParams* get() { return &params_; }

 private:
  std::string media_, calibration_;
  ISS_InitParams params_{};
};

// The end and fail callbacks of one or more Play calls.
class PlaybackEvents {
 public:
  static void OnEnd(void* self);
  static void OnFail(void* self, int code);
  int Play(ISS_Domeview& engine) { return engine.Play(nullptr, nullptr, &OnEnd, this, &OnFail); }
  bool WaitForEnd(std::chrono::milliseconds timeout);
  int ends() const { return ends_; }
  int fail_code() const { return fail_code_; }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::atomic<int> ends_{0};
  std::atomic<int> fail_code_{0};
};

// Every picture the engine shows while the log exists.
class PictureLog {
 public:
  struct Entry {
    int code;            // frame number drawn into the picture, -1 when unreadable
    int64_t picture_ms;  // presentation time
    int64_t clock_ms;    // master clock when it was taken
    Clock::time_point at;
  };
  PictureLog();
  ~PictureLog();
  std::vector<Entry> Entries() const;
  size_t Count() const;
  int LastCode() const;
  int presented() const { return presented_; }
  // Waits until the predicate on the entries holds.
  bool WaitFor(const std::function<bool(const std::vector<Entry>&)>& done, std::chrono::milliseconds timeout) const;
  bool WaitForCount(size_t count, std::chrono::milliseconds timeout) const;
  // Waits for `count` pictures more than there are now; returns the last one's code.
  int WaitForNext(size_t count = 1, std::chrono::milliseconds timeout = 5s) const;

 private:
  mutable std::mutex lock_;
  mutable std::condition_variable changed_;
  std::vector<Entry> entries_;
  std::atomic<int> presented_{0};
};

// Reads back a rectangle of every frame the engine draws, on the render
// thread before the swap, while the log exists.
class FrameReadback {
 public:
  explicit FrameReadback(const domeview::ViewRect& rect);
  ~FrameReadback();
  // RGB rows from the bottom up of the first frame drawn after this call
  // (so it shows every view change made before it); empty after the timeout.
  std::vector<uint8_t> Next(std::chrono::milliseconds timeout = 5s);

 private:
  domeview::ViewRect rect_;
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<uint8_t> pixels_;
  int64_t frames_ = 0;
};

// Checks that the codes run first, first + 1, ..., last without gaps.
::testing::AssertionResult CodesAreConsecutive(const std::vector<PictureLog::Entry>& entries, int first, int last);

// A recording made once per test run under ScratchPath (name from `spec.path`).
std::string MakeRecording(samplegen::RecordingSpec spec);

// Copies the first stream of the given type from each input into one
// output file (container from its extension), in the order given.
struct StreamPick {
  std::string path;
  AVMediaType type;
};
bool Remux(const std::string& output, const std::vector<StreamPick>& picks, std::string* error);

// Overwrites the payload of the MP4's media data box with zeros: the file
// still opens and names its streams, but nothing in it decodes.
bool BlankMediaData(const std::string& mp4Path, std::string* error);

// Rewrites the duration in the media header of the MP4's first track.
bool SetFirstTrackDuration(const std::string& mp4Path, double seconds, std::string* error);

// Serves the files of one folder over HTTP/1.0 on 127.0.0.1.
class LoopbackHttpServer {
 public:
  explicit LoopbackHttpServer(std::string folder);
  ~LoopbackHttpServer();
  int port() const { return port_; }
  std::string Url(const std::string& name) const;

 private:
  void Serve();
  void Answer(int connection);
  std::string folder_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// A top-level X11 window with a child that the engine renders into, both
// registered as window handles; the parent records the messages it gets.
class HostWindow {
 public:
  struct Message {
    uint32_t message;
    uintptr_t wParam;
    std::string text;  // wParam as a path, for message 1125
  };
  HostWindow(int width, int height);
  ~HostWindow();
  platform::HWND child() const { return child_; }
  unsigned long child_id() const { return childId_; }
  void RegisterChildId();
  // Dispatches posted messages until the predicate holds.
  bool PumpUntil(const std::function<bool(const std::vector<Message>&)>& done, std::chrono::milliseconds timeout);
  std::vector<Message> messages() const { return messages_; }

 private:
  void* display_ = nullptr;
  unsigned long topId_ = 0, childId_ = 0;
  platform::HWND parent_ = nullptr, child_ = nullptr;
  std::vector<Message> messages_;
};

// Runs a command line; true when it exits with 0.
bool RunCommand(const std::string& command);

}  // namespace enginetest
