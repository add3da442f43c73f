// The engine's contract without playback: the slot order, error codes and
// texts, the view fields, the media rules that Init works out (stream
// choice, duration) and PrepareCalibration.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>

#include "engine_test_support.h"
#include "media_input.h"
#include "platform/paths.h"
#include "packet_queue.h"
#include "pts_list.h"

namespace enginetest {
namespace {

// The virtual-table position of a member function (Itanium C++ ABI: a
// pointer to a virtual member holds 1 + its byte offset in the table).
template <typename Member>
size_t SlotOf(Member member) {
  struct {
    uintptr_t pointer;
    ptrdiff_t adjustment;
  } raw;
  static_assert(sizeof(member) == sizeof(raw));
  std::memcpy(&raw, &member, sizeof(raw));
  return (raw.pointer - 1) / sizeof(void*);
}

TEST(EngineInterfaceTest, SlotsKeepTheirVirtualTablePositions) {
  using D = ISS_Domeview;
  EXPECT_EQ(SlotOf(&D::Init), 0u);
  EXPECT_EQ(SlotOf(&D::SetDrawMode), 1u);
  EXPECT_EQ(SlotOf(&D::SetWindowRect), 2u);
  EXPECT_EQ(SlotOf(&D::SetNativeWindow), 3u);
  EXPECT_EQ(SlotOf(&D::SetViewport), 4u);
  EXPECT_EQ(SlotOf(&D::DisableViewport), 5u);
  EXPECT_EQ(SlotOf(&D::GetErrorText), 6u);
  EXPECT_EQ(SlotOf(&D::GetPlayTime), 7u);
  EXPECT_EQ(SlotOf(&D::GetPlayPosition), 8u);
  EXPECT_EQ(SlotOf(&D::GetDuration), 9u);
  EXPECT_EQ(SlotOf(&D::GetReserved), 10u);
  EXPECT_EQ(SlotOf(&D::Seek), 11u);
  EXPECT_EQ(SlotOf(&D::Play), 12u);
  EXPECT_EQ(SlotOf(&D::GetZoom), 13u);
  EXPECT_EQ(SlotOf(&D::GetViewAngles), 14u);
  EXPECT_EQ(SlotOf(&D::SetAngleLimits), 15u);
  EXPECT_EQ(SlotOf(&D::SetViewAngles), 16u);
  EXPECT_EQ(SlotOf(&D::SetVolume), 17u);
  EXPECT_EQ(SlotOf(&D::IsPlaying), 18u);
  EXPECT_EQ(SlotOf(&D::Stop), 19u);
  EXPECT_EQ(SlotOf(&D::Pause), 20u);
  EXPECT_EQ(SlotOf(&D::Resume), 21u);
  EXPECT_EQ(SlotOf(&D::PrepareCalibration), 22u);
  EXPECT_EQ(SlotOf(&D::GetVideoSize), 23u);
  EXPECT_EQ(SlotOf(&D::StepFrame), 24u);
}

TEST(EngineInterfaceTest, DestroyAcceptsNull) { EXPECT_EQ(DestroyDomeview(nullptr), 0); }

TEST(EngineInterfaceTest, FailedInitsLeaveTheEngineUsable) {
  Engine engine = NewEngine();
  std::string error;
  const std::string soundOnly = ScratchPath("sound_only.mp4");
  ASSERT_TRUE(Remux(soundOnly, {{SamplePath("front_1080p30.mp4"), AVMEDIA_TYPE_AUDIO}}, &error)) << error;

  OpenParams missing(ScratchPath("no_such_file.mp4"));
  EXPECT_EQ(engine->Init(missing.get()), 15);
  EXPECT_EQ(std::string(engine->GetErrorText()).rfind("error: couldn't open input stream, code: 0x", 0), 0u)
      << engine->GetErrorText();

  OpenParams noVideo(soundOnly);
  EXPECT_EQ(engine->Init(noVideo.get()), 16);
  EXPECT_STREQ(engine->GetErrorText(), "error: can not find a video stream.\n");
  EXPECT_EQ(engine->Play(nullptr, nullptr, nullptr, nullptr, nullptr), 21) << "no media is open";

  OpenParams good(SamplePath("front_1080p30.mp4"));
  EXPECT_EQ(engine->Init(good.get()), 0);
  int width = 0, height = 0;
  EXPECT_EQ(engine->GetVideoSize(&width, &height), 0);
  EXPECT_EQ(width, 1920);
  EXPECT_EQ(height, 1080);
}

TEST(EngineInterfaceTest, GetVideoSizeWithoutMediaFails) {
  Engine engine = NewEngine();
  int width = 0, height = 0;
  EXPECT_EQ(engine->GetVideoSize(&width, &height), 21);
}

TEST(EngineInterfaceTest, ViewportFourIsRefusedWithTheIndexMessage) {
  Engine engine = NewEngine();
  const char* kMessage = "error: invalid viewport index: 4: we support at most 4 viewports;\n";
  float a = 0;
  const std::vector<std::pair<const char*, std::function<int()>>> calls = {
      {"SetDrawMode", [&] { return engine->SetDrawMode(2, 4); }},
      {"SetViewport", [&] { return engine->SetViewport(0, 0, 10, 10, 4); }},
      {"DisableViewport", [&] { return engine->DisableViewport(4); }},
      {"SetAngleLimits", [&] { return engine->SetAngleLimits(0, 1, 0, 1, 0, 1, 4); }},
      {"GetViewAngles", [&] { return engine->GetViewAngles(4, &a, &a, &a); }},
  };
  for (const auto& [name, call] : calls) {
    engine->DisableViewport(9);  // the text is never cleared: start each call from another one
    EXPECT_EQ(call(), 21) << name;
    EXPECT_STREQ(engine->GetErrorText(), kMessage) << name;
  }
  engine->DisableViewport(9);
  EXPECT_EQ(engine->GetZoom(4), 0.0f);
  EXPECT_STREQ(engine->GetErrorText(), kMessage);
  EXPECT_EQ(engine->SetViewport(0, 0, 10, 10, -1), 21);
}

TEST(EngineInterfaceTest, ViewAnglesWrapThenStopAtTheLimitsAndAreReadOnlyWhilePlaying) {
  Engine engine = NewEngine();
  const float* stored = EngineTestAccess::State(*engine).view.viewports.view_angle[1];
  EXPECT_EQ(engine->SetAngleLimits(-30, 30, -180, 180, -180, 180, 1), 0);
  EXPECT_EQ(engine->SetViewAngles(190, 45.7f, -200, 1), 0);
  EXPECT_EQ(stored[0], -30.0f) << "190 wraps to -170, then stops at the limit";
  EXPECT_EQ(stored[1], 45.0f) << "whole degrees";
  EXPECT_EQ(stored[2], -180.0f) << "a truncating remainder leaves -200 below -180";

  EXPECT_EQ(engine->SetViewAngles(1, 2, 3, 7), 0) << "an index above 3 is reported and ignored";
  EXPECT_EQ(stored[0], -30.0f);
  float a0 = 7, a1 = 7, a2 = 7;
  EXPECT_EQ(engine->GetViewAngles(1, &a0, &a1, &a2), 21) << "no renderer before Play";
  EXPECT_STREQ(engine->GetErrorText(), "error: view angles are known only while playing;\n");
  EXPECT_EQ(a0 + a1 + a2, 21.0f) << "outputs untouched";

  OpenParams open(SamplePath("front_1080p30_short.mp4"));
  ASSERT_EQ(engine->Init(open.get()), 0);
  engine->SetViewAngles(100, 0, 0, 1);
  EXPECT_EQ(stored[0], 100.0f) << "Init puts every limit back to -180..180";
}

TEST(EngineInterfaceTest, AnInvalidDrawModeIsRefusedAndChangesNothing) {
  Engine engine = NewEngine();
  ASSERT_EQ(engine->SetDrawMode(5, 2), 0);
  for (const int mode : {7, -1}) {
    EXPECT_EQ(engine->SetDrawMode(mode, 2), 21);
    EXPECT_EQ(std::string(engine->GetErrorText()), "error: invalid draw mode " + std::to_string(mode) + ";\n");
  }
  EXPECT_EQ(EngineTestAccess::State(*engine).view.viewports.draw_mode[2], 5);
}

// ---------------------------------------------------------------- media rules

ISS_TimeTriple DurationOf(const std::string& media) {
  Engine engine = NewEngine();
  OpenParams open(media);
  EXPECT_EQ(engine->Init(open.get()), 0) << media << ": " << engine->GetErrorText();
  return engine->GetDuration();
}

int64_t Ms(const ISS_TimeTriple& t) { return (int64_t{t.minutes} * 60 + t.seconds) * 1000 + t.milliseconds; }

int64_t StreamMs(const std::string& path, AVMediaType type) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return -1;
  avformat_find_stream_info(input, nullptr);
  const int index = av_find_best_stream(input, type, -1, -1, nullptr, 0);
  const AVStream* stream = input->streams[index];
  const auto ms = static_cast<int64_t>(stream->duration * av_q2d(stream->time_base) * 1000.0);
  avformat_close_input(&input);
  return ms;
}

TEST(EngineMediaTest, SixtyFramesASecondWithSoundTakesTheSoundsDuration) {
  samplegen::RecordingSpec spec;
  spec.path = "p60_audio.mp4";
  spec.width = 640, spec.height = 360, spec.fps = 60, spec.frames = 150;  // 2.5 s: not whole sound frames
  const std::string path = MakeRecording(spec);
  const int64_t sound = StreamMs(path, AVMEDIA_TYPE_AUDIO);
  ASSERT_NE(sound, StreamMs(path, AVMEDIA_TYPE_VIDEO)) << "the fixture must tell the two apart";
  EXPECT_EQ(Ms(DurationOf(path)), sound);
}

TEST(EngineMediaTest, FrameCountWinsOverAShorterStreamDuration) {
  samplegen::RecordingSpec spec;
  spec.path = "p25_300.mp4";
  spec.width = 320, spec.height = 180, spec.fps = 25, spec.frames = 300, spec.audio = false;
  const std::string path = MakeRecording(spec);
  std::string error;
  ASSERT_TRUE(SetFirstTrackDuration(path, 10.0, &error)) << error;
  ASSERT_EQ(StreamMs(path, AVMEDIA_TYPE_VIDEO), 10000) << "the stream now claims 10 s";
  const ISS_TimeTriple d = DurationOf(path);
  EXPECT_EQ(d.minutes, 0);
  EXPECT_EQ(d.seconds, 12);
  EXPECT_EQ(d.milliseconds, 0);
}

TEST(EngineMediaTest, DurationsOfTheSamples) {
  EXPECT_EQ(Ms(DurationOf(SamplePath("front_1080p30.mp4"))), 8000);
  // No frame count in a transport stream: the sound's duration.
  EXPECT_EQ(Ms(DurationOf(SamplePath("front_1080p30.ts"))), StreamMs(SamplePath("front_1080p30.ts"), AVMEDIA_TYPE_AUDIO));
}

TEST(EngineMediaTest, StreamsOfUnknownLengthReportOneHundredMinutes) {
  std::string error;
  const std::string flv = ScratchPath("front.flv");
  ASSERT_TRUE(Remux(flv, {{SamplePath("front_1080p30.mp4"), AVMEDIA_TYPE_VIDEO}}, &error)) << error;
  const ISS_TimeTriple flvDuration = DurationOf(flv);
  EXPECT_EQ(flvDuration.minutes, 100);
  EXPECT_EQ(flvDuration.seconds, 0);

  samplegen::RecordingSpec spec;
  spec.path = "hls/live.m3u8";
  spec.width = 320, spec.height = 180, spec.frames = 90;
  std::filesystem::create_directories(ScratchPath("hls"));
  MakeRecording(spec);
  LoopbackHttpServer server(ScratchPath("hls"));
  const ISS_TimeTriple hls = DurationOf(server.Url("live.m3u8"));
  EXPECT_EQ(hls.minutes, 100);
  EXPECT_EQ(hls.seconds, 0);
  EXPECT_EQ(hls.milliseconds, 0);
}

TEST(EngineMediaTest, LiveFormatNames) {
  for (const char* name : {"flv", "hls,applehttp", "hls", "rtsp"}) EXPECT_TRUE(domeview::IsLiveInputFormat(name)) << name;
  for (const char* name : {"mov,mp4,m4a,3gp,3g2,mj2", "mpegts", "rtp", ""}) EXPECT_FALSE(domeview::IsLiveInputFormat(name));
}

TEST(EngineMediaTest, DurationFallsBackWhenStreamsStateNone) {
  domeview::DurationInputs in;
  in.frame_rate = 30;
  in.has_audio = true;  // but its duration is unknown
  in.container_duration_us = 4'500'000;
  EXPECT_EQ(domeview::DurationMilliseconds(in), 4500);
  in.container_duration_us = domeview::kNoTimestamp;
  EXPECT_EQ(domeview::DurationMilliseconds(in), 0);
  in.frame_count = 90;
  in.frame_rate = 0;  // no rate: the frame count cannot be used
  in.video_duration = 2000, in.video_time_base = {1, 1000};
  EXPECT_EQ(domeview::DurationMilliseconds(in), 2000);
  const ISS_TimeTriple t = domeview::TimeTripleOf(61'234);
  EXPECT_EQ(t.minutes, 1);
  EXPECT_EQ(t.seconds, 1);
  EXPECT_EQ(t.milliseconds, 234);
}

// A server that takes the connection and never answers: the open gives up
// after the socket timeout rather than waiting for good.
TEST(EngineMediaTest, AnRtspServerThatNeverAnswersFailsTheOpen) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), length), 0);
  ASSERT_EQ(listen(listener, 1), 0);  // never accepted: the kernel connects, nobody answers
  ASSERT_EQ(getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);

  // On its own thread, so that an open that never returns fails the test
  // instead of hanging it; closing the listener at the end releases it.
  struct Attempt {
    explicit Attempt(std::string url) : open(std::move(url)) {}
    Engine engine = NewEngine();
    OpenParams open;
    std::promise<int> code;
  };
  auto attempt = std::make_shared<Attempt>("rtsp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/live");
  std::future<int> code = attempt->code.get_future();
  std::thread([attempt] { attempt->code.set_value(attempt->engine->Init(attempt->open.get())); }).detach();
  const bool answered = code.wait_for(30s) == std::future_status::ready;
  close(listener);
  ASSERT_TRUE(answered) << "the open still waits for the server";
  EXPECT_EQ(code.get(), 15);
}

