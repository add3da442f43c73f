#include "video_state.h"

#include <algorithm>
#include <chrono>

#include "pts_list.h"

namespace domeview {

void ResetVideoState(video_state& vs) {
  vs.duration = {};
  vs.play_time = {};
  vs.play_position = 0;
  vs.audio_stream_index = -1;
  vs.video_stream_index = -1;
  vs.converted_bytes = 0;
  vs.frame_rate = 0;
  vs.wanted_spec = {};
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    vs.quit_request = vs.pause_request = 0;
    vs.input_ended = vs.video_drained = 0;
  }
  {
    std::lock_guard<std::mutex> lock(vs.clock_lock);
    vs.master_clock = 0;
    vs.clock_time_base = {1, 1000};
    vs.paused_milliseconds = vs.clock_start_tick = 0;
  }
  std::lock_guard<std::mutex> lock(vs.view.render_lock);
  vs.view.viewports.reset_angle_limits();
}

void EmptyFrameRing(FrameRing& ring) {
  ring.count = ring.write_index = ring.read_index = ring.held = 0;
  ring.decoder_holding = ring.store_allowance = 0;
  ring.pictures_ready = 0;
  ring.shown = -1;
  std::fill(std::begin(ring.filled), std::end(ring.filled), 0);
  pts_list_clear(ring.pts);
}

int64_t ProcessClockMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace domeview
