// kestra-skinart: draws the skin pictures of the player and the calibration
// tool at build time.
//   kestra-skinart --icons <icon theme folder> --player <folder> --kalibro <folder>

#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "pieces.h"

namespace {

using namespace skinart;

struct Options {
  std::string icons = "/usr/share/icons/Adwaita";
  std::string player;
  std::string kalibro;
};

void WritePlayerButtons(const std::string& out, const std::string& icons) {
  auto icon = [&](const char* name) { return SymbolicIcon(icons, name); };
  const std::vector<ButtonArt> buttons = {
      {"cap_min", 46, 40, icon("window-minimize-symbolic"), 16, Look::kCaption},
      {"cap_max", 46, 40, icon("window-maximize-symbolic"), 16, Look::kCaption},
      {"cap_restore", 46, 40, icon("window-restore-symbolic"), 16, Look::kCaption},
      {"cap_close", 46, 40, icon("window-close-symbolic"), 16, Look::kCaptionClose},
      {"cap_help", 46, 40, icon("help-browser-symbolic"), 16, Look::kCaption},
      {"pl_show", 34, 34, SidebarGlyph(true), 20, Look::kFlat},
      {"pl_hide", 34, 34, SidebarGlyph(false), 20, Look::kFlat},
      {"stop", 34, 34, icon("media-playback-stop-symbolic"), 18, Look::kFlat},
      {"play", 40, 40, icon("media-playback-start-symbolic"), 18, Look::kPrimary},
      {"pause", 40, 40, icon("media-playback-pause-symbolic"), 18, Look::kPrimary},
      {"prev", 34, 34, icon("media-skip-backward-symbolic"), 18, Look::kFlat},
      {"next", 34, 34, icon("media-skip-forward-symbolic"), 18, Look::kFlat},
      {"face_up", 34, 34, FaceGlyph(Direction::kUp), 20, Look::kOption},
      {"face_down", 34, 34, FaceGlyph(Direction::kDown), 20, Look::kOption},
      {"face_left", 34, 34, FaceGlyph(Direction::kLeft), 20, Look::kOption},
      {"face_right", 34, 34, FaceGlyph(Direction::kRight), 20, Look::kOption},
      {"mode_wide", 34, 34, WideGlyph(), 22, Look::kOption},
      {"mode_ball", 34, 34, CylinderGlyph(), 22, Look::kOption},
      {"mode_split2", 34, 34, TwoViewsGlyph(), 20, Look::kOption},
      {"mode_split4", 34, 34, FourViewsGlyph(), 20, Look::kOption},
      {"fullscreen", 34, 34, icon("view-fullscreen-symbolic"), 18, Look::kFlat},
      {"unfullscreen", 34, 34, icon("view-restore-symbolic"), 18, Look::kFlat},
      {"volume", 34, 34, icon("audio-volume-high-symbolic"), 18, Look::kFlat},
      {"mute", 34, 34, icon("audio-volume-muted-symbolic"), 18, Look::kFlat},
      {"convert", 34, 34, ConvertGlyph(), 22, Look::kFlat},
      {"open", 34, 34, icon("document-open-symbolic"), 18, Look::kFlat},
      {"calibrate", 34, 34, CalibrateGlyph(), 20, Look::kFlat},
      {"tb_mode", 28, 28, icon("media-playlist-repeat-symbolic"), 16, Look::kFlat},
      {"tb_add", 28, 28, icon("list-add-symbolic"), 16, Look::kFlat},
      {"tb_remove", 28, 28, icon("list-remove-symbolic"), 16, Look::kFlat},
      {"tb_clear", 28, 28, icon("edit-clear-all-symbolic"), 16, Look::kFlat},
  };
  for (const ButtonArt& button : buttons) WriteButton(out, button);
}

void WritePlayer(const std::string& out, const std::string& icons) {
  WritePlayerButtons(out, icons);
  WriteFrames(out);
  WriteSliderParts(out);
  WriteListHeader(out);
  WriteBrand(out);
  WriteCompass(out);
  WriteMenuMark(out);
}

void WriteKalibro(const std::string& out, const std::string& icons) {
  WriteButton(out, {"k_min", 33, 34, SymbolicIcon(icons, "window-minimize-symbolic"), 16, Look::kCaption});
  WriteButton(out, {"k_close", 33, 34, SymbolicIcon(icons, "window-close-symbolic"), 16, Look::kCaptionClose});
  WriteFrames(out);
  WriteBrand(out);
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--icons") == 0) options->icons = argv[i + 1];
    else if (std::strcmp(argv[i], "--player") == 0) options->player = argv[i + 1];
    else if (std::strcmp(argv[i], "--kalibro") == 0) options->kalibro = argv[i + 1];
    else return false;
  }
  return argc % 2 == 1 && (!options->player.empty() || !options->kalibro.empty());
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr, "usage: kestra-skinart [--icons <theme folder>] [--player <folder>] [--kalibro <folder>]\n");
    return 2;
  }
  try {
    for (const std::string& folder : {options.player, options.kalibro}) {
      if (!folder.empty()) std::filesystem::create_directories(folder);
    }
    if (!options.player.empty()) WritePlayer(options.player, options.icons);
    if (!options.kalibro.empty()) WriteKalibro(options.kalibro, options.icons);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestra-skinart: %s\n", error.what());
    return 1;
  }
  return 0;
}
