// domeview-play: plays a panoramic dash-camera recording unwarped in a
// window of its own, through the playback engine's public interface.

#include <cstdio>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "play_options.h"
#include "viewer.h"

int main(int argc, char** argv) {
  bool help = false;
  std::string error;
  const auto options = domeview_play::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &help, &error);
  if (help) return std::fputs(domeview_play::kUsage, stdout), 0;
  if (!options) {
    std::fprintf(stderr, "domeview-play: %s\n\n%s", error.c_str(), domeview_play::kUsage);
    return 2;
  }
  av_log_set_level(AV_LOG_ERROR);  // the media library's chatter
  domeview_play::Viewer viewer(*options);
  return viewer.Run();
}
