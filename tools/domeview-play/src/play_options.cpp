#include "play_options.h"

#include <cmath>
#include <cstdlib>

namespace domeview_play {

const char* const kUsage =
    "usage: domeview-play [options] RECORDING\n"
    "\n"
    "Plays a panoramic dash-camera recording (MP4 or MPEG-TS) unwarped in a\n"
    "window of its own, through the playback engine libdomeview.\n"
    "\n"
    "  --calibration FILE   lens calibration file (.inf); by default the engine\n"
    "                       prepares one for the recording in the user's cache\n"
    "                       folder (the program folder's width-named file, or a\n"
    "                       calibration from the recording's first picture)\n"
    "  --arrangement NAME   single (default), two, four (four views looking\n"
    "                       different ways) or cylinder (the unrolled 360 strip)\n"
    "  --mode M             draw mode 0..6 of every viewport in use:\n"
    "                       0 picture, 1 panorama, 2 perspective, 3 sphere,\n"
    "                       4 bowl, 5 wide perspective, 6 ring\n"
    "  --mode VP=M          draw mode of viewport VP (0..3) only\n"
    "  --logo FILE          cover the part of the sphere the lens cannot see\n"
    "                       with this picture\n"
    "  --logo-fov DEGREES   size of that cap (default: what the lens leaves)\n"
    "  --mounting N         camera mounting 0, 1 or 2 (turns the picture)\n"
    "  --size WxH           window size in pixels (default 1280x720)\n"
    "  --loop               play again from the start at the end\n"
    "  --screenshot FILE    save the window as PNG and quit\n"
    "  --after SECONDS      wait this long after the start (default 2)\n"
    "  --help               show this text\n"
    "\n"
    "Keys in the window: space pause/resume; Left/Right one picture back or\n"
    "forward while paused, 5 s back or forward while playing; 0..6 draw mode\n"
    "of the viewport under the pointer; q or Escape quit. Drag to turn a view,\n"
    "use the wheel to zoom.\n";

namespace {

bool ParseInt(const std::string& text, int low, int high, int* value) {
  char* end = nullptr;
  const long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < low || parsed > high) return false;
  *value = static_cast<int>(parsed);
  return true;
}

bool ParseArrangement(const std::string& name, Arrangement* arrangement) {
  if (name == "single") return *arrangement = Arrangement::kSingle, true;
  if (name == "two") return *arrangement = Arrangement::kTwo, true;
  if (name == "four") return *arrangement = Arrangement::kFour, true;
  if (name == "cylinder") return *arrangement = Arrangement::kCylinder, true;
  return false;
}

bool ParseMode(const std::string& text, PlayOptions* options) {
  const size_t equals = text.find('=');
  int mode = 0;
  if (equals == std::string::npos) return ParseInt(text, 0, 6, &options->all_modes);
  int vp = 0;
  if (!ParseInt(text.substr(0, equals), 0, 3, &vp) || !ParseInt(text.substr(equals + 1), 0, 6, &mode)) return false;
  options->modes[vp] = mode;
  return true;
}

bool ParseSize(const std::string& text, PlayOptions* options) {
  const size_t x = text.find('x');
  return x != std::string::npos && ParseInt(text.substr(0, x), 64, 16384, &options->width) &&
         ParseInt(text.substr(x + 1), 64, 16384, &options->height);
}

bool ParseSeconds(const std::string& text, double* seconds) {
  char* end = nullptr;
  const double parsed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !(parsed >= 0 && parsed <= 3600)) return false;
  *seconds = parsed;
  return true;
}

// One option that takes a value; false with *error set when the value is bad.
bool ApplyValue(const std::string& name, const std::string& value, PlayOptions* o, std::string* error) {
  bool ok = true;
  if (name == "--calibration") o->calibration = value;
  else if (name == "--arrangement") ok = ParseArrangement(value, &o->arrangement);
  else if (name == "--mode") ok = ParseMode(value, o);
  else if (name == "--logo") o->logo = value;
  else if (name == "--logo-fov") ok = ParseInt(value, 0, 179, &o->logo_fov);
  else if (name == "--mounting") ok = ParseInt(value, 0, 2, &o->mounting);
  else if (name == "--size") ok = ParseSize(value, o);
  else if (name == "--screenshot") o->screenshot = value;
  else if (name == "--after") ok = ParseSeconds(value, &o->after_seconds);
  else return *error = "unknown option " + name, false;
  if (!ok) *error = "invalid value for " + name + ": " + value;
  return ok;
}

