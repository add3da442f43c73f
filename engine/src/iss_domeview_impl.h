#pragma once
// The engine object. Its operations and threads are spread over files by
// concern:
//   iss_domeview_impl.cpp  construction, Init, Play, Stop, thread start and end
//   view_slots.cpp         viewport, window, angle and zoom slots
//   media_input.cpp        opening and releasing the media, probe
//   read_thread.cpp        read thread
//   decode_thread.cpp      decode thread, clock thread
//   frame_pacing.cpp       which picture is due, Seek, Pause, Resume
//   frame_step.cpp         frame stepping and the refill
//   audio_output.cpp       audio device and callback
//   render_thread.cpp      render thread start-up, frame loop, teardown
//   render_events.cpp      window events on the render thread
// The renderer manager (engine/iss_oglPlayer/ogl_rendererMgr) draws the
// viewports; the render thread owns it.

#include <atomic>
#include <condition_variable>
#include <memory>
#include <thread>

#include "domeview/iss_domeview.h"
#include "error_text.h"
#include "video_state.h"

namespace domeview {

class ISS_OglRendererMgr;

enum StartState : int { kNotStarted = 0, kStarted = 1, kStartFailed = 2 };
enum StepRequest : int { kNoStep = -1, kStepBack = 0, kStepForward = 1 };

class ISS_DomeviewImpl final : public ISS_Domeview {
  friend struct EngineTestAccess;  // the engine's own tests look at the view block

 public:
  ISS_DomeviewImpl();
  ~ISS_DomeviewImpl() override;

  int Init(ISS_InitParams* params) override;
  int SetDrawMode(int mode, int viewport) override;
  int SetWindowRect(int x, int y, int width, int height) override;
  int SetNativeWindow(platform::HWND window) override;
  int SetViewport(int x, int y, int width, int height, int viewport) override;
  int DisableViewport(int viewport) override;
  const char* GetErrorText() override { return error_text.c_str(); }
  ISS_TimeTriple GetPlayTime() override { return state->play_time; }
  int64_t GetPlayPosition() override;
  ISS_TimeTriple GetDuration() override;
  int64_t GetReserved() override { return state->reserved_value; }
  int Seek(int minutes, int seconds, int milliseconds) override;
  int Play(ISS_Callback callback1, void* user1, ISS_Callback endCallback, void* user2,
           ISS_FailCallback failCallback) override;
  float GetZoom(int viewport) override;
  int GetViewAngles(int viewport, float* a0, float* a1, float* a2) override;
  int SetAngleLimits(float min0, float max0, float min1, float max1, float min2, float max2, int viewport) override;
  int SetViewAngles(float a0, float a1, float a2, int viewport) override;
  int SetVolume(int volume) override;
  int IsPlaying() override { return playing.load(); }
  int Stop() override;
  int Pause() override;
  int Resume() override;
  int PrepareCalibration(const char* mediaPath, const char* calibrationPath) override;
  int GetVideoSize(int* width, int* height) override;
  int StepFrame(bool forward) override;

  // SDL's audio callback; `user` is the engine object.
  static void AudioCallback(void* user, Uint8* stream, int length);

 private:
  // -- lifecycle (iss_domeview_impl.cpp)
  int StopThreads();  // Stop without the control lock
  void JoinThreads();
  void SetStartState(int* startState, int value);
  bool StartThreads();
  int WaitForThreadsToStart();
  void EndOfThread(int* runningFlag);
  bool HasAudio() const { return state->audio_stream_index >= 0; }
  bool CheckViewport(int viewport);
  void WaitForRequest(std::unique_lock<std::mutex>& lock, const int& pending);
  void PrepareRingForPlay();

  // -- read thread (read_thread.cpp)
  void ReadThreadMain();
  bool QueuePacket(PacketQueue& queue, AVPacket* packet, int waitMs, uint32_t serial);

  // -- decode and clock threads (decode_thread.cpp)
  void DecodeThreadMain();
  int DecodeLoop(AVPacket* packet);
  int DecodePacket(AVPacket* packet, uint32_t serial);
  int StorePicture(AVFrame* picture, int64_t pts, uint32_t serial);
  int DrainDecoder(uint32_t serial);
  void ClockThreadMain();
  // Without sound: restarts the clock at the first picture in the ring once
  // one is there, waiting at most maxWaitMs (false when playback is quitting).
  bool RestartClockAtFirstPicture(int64_t maxWaitMs);

  // -- picture conversion and ring writes (frame_pacing.cpp)
  bool ConvertIntoSlot(const AVFrame* picture, int slot);
  bool CommitSlot(int slot, int64_t pts, bool pending);
  int64_t ReadMasterClock();
  void WriteMasterClock(int64_t value);
  int64_t ClockToMs(int64_t value) const;

