#pragma once
// The playback engine's whole contract with its host: the interface
// ISS_Domeview with its 26 operations in fixed virtual-table order, the open
// parameters, the time triple and the two exported functions.
//
// Ownership: the host owns the ISS_InitParams record and the strings it
// points to and keeps them alive until playback has stopped (the engine keeps
// the pointer). The engine owns everything it allocates. The host destroys an
// engine only through DestroyDomeview, after Stop.
//
// Return codes: 0 success, 15 media not opened, 16 no video stream,
// 19 SDL did not start, 20 render window or GL failure, 21 any other failure,
// 22 audio device failure. On failure GetErrorText() says why.

#include <cstdint>

#include "platform/window_registry.h"

// The open parameters, built and owned by the host.
struct ISS_InitParams {
  const char* media_path;        // file or stream URL, at most 259 characters
  const char* calibration_path;  // .inf lens calibration
  const char* logo_path;         // picture drawn as the logo overlay
  int32_t raw_picture;           // non-zero: use the picture without calibration
  int32_t need_logo;             // non-zero: decode and draw the logo
  int32_t logo_fov;              // logo size, degrees of view
  int32_t mounting;              // 0, 1 or 2: how the camera is mounted
};

struct ISS_TimeTriple {
  int32_t minutes;
  int32_t seconds;       // 0..59
  int32_t milliseconds;  // 0..999
};

using ISS_Callback = void (*)(void* user);
using ISS_FailCallback = void (*)(void* user, int code);

// Engine return codes.
enum ISS_Code : int {
  kIssOk = 0,
  kIssMediaNotOpened = 15,
  kIssNoVideoStream = 16,
  kIssSdlFailed = 19,
  kIssWindowFailed = 20,
  kIssFailed = 21,
  kIssAudioFailed = 22,
};

class ISS_Domeview {
 public:
  // Slot numbers are the virtual-table positions the host relies on.
  /* 0 */ virtual int Init(ISS_InitParams* params) = 0;
  /* 1 */ virtual int SetDrawMode(int mode, int viewport) = 0;
  /* 2 */ virtual int SetWindowRect(int x, int y, int width, int height) = 0;
  /* 3 */ virtual int SetNativeWindow(platform::HWND window) = 0;
  /* 4 */ virtual int SetViewport(int x, int y, int width, int height, int viewport) = 0;
  /* 5 */ virtual int DisableViewport(int viewport) = 0;
  /* 6 */ virtual const char* GetErrorText() = 0;
  /* 7 */ virtual ISS_TimeTriple GetPlayTime() = 0;
  /* 8 */ virtual int64_t GetPlayPosition() = 0;
  /* 9 */ virtual ISS_TimeTriple GetDuration() = 0;
  /* 10 */ virtual int64_t GetReserved() = 0;
  /* 11 */ virtual int Seek(int minutes, int seconds, int milliseconds) = 0;
  /* 12 */ virtual int Play(ISS_Callback callback1, void* user1, ISS_Callback endCallback, void* user2,
                            ISS_FailCallback failCallback) = 0;
  /* 13 */ virtual float GetZoom(int viewport) = 0;
  /* 14 */ virtual int GetViewAngles(int viewport, float* a0, float* a1, float* a2) = 0;
  /* 15 */ virtual int SetAngleLimits(float min0, float max0, float min1, float max1, float min2, float max2,
                                      int viewport) = 0;
  /* 16 */ virtual int SetViewAngles(float a0, float a1, float a2, int viewport) = 0;
  /* 17 */ virtual int SetVolume(int volume) = 0;
  /* 18 */ virtual int IsPlaying() = 0;
  /* 19 */ virtual int Stop() = 0;
  /* 20 */ virtual int Pause() = 0;
  /* 21 */ virtual int Resume() = 0;
  /* 22 */ virtual int PrepareCalibration(const char* mediaPath, const char* calibrationPath) = 0;
  /* 23 */ virtual int GetVideoSize(int* width, int* height) = 0;
  /* 24 */ virtual int StepFrame(bool forward) = 0;
  /* 25 */ virtual ~ISS_Domeview() = default;
};

extern "C" {
// A new engine object, or null when it cannot be allocated.
ISS_Domeview* CreateDomeview();
// Destroys the object (null is accepted); always 0.
int DestroyDomeview(ISS_Domeview* engine);
}