bool TakesValue(const std::string& name) {
  for (const char* known : {"--calibration", "--arrangement", "--mode", "--logo", "--logo-fov", "--mounting", "--size",
                            "--screenshot", "--after"}) {
    if (name == known) return true;
  }
  return false;
}

}  // namespace

std::optional<PlayOptions> ParseOptions(const std::vector<std::string>& args, bool* help, std::string* error) {
  PlayOptions options;
  *help = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return *help = true, std::nullopt;
    if (arg == "--loop") {
      options.loop = true;
    } else if (TakesValue(arg)) {
      if (i + 1 >= args.size()) return *error = arg + " needs a value", std::nullopt;
      if (!ApplyValue(arg, args[++i], &options, error)) return std::nullopt;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return *error = "unknown option " + arg, std::nullopt;
    } else if (options.recording.empty()) {
      options.recording = arg;
    } else {
      return *error = "more than one recording given", std::nullopt;
    }
  }
  if (options.recording.empty()) return *error = "no recording given", std::nullopt;
  return options;
}

namespace {

// Default view angles (a0, a1, a2) by mounting, as the player sets them.
using Angles = std::array<float, 3>;
constexpr Angles kSingle[3] = {{70, 0, 0}, {-60, -87, 0}, {0, -91, 0}};
constexpr Angles kTwo[3][2] = {
    {{42, 174, 0}, {42, 0, 0}}, {{-31, 99, 0}, {-31, -91, 0}}, {{-132, 92, 0}, {15, -90, 0}}};
constexpr Angles kFour[3][4] = {{{25, -160, 0}, {25, -45, 0}, {25, 90, 0}, {25, -90, 0}},
                                {{-31, -15, 0}, {-31, 176, 0}, {-31, -91, 0}, {-31, 99, 0}},
                                {{15, -57, 0}, {15, -111, 0}, {20, -86, 0}, {-132, 92, 0}}};
constexpr float kPi = 3.1415925f;  // the ring strip is pi times as wide as high

ViewportPlan Viewport(int x, int y, int width, int height, int mode, const Angles& angles) {
  ViewportPlan plan{x, y, width, height, mode, {angles[0], angles[1], angles[2]}};
  return plan;
}

// The unrolled ring keeps its pi : 1 shape, centred in the window.
ViewportPlan CylinderViewport(int w, int h) {
  if (w >= h * kPi) {
    const int width = static_cast<int>(h * kPi);
    return Viewport((w - width) / 2, 0, width, h, 6, {0, 0, 0});
  }
  const int height = static_cast<int>(w / kPi);
  return Viewport(0, (h - height) / 2, w, height, 6, {0, 0, 0});
}

}  // namespace

std::vector<ViewportPlan> PlanViewports(const PlayOptions& options, int w, int h) {
  const int m = options.mounting;
  std::vector<ViewportPlan> plan;
  switch (options.arrangement) {
    case Arrangement::kSingle:
      plan = {Viewport(0, 0, w, h, 2, kSingle[m])};
      break;
    case Arrangement::kTwo:
      plan = {Viewport(w / 4, 0, w / 2, h / 2, 2, kTwo[m][0]), Viewport(w / 4, h / 2, w / 2, h / 2, 2, kTwo[m][1])};
      break;
    case Arrangement::kFour:
      plan = {Viewport(0, 0, w / 2, h / 2, 2, kFour[m][0]), Viewport(w / 2, 0, w / 2, h / 2, 2, kFour[m][1]),
              Viewport(0, h / 2, w / 2, h / 2, 2, kFour[m][2]), Viewport(w / 2, h / 2, w / 2, h / 2, 2, kFour[m][3])};
      break;
    case Arrangement::kCylinder:
      plan = {CylinderViewport(w, h)};
      break;
  }
  for (size_t vp = 0; vp < plan.size(); ++vp) {
    if (options.all_modes >= 0) plan[vp].mode = options.all_modes;
    if (options.modes[vp] >= 0) plan[vp].mode = options.modes[vp];
  }
  return plan;
}

int ViewportAt(const std::vector<ViewportPlan>& plan, int window_height, int x, int y) {
  for (size_t vp = 0; vp < plan.size(); ++vp) {
    const ViewportPlan& r = plan[vp];
    const int up = window_height - r.y - y;  // rectangles count from the bottom
    if (x >= r.x && x < r.x + r.width && up >= 0 && up < r.height) return static_cast<int>(vp);
  }
  return 0;
}

}  // namespace domeview_play