  // -- render thread pacing (frame_pacing.cpp)
  bool TakeDueFrame(int* waitMs);
  void ShowSlot(int slot);
  bool CheckEndOfMedia();

  // -- frame stepping (frame_step.cpp)
  void HandleStepRequest(bool paused);
  int ShownSlot();
  bool StepForward();
  bool StepBack(bool first);
  int OlderSlot();
  void ShowStepSlot(int slot);
  int DecodeStepPicture(bool* wait);
  int StoreHistoryPicture(const AVFrame* picture, int64_t pts);
  bool DecodeNextPicture(AVFrame* frame, AVPacket* packet, bool fromReaderToo, int64_t* pts, bool* wait);
  bool NextVideoPacket(AVPacket* packet, bool fromReaderToo, bool* wait);
  bool Refill();
  void RewindForRefill(int64_t positionMs);
  int SlotBefore(int slot) const { return (slot + kRingSize - 1) % kRingSize; }
  int SlotAfter(int slot) const { return (slot + 1) % kRingSize; }

  // -- audio (audio_output.cpp)
  void FillWantedSpec();
  void FillAudio(Uint8* stream, int length);
  bool DecodeAudioPacket();
  void MixAudio(Uint8* stream, int length);
  int OpenAudioDevice();
  void CloseAudioDevice();
  void PauseAudioDevice(bool pause);

  // -- render thread (render_thread.cpp, render_events.cpp)
  void RenderThreadMain();
  int RenderStartUp();
  int StartRenderer();
  int CreateRenderWindow();
  int CreateWindowFromNative(platform::HWND nativeWindow);
  void SelectNativeInput();
  int CreateGlContext();
  int FrameLoop();
  int ApplyPendingRequests();
  void PresentFrame();
  void RenderTeardown();
  void PumpEvents();
  void HandleEvent(const SDL_Event& event);
  void HandleResize(int width, int height);
  void HandleButtonDown(const SDL_MouseButtonEvent& button);
  void HandleDrop(const char* path);
  void ReadWindowGeometry();

  // -- engine fields, in the order of the engine record
  uint32_t audio_bytes_left = 0;   // audio callback, or Play/Seek while the device is paused
  uint8_t* audio_cursor = nullptr;
  char dropped_file_path[256] = {};  // render thread writes; the host reads on message 1125
  char media_path[260] = {};
  std::atomic<int> playing{0};
  // -- guarded by the state lock
  int read_running = 0, decode_running = 0, render_running = 0, clock_running = 0;
  ISS_Callback callback1 = nullptr;  // kept, never invoked
  ISS_Callback end_callback = nullptr;
  ISS_FailCallback fail_callback = nullptr;
  void* user1 = nullptr;
  void* user2 = nullptr;
  std::atomic<int> volume{64};  // 0..128
  ErrorText error_text;
  // Created, used for GL work and destroyed by the render thread; set and
  // cleared under the render lock, under which the host's SetViewAngles and
  // GetViewAngles reach its GL-free geometry.
  std::unique_ptr<ISS_OglRendererMgr> renderer_manager;
  std::thread read_thread, decode_thread, render_thread, clock_thread;
  // -- guarded by thread_start_lock
  int render_start_state = kNotStarted, decode_start_state = kNotStarted, read_start_state = kNotStarted;
  std::mutex thread_start_lock;
  std::condition_variable thread_started;
  std::unique_ptr<video_state> state;
  // -- stepping: render thread, requests under the render lock
  int step_cursor = -1;      // ring slot on screen while paused, -1 none
  int step_back_budget = 0;  // older pictures in the ring behind the cursor
  int step_request = kNoStep;
  bool stepping = false;  // a step was made in this pause; the next step back reuses the ring
  std::atomic<int64_t> paused_position{0};  // ms; the pause point, then where the last refill read from
  platform::HWND native_window = nullptr;
  bool double_click_seen = false;  // render thread
  bool end_notified = false;       // state lock

  // Serialises what opens, moves, releases or reads the media from host
  // threads (Init, Play, Stop, Seek, GetDuration, GetPlayPosition,
  // GetVideoSize): the host calls them from its play, stop and user-interface
  // threads, and Init must not free what a Seek or a position query uses.
  std::mutex control_lock_;
  bool media_open_ = false;  // Init succeeded; Play needs it
  bool sdl_started_ = false;  // render thread
  // The render thread is up and will answer pending view requests.
  std::atomic<bool> render_alive_{false};
  // The host changed the view block (angles, enabled viewports): redraw.
  std::atomic<bool> view_changed_{false};
  SDL_AudioDeviceID audio_device_ = 0;  // state lock
  // -- render thread only
  bool redraw_ = false;          // something changed since the last present
  int64_t end_seen_at_ = -1;     // process ms when the last picture had been taken at the end
};

}  // namespace domeview
