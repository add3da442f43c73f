#pragma once
// What domeview-play is asked to do: the command line, and the viewport
// arrangements it lays out in the window (the player's layouts and default
// view angles for each camera mounting).

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace domeview_play {

enum class Arrangement { kSingle, kTwo, kFour, kCylinder };

struct PlayOptions {
  std::string recording;
  std::string calibration;  // empty: prepared for the recording by the engine
  Arrangement arrangement = Arrangement::kSingle;
  int all_modes = -1;                  // --mode M: every viewport in use; -1 none
  std::array<int, 4> modes{-1, -1, -1, -1};  // --mode VP=M, over all_modes
  std::string logo;                    // empty: no logo
  int logo_fov = -1;                   // degrees; negative: derived from the lens
  int mounting = 0;                    // 0, 1 or 2
  int width = 1280, height = 720;      // window, pixels
  std::string screenshot;              // empty: play until the user quits
  double after_seconds = 2.0;          // before the screenshot
  bool loop = false;
};

// Parses the arguments (without the program name). Returns nothing and
// writes the reason into *error when they make no sense; *help is set for
// --help (the options are then not complete).
std::optional<PlayOptions> ParseOptions(const std::vector<std::string>& args, bool* help, std::string* error);

extern const char* const kUsage;

// A viewport as the engine takes it: window pixels, (x, y) the lower-left
// corner, draw mode and view angles in degrees.
struct ViewportPlan {
  int x = 0, y = 0, width = 0, height = 0;
  int mode = 2;
  float angles[3] = {0, 0, 0};
};

// The viewports of an arrangement in a window of width x height, with the
// draw-mode overrides of the options applied.
std::vector<ViewportPlan> PlanViewports(const PlayOptions& options, int width, int height);

// The viewport containing window position (x, y), measured from the top
// left; viewport 0 when none does.
int ViewportAt(const std::vector<ViewportPlan>& plan, int window_height, int x, int y);

}  // namespace domeview_play
