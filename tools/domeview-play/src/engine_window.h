#pragma once
// The engine's free-standing window seen from a second X11 connection of
// our own: the engine's SDL window consumes its own events, but X11 lets
// several clients select key and structure events on one window (only
// button presses are exclusive), so this connection reads the keys and the
// size, and takes screenshots, without disturbing the engine.

#include <cstdint>
#include <string>
#include <vector>

namespace domeview_play {

struct Key {
  enum Kind { kNone, kSpace, kLeft, kRight, kDigit, kQuit } kind = kNone;
  int digit = 0;  // kDigit: 0..9
  int x = 0, y = 0;  // pointer in the window, pixels from the top left
};

class EngineWindow {
 public:
  EngineWindow() = default;
  ~EngineWindow();
  EngineWindow(const EngineWindow&) = delete;
  EngineWindow& operator=(const EngineWindow&) = delete;

  // Opens the display; false (with *error) when there is none.
  bool Connect(std::string* error);
  // Finds this process's top-level window titled `title` (waiting up to
  // `timeout_ms` for it to appear) and starts reading its keys. Finding it
  // again after the engine made a new window is allowed.
  bool Attach(const std::string& title, int timeout_ms, std::string* error);

  // Waits up to `timeout_ms` for a key; kNone when none came. Size changes
  // seen meanwhile update width() and height().
  Key NextKey(int timeout_ms);
  int width() const { return width_; }
  int height() const { return height_; }

  // The window's pixels as packed RGB rows from the top; empty on failure.
  std::vector<uint8_t> Grab(int* width, int* height);

 private:
  unsigned long FindWindow(unsigned long root, const std::string& title) const;
  bool IsOurs(unsigned long window, const std::string& title) const;

  void* display_ = nullptr;  // Display*
  unsigned long window_ = 0;
  int width_ = 0, height_ = 0;
};

}  // namespace domeview_play