TEST(EngineMediaTest, TheLastVideoStreamIsPlayed) {
  std::string error;
  const std::string two = ScratchPath("two_videos.mp4");
  ASSERT_TRUE(Remux(two, {{SamplePath("front_1080p30.mp4"), AVMEDIA_TYPE_VIDEO},
                          {SamplePath("front_2880p30.mp4"), AVMEDIA_TYPE_VIDEO}},
                    &error))
      << error;
  Engine engine = NewEngine();
  OpenParams open(two);
  ASSERT_EQ(engine->Init(open.get()), 0) << engine->GetErrorText();
  int width = 0, height = 0;
  ASSERT_EQ(engine->GetVideoSize(&width, &height), 0);
  EXPECT_EQ(width, 2880);
  EXPECT_EQ(height, 2880);
}

TEST(EngineMediaTest, PtsListKeepsAscendingOrder) {
  domeview::PtsList list;
  for (int64_t value : {5, 3, 9, 3, -2, 7}) ASSERT_TRUE(domeview::pts_list_push(list, value));
  EXPECT_EQ(domeview::pts_list_count(list), 6);
  std::vector<int64_t> popped;
  while (domeview::pts_list_count(list) > 0) popped.push_back(domeview::pts_list_pop(list));
  EXPECT_EQ(popped, (std::vector<int64_t>{-2, 3, 3, 5, 7, 9}));
  EXPECT_EQ(domeview::pts_list_pop(list), 0) << "an empty list pops 0";
  domeview::pts_list_push(list, int64_t{1} << 40);  // timestamps beyond 32 bits stay whole
  int64_t value = 0;
  ASSERT_TRUE(domeview::pts_list_peek(list, &value));
  EXPECT_EQ(value, int64_t{1} << 40);
  domeview::pts_list_clear(list);
}

