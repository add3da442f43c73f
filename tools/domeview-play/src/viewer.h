#pragma once
// One domeview-play session: an engine object, the recording's calibration,
// playback in a free-standing window with the chosen arrangement, the keys
// read from that window, and the screenshot. Only the engine's public
// interface is used, the way a host program uses it.

#include <atomic>
#include <string>
#include <vector>

#include "domeview/iss_domeview.h"
#include "engine_window.h"
#include "play_options.h"

namespace domeview_play {

class Viewer {
 public:
  explicit Viewer(PlayOptions options);
  ~Viewer();  // stops playback and destroys the engine
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  // Plays until the user quits, the recording ends (unless looping) or the
  // screenshot is saved. The program's exit code: 0, or 1 with the reason
  // on standard error.
  int Run();

 private:
  bool PrepareCalibration();
  bool Start();
  void Arrange();
  int Interact();
  int TakeScreenshot();
  void HandleKey(const Key& key);
  void SeekBy(int seconds);
  int Fail(const std::string& what);

  static void OnEnd(void* self);
  static void OnFail(void* self, int code);

  PlayOptions options_;
  std::string calibration_;
  ISS_InitParams params_{};  // points into options_ and calibration_; lives until Stop
  ISS_Domeview* engine_ = nullptr;
  EngineWindow window_;
  std::atomic<bool> ended_{false};
  std::atomic<int> fail_code_{0};
  bool paused_ = false;
};

}  // namespace domeview_play
