#include "iss_domeview_impl.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "media_input.h"
#include "ogl_rendererMgr/ogl_rendererMgr.h"
#include "packet_queue.h"
#include "pts_list.h"

namespace domeview {
namespace {

constexpr int kStartPollMs = 50;  // Play looks at the start states this often

}  // namespace

// The view block starts with every viewport disabled, modes, zooms and
// angles at 0, the ring turned by pi/2 (ISS_ViewBlock's own defaults).
ISS_DomeviewImpl::ISS_DomeviewImpl() : state(std::make_unique<video_state>()) { ResetVideoState(*state); }

ISS_DomeviewImpl::~ISS_DomeviewImpl() {
  // The host stops playback first; an engine destroyed while its threads
  // still run would pull the state from under them, so stop them here.
  if (read_thread.joinable() || decode_thread.joinable() || render_thread.joinable() || clock_thread.joinable()) {
    Stop();
  }
  ReleaseMedia(*state);
}

// ---------------------------------------------------------------- Init

int ISS_DomeviewImpl::Init(ISS_InitParams* params) {
  std::lock_guard<std::mutex> control(control_lock_);
  if (playing) return error_text.Set("error: the player is playing video, please stop it first;\n"), kIssFailed;
  JoinThreads();  // threads of a playback that ended by itself
  media_open_ = false;
  const char* path = params && params->media_path ? params->media_path : "";
  std::snprintf(media_path, sizeof(media_path), "%s", path);
  ReleaseMedia(*state);
  ResetVideoState(*state);
  {
    std::lock_guard<std::mutex> lock(state->view.render_lock);
    state->view.params = params;
  }
  if (!params || !params->media_path) return error_text.Set("error: no media path given;\n"), kIssFailed;
  if (const int code = OpenMedia(*state, media_path, error_text)) return code;
  end_notified = false;
  if (HasAudio()) FillWantedSpec();
  media_open_ = true;
  return kIssOk;
}

// ---------------------------------------------------------------- Play

void ISS_DomeviewImpl::PrepareRingForPlay() {
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.ring.lock);
    EmptyFrameRing(vs.ring);
    vs.ring.paused = 0;
  }
  packet_queue_flush(vs.audio_queue);
  packet_queue_flush(vs.video_queue);
  // A decoder drained at the end of the previous playback takes input again.
  avcodec_flush_buffers(vs.video_decoder);
  if (vs.audio_decoder) avcodec_flush_buffers(vs.audio_decoder);
}

int ISS_DomeviewImpl::Play(ISS_Callback cb1, void* u1, ISS_Callback endCb, void* u2, ISS_FailCallback failCb) {
  std::lock_guard<std::mutex> control(control_lock_);
  if (playing) return kIssOk;
  if (!media_open_) return error_text.Set("error: no media is open, call Init first;\n"), kIssFailed;
  JoinThreads();
  callback1 = cb1, user1 = u1, end_callback = endCb, user2 = u2, fail_callback = failCb;
  PrepareRingForPlay();
  video_state& vs = *state;
  {
    std::lock_guard<std::mutex> lock(vs.state_lock);
    vs.quit_request = vs.pause_request = vs.input_ended = vs.video_drained = 0;
    // Running flags go up before any thread starts, so that a thread that
    // ends at once cannot find the others "ended" and report the end early.
    read_running = decode_running = render_running = 1;
    clock_running = HasAudio() ? 0 : 1;
    end_notified = false;
  }
  {
    std::lock_guard<std::mutex> lock(vs.view.render_lock);
    vs.view.viewports.pending_mode_change = vs.view.viewports.pending_viewport_change = 0;
    step_request = kNoStep;
  }
  audio_bytes_left = 0;
  audio_cursor = nullptr;
  {
    std::lock_guard<std::mutex> lock(thread_start_lock);
    render_start_state = decode_start_state = read_start_state = kNotStarted;
  }
  {
    std::lock_guard<std::mutex> lock(vs.view.render_lock);
    if (vs.view.use_native_window && vs.view.native_window) platform::ShowWindow(vs.view.native_window, true);
  }
  if (!StartThreads() || WaitForThreadsToStart() != kStarted) {
    StopThreads();
    return kIssFailed;
  }
  std::lock_guard<std::mutex> lock(vs.state_lock);
  // A media so short that every thread has already ended stays "not playing".
  if (read_running || decode_running || render_running || clock_running) playing = 1;
  return kIssOk;
}

bool ISS_DomeviewImpl::StartThreads() {
  try {
    if (!HasAudio()) clock_thread = std::thread(&ISS_DomeviewImpl::ClockThreadMain, this);
    read_thread = std::thread(&ISS_DomeviewImpl::ReadThreadMain, this);
    decode_thread = std::thread(&ISS_DomeviewImpl::DecodeThreadMain, this);
    render_alive_ = true;
    render_thread = std::thread(&ISS_DomeviewImpl::RenderThreadMain, this);
    return true;
  } catch (const std::system_error&) {
    error_text.Set("error: can not start the playback threads;\n");
    std::lock_guard<std::mutex> lock(state->state_lock);
    // Threads that never started will never clear their flags.
    if (!clock_thread.joinable()) clock_running = 0;
    if (!read_thread.joinable()) read_running = 0;
    if (!decode_thread.joinable()) decode_running = 0;
    if (!render_thread.joinable()) render_running = 0, render_alive_ = false;
    return false;
  }
}

