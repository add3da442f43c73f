#pragma once
// Observation points for the engine's own tests and benchmarks. Not part of
// the host contract: a host never sets them. Set them before Play and clear
// them after Stop; they run on the render thread.

#include <cstdint>
#include <functional>

struct AVFrame;

namespace domeview {

struct ShownPicture {
  const AVFrame* picture;  // the ring picture handed to the renderer
  int64_t picture_ms;      // its presentation time, milliseconds
  int64_t clock_ms;        // the master clock when it was taken, milliseconds
};

struct EngineHooks {
  // A picture became the current one (pacing or stepping).
  std::function<void(const ShownPicture&)> picture_shown;
  // A frame was drawn into the back buffer and is about to be swapped: the
  // GL context is current and the render lock is held, so the view block
  // and the pixels read back here belong together.
  std::function<void()> drawn;
  // A frame was drawn and presented (after the swap).
  std::function<void()> presented;
  // Before each attempt to wrap the host's native window (1-based).
  std::function<void(int attempt)> native_window_attempt;
};

EngineHooks& TestHooks();

}  // namespace domeview