TEST(EngineMediaTest, PacketQueueIsFirstInFirstOut) {
  domeview::PacketQueue queue;
  AVPacket* packet = av_packet_alloc();
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(av_new_packet(packet, 8), 0);
    packet->pts = i;
    std::lock_guard<std::mutex> lock(queue.lock);
    ASSERT_TRUE(domeview::packet_queue_put(queue, packet));
    EXPECT_EQ(packet->data, nullptr) << "the queue takes the packet over";
  }
  {
    std::lock_guard<std::mutex> lock(queue.lock);
    ASSERT_TRUE(domeview::packet_queue_get(queue, packet));
    EXPECT_EQ(packet->pts, 0);
    EXPECT_EQ(queue.count, 2);
  }
  av_packet_unref(packet);
  domeview::packet_queue_flush(queue);
  EXPECT_EQ(queue.count, 0);
  EXPECT_EQ(queue.first, nullptr);
  EXPECT_EQ(queue.last, nullptr);
  std::lock_guard<std::mutex> lock(queue.lock);
  EXPECT_FALSE(domeview::packet_queue_get(queue, packet));
  av_packet_free(&packet);
}

// ---------------------------------------------------------------- calibration

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(EngineCalibrationTest, CopiesTheWidthNamedFileOfTheProgramFolder) {
  const std::string widthFile = platform::ProgramFolder() + "1920.inf";
  std::filesystem::copy_file(SamplePath("lens_1920x1080.inf"), widthFile,
                             std::filesystem::copy_options::overwrite_existing);
  const std::string target = ScratchPath("prepared_1920.inf");
  std::ofstream(target) << "old contents";
  Engine engine = NewEngine();
  EXPECT_EQ(engine->PrepareCalibration(SamplePath("front_1080p30.mp4").c_str(), target.c_str()), 0);
  EXPECT_EQ(ReadAll(target), ReadAll(widthFile));
  std::filesystem::remove(widthFile);
}