int ISS_DomeviewImpl::WaitForThreadsToStart() {
  std::unique_lock<std::mutex> lock(thread_start_lock);
  for (;;) {
    const int states[] = {render_start_state, decode_start_state, read_start_state};
    if (std::count(std::begin(states), std::end(states), kStartFailed)) return kStartFailed;
    if (std::count(std::begin(states), std::end(states), kStarted) == 3) return kStarted;
    thread_started.wait_for(lock, std::chrono::milliseconds(kStartPollMs));
  }
}

void ISS_DomeviewImpl::SetStartState(int* startState, int value) {
  {
    std::lock_guard<std::mutex> lock(thread_start_lock);
    *startState = value;
  }
  thread_started.notify_all();
}

// Every engine thread ends here: the last one out reports the end of
// playback, once per Play.
void ISS_DomeviewImpl::EndOfThread(int* runningFlag) {
  std::lock_guard<std::mutex> lock(state->state_lock);
  *runningFlag = 0;
  if (read_running || decode_running || render_running || clock_running) return;
  playing = 0;
  state->quit_request = 0;
  if (end_callback && !end_notified) {
    end_notified = true;
    end_callback(user2);
  }
}

// ---------------------------------------------------------------- Stop

int ISS_DomeviewImpl::Stop() {
  std::lock_guard<std::mutex> control(control_lock_);
  return StopThreads();
}

int ISS_DomeviewImpl::StopThreads() {
  {
    std::lock_guard<std::mutex> lock(state->state_lock);
    state->pause_request = 0;
    state->quit_request = 1;
  }
  JoinThreads();
  ViewBlock& view = state->view;
  std::lock_guard<std::mutex> lock(view.render_lock);
  if (view.window) {  // normally gone with the render thread
    SDL_DestroyWindow(view.window);
    view.window = nullptr;
  }
  return kIssOk;
}

void ISS_DomeviewImpl::JoinThreads() {
  for (std::thread* thread : {&clock_thread, &read_thread, &decode_thread, &render_thread}) {
    if (!thread->joinable()) continue;
    // An engine thread never waits for itself: a host that calls Stop or
    // Init from the end callback breaks the calling rules, but must not hang.
    if (thread->get_id() == std::this_thread::get_id()) {
      thread->detach();
    } else {
      thread->join();
    }
  }
}

// ---------------------------------------------------------------- small slots

ISS_TimeTriple ISS_DomeviewImpl::GetDuration() {
  std::lock_guard<std::mutex> control(control_lock_);
  const AVFormatContext* input = state->input;
  if (input && input->iformat && IsLiveInputFormat(input->iformat->name)) return {100, 0, 0};
  return state->duration;
}

int64_t ISS_DomeviewImpl::GetPlayPosition() {
  std::lock_guard<std::mutex> control(control_lock_);
  video_state& vs = *state;
  const int64_t clock = ReadMasterClock();
  int64_t start = 0;
  if (vs.video_stream && vs.video_stream->start_time != kNoTimestamp) {
    start = av_rescale_q(vs.video_stream->start_time, vs.video_stream->time_base, vs.clock_time_base);
  }
  vs.play_position = static_cast<int64_t>(static_cast<double>(clock - start) * av_q2d(vs.clock_time_base)) + 1;
  return vs.play_position;
}

int ISS_DomeviewImpl::SetVolume(int value) {
  volume = std::clamp(value, 0, SDL_MIX_MAXVOLUME);
  return kIssOk;
}

int ISS_DomeviewImpl::GetVideoSize(int* width, int* height) {
  if (!width || !height) return error_text.Set("error: no place for the video size;\n"), kIssFailed;
  std::lock_guard<std::mutex> control(control_lock_);
  if (const AVCodecContext* video = state->video_decoder) {
    *width = video->width;
    *height = video->height;
    return kIssOk;
  }
  if (ProbeMedia(media_path, width, height) != 0) {
    return error_text.Set("error: couldn't probe the video size of %s;\n", media_path), kIssFailed;
  }
  return kIssOk;
}

}  // namespace domeview

// ---------------------------------------------------------------- exports

extern "C" ISS_Domeview* CreateDomeview() {
  avformat_network_init();
  try {
    return new domeview::ISS_DomeviewImpl();
  } catch (...) {  // nothing crosses the library boundary
    return nullptr;
  }
}

extern "C" int DestroyDomeview(ISS_Domeview* engine) {
  delete engine;
  return 0;
}