TEST(EngineCalibrationTest, CalibratesFromThePictureWithoutAWidthFile) {
  std::filesystem::remove(platform::ProgramFolder() + "2880.inf");
  const std::string target = ScratchPath("prepared_2880.inf");
  std::filesystem::remove(target);
  Engine engine = NewEngine();
  EXPECT_EQ(engine->PrepareCalibration(SamplePath("front_2880p30.mp4").c_str(), target.c_str()), 0)
      << engine->GetErrorText();
  EXPECT_EQ(std::filesystem::file_size(target), 380u);

  EXPECT_EQ(engine->PrepareCalibration(ScratchPath("no_such_file.mp4").c_str(), target.c_str()), 21);

  // A recording that opens and names its 1920-wide video, none of which decodes.
  const std::string blank = ScratchPath("no_pictures.mp4");
  std::filesystem::copy_file(SamplePath("front_1080p30_short.mp4"), blank,
                             std::filesystem::copy_options::overwrite_existing);
  std::string error;
  ASSERT_TRUE(BlankMediaData(blank, &error)) << error;
  std::filesystem::remove(platform::ProgramFolder() + "1920.inf");
  const std::string none = ScratchPath("prepared_from_nothing.inf");
  std::filesystem::remove(none);
  EXPECT_EQ(engine->PrepareCalibration(blank.c_str(), none.c_str()), 21);
  EXPECT_FALSE(std::filesystem::exists(none));
}

}  // namespace
}  // namespace enginetest
