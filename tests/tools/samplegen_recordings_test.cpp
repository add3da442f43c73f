// The generated sample set: valid streams, GPS in every carrier, readable
// by outside tools, and the same bytes every time.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "avhandles/av_handles.h"
#include "platform/paths.h"
#include "samplegen/frame_renderer.h"
#include "samplegen/gps_track.h"
#include "samplegen/recording.h"

using namespace samplegen;

namespace {

// The encoders' progress reports would bury the test output.
const int kQuietLibraries = (av_log_set_level(AV_LOG_ERROR), 0);

std::string SamplePath(const std::string& name) {
  const char* folder = std::getenv("KESTRA_SAMPLES_DIR");
  return std::string(folder ? folder : KESTRA_SAMPLES_DIR) + "/" + name;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string RunCommand(const std::string& command) {
  std::string output;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe)) output.append(buffer, n);
    pclose(pipe);
  }
  return output;
}

using av::Input;

Input OpenInput(const std::string& path) {
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, path.c_str(), nullptr, nullptr) < 0) return nullptr;
  Input input(context);
  if (avformat_find_stream_info(context, nullptr) < 0) return nullptr;
  return input;
}

const AVStream* StreamOfType(const AVFormatContext* input, AVMediaType type) {
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    if (input->streams[i]->codecpar->codec_type == type) return input->streams[i];
  }
  return nullptr;
}

struct ExpectedStreams {
  const char* name;
  int width, height, fps;
  bool audio;
  double seconds;
};

TEST(SampleRecordingsTest, StreamsAreWhatEachSampleClaims) {
  const ExpectedStreams cases[] = {
      {"front_1080p30.mp4", 1920, 1080, 30, true, 8},
      {"front_1080p60_sbtl.mp4", 1920, 1080, 60, true, 8},
      {"front_2880p30.mp4", 2880, 2880, 30, true, 3},
      {"front_1080p30.ts", 1920, 1080, 30, true, 8},
      {"front_1080p30_silent.mp4", 1920, 1080, 30, false, 8},
      {"front_1080p30_short.mp4", 1920, 1080, 30, true, 2},
      {"DCIMA/20240615_103000.MP4", 1920, 1080, 30, true, 8},
      {"20240615_103000_B.mp4", 1920, 1080, 30, true, 8},
  };
  for (const ExpectedStreams& c : cases) {
    SCOPED_TRACE(c.name);
    const Input input = OpenInput(SamplePath(c.name));
    ASSERT_TRUE(input);
    const AVStream* video = StreamOfType(input.get(), AVMEDIA_TYPE_VIDEO);
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->codecpar->codec_id, AV_CODEC_ID_H264);
    EXPECT_EQ(video->codecpar->width, c.width);
    EXPECT_EQ(video->codecpar->height, c.height);
    EXPECT_EQ(video->codecpar->format, AV_PIX_FMT_YUV420P);
    EXPECT_NEAR(av_q2d(video->avg_frame_rate), c.fps, 0.01);
    EXPECT_NEAR(input->duration / double(AV_TIME_BASE), c.seconds, 0.2);
    const AVStream* audio = StreamOfType(input.get(), AVMEDIA_TYPE_AUDIO);
    ASSERT_EQ(audio != nullptr, c.audio);
    if (audio) {
      EXPECT_EQ(audio->codecpar->codec_id, AV_CODEC_ID_AAC);
      EXPECT_EQ(audio->codecpar->sample_rate, kAudioSampleRate);
      EXPECT_EQ(audio->codecpar->ch_layout.nb_channels, 2);
    }
  }
}

// Decodes the video of a recording and checks every picture's frame code.
TEST(SampleRecordingsTest, EveryPictureCarriesItsFrameNumber) {
  const Input input = OpenInput(SamplePath("front_1080p30_short.mp4"));
  ASSERT_TRUE(input);
  const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  ASSERT_GE(index, 0);
  const AVCodec* codec = avcodec_find_decoder(input->streams[index]->codecpar->codec_id);
  const av::CodecContext decoder(avcodec_alloc_context3(codec));
  avcodec_parameters_to_context(decoder.get(), input->streams[index]->codecpar);
  ASSERT_EQ(avcodec_open2(decoder.get(), codec, nullptr), 0);
  const av::Packet packet(av_packet_alloc());
  const av::Frame frame(av_frame_alloc());
  int decoded = 0;
  const auto drain = [&] {
    while (avcodec_receive_frame(decoder.get(), frame.get()) == 0) {
      EXPECT_EQ(ReadFrameCode(frame->data[0], frame->linesize[0], frame->width, frame->height), decoded);
      ++decoded;
    }
  };
  while (av_read_frame(input.get(), packet.get()) >= 0) {
    if (packet->stream_index == index && avcodec_send_packet(decoder.get(), packet.get()) == 0) drain();
    av_packet_unref(packet.get());
  }
  avcodec_send_packet(decoder.get(), nullptr);
  drain();
  EXPECT_EQ(decoded, 60);
}

TEST(SampleRecordingsTest, GpsPacketsOfTheTransportStreamComeFirstAndEverySecond) {
  const std::string bytes = ReadBytes(SamplePath("front_1080p30.ts"));
  ASSERT_EQ(bytes.size() % kTsPacketSize, 0u);
  const std::vector<GpsFix> drive = MakeDrive(8);
  std::vector<size_t> gpsPackets;
  for (size_t i = 0; i * kTsPacketSize < bytes.size(); ++i) {
    const char* packet = bytes.data() + i * kTsPacketSize;
    ASSERT_EQ(packet[0], 0x47) << "packet " << i;
    if (std::memcmp(packet, "\x47\x43\x00", 3) != 0) continue;
    const auto expected = EncodeGpsRecord(drive.at(gpsPackets.size()));
    EXPECT_EQ(std::memcmp(packet + 18, expected.data(), expected.size()), 0);
    gpsPackets.push_back(i);
  }
  ASSERT_EQ(gpsPackets.size(), 8u);
  EXPECT_LE(gpsPackets[0], 20u);
}

TEST(SampleRecordingsTest, SidecarHoldsOneRecordPerSecond) {
  const std::string bytes = ReadBytes(SamplePath("DCIMG/20240615_103000.gps"));
  const std::vector<GpsFix> drive = MakeDrive(8);
  ASSERT_EQ(bytes.size(), drive.size() * kGpsRecordSize);
  for (size_t i = 0; i < drive.size(); ++i) {
    const auto expected = EncodeGpsRecord(drive[i]);
    EXPECT_EQ(std::memcmp(bytes.data() + i * kGpsRecordSize, expected.data(), kGpsRecordSize), 0);
  }
}

TEST(SampleRecordingsTest, SubtitleTrackSamplesAreTheRecords) {
  const Input input = OpenInput(SamplePath("front_1080p60_sbtl.mp4"));
  ASSERT_TRUE(input);
  const AVStream* subtitles = StreamOfType(input.get(), AVMEDIA_TYPE_SUBTITLE);
  ASSERT_NE(subtitles, nullptr);
  const std::vector<GpsFix> drive = MakeDrive(8);
  const av::Packet packet(av_packet_alloc());
  size_t seen = 0;
  while (av_read_frame(input.get(), packet.get()) >= 0) {
    if (packet->stream_index == subtitles->index) {
      ASSERT_LT(seen, drive.size());
      const auto expected = EncodeGpsRecord(drive[seen++]);
      ASSERT_EQ(packet->size, kGpsRecordSize);
      EXPECT_EQ(std::memcmp(packet->data, expected.data(), kGpsRecordSize), 0);
    }
    av_packet_unref(packet.get());
  }
  EXPECT_EQ(seen, drive.size());
  // The camera's layout: the track's handler is 'sbtl' and each chunk
  // offset of the track points at one whole record.
  const std::string bytes = ReadBytes(SamplePath("front_1080p60_sbtl.mp4"));
  static constexpr char kHandler[] = "hdlr\0\0\0\0\0\0\0\0sbtl";  // type, version+flags, pre-defined, handler
  const size_t handler = bytes.find(std::string(kHandler, sizeof(kHandler) - 1));
  ASSERT_NE(handler, std::string::npos);
  const size_t stco = bytes.find("stco", handler);
  ASSERT_NE(stco, std::string::npos);
  const auto u32 = [&](size_t at) {
    return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
           uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
  };
  ASSERT_EQ(u32(stco + 8), drive.size());
  for (size_t i = 0; i < drive.size(); ++i) {
    const auto expected = EncodeGpsRecord(drive[i]);
    EXPECT_EQ(bytes.compare(u32(stco + 12 + 4 * i), kGpsRecordSize,
                            reinterpret_cast<const char*>(expected.data()), kGpsRecordSize), 0) << i;
  }
}

// exiftool reads the 'gps ' box the way other camera tools do; it must find
// every valid fix we wrote.
TEST(SampleRecordingsTest, ExiftoolExtractsTheFixesOfTheGpsBox) {
  if (RunCommand("command -v exiftool").empty()) GTEST_SKIP() << "exiftool is not installed";
  const std::string output = RunCommand("exiftool -ee -n -p '$GPSDateTime,$GPSLatitude,$GPSLongitude,$GPSSpeed' '" +
                                        SamplePath("front_1080p30.mp4") + "' 2>/dev/null");
  std::istringstream lines(output);
  std::string line;
  std::vector<GpsFix> expected;
  for (const GpsFix& fix : MakeDrive(8)) {
    if (fix.valid) expected.push_back(fix);
  }
  size_t row = 0;
  while (std::getline(lines, line)) {
    ASSERT_LT(row, expected.size()) << line;
    const GpsFix& fix = expected[row++];
    char time[32];
    double latitude, longitude, speed;
    ASSERT_EQ(std::sscanf(line.c_str(), "%31[^,],%lf,%lf,%lf", time, &latitude, &longitude, &speed), 4) << line;
    char expectedTime[32];
    std::snprintf(expectedTime, sizeof(expectedTime), "%04d:%02d:%02d %02d:%02d:%02dZ", fix.year, fix.month, fix.day,
                  fix.hour, fix.minute, fix.second);
    EXPECT_STREQ(time, expectedTime);
    EXPECT_NEAR(latitude, fix.latitude, 1e-5);
    EXPECT_NEAR(longitude, fix.longitude, 1e-5);
    EXPECT_NEAR(speed, fix.speed * 3.6, 1e-3);
  }
  EXPECT_EQ(row, expected.size());
}

TEST(SampleRecordingsTest, SameOptionsGiveTheSameBytes) {
  const std::string folder = platform::ProgramFolder() + "tmp_determinism/";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  RecordingSpec spec;
  spec.width = 320, spec.height = 240, spec.fps = 25, spec.frames = 30, spec.gps = GpsCarrier::kMp4Box;
  std::string error;
  spec.path = folder + "a.mp4";
  ASSERT_TRUE(WriteRecording(spec, &error)) << error;
  spec.path = folder + "b.mp4";
  ASSERT_TRUE(WriteRecording(spec, &error)) << error;
  EXPECT_EQ(ReadBytes(folder + "a.mp4"), ReadBytes(folder + "b.mp4"));
  std::filesystem::remove_all(folder);
}

TEST(SampleRecordingsTest, ImpossibleRequestsFailWithAReason) {
  RecordingSpec spec;
  spec.frames = 1;
  std::string error;
  spec.path = platform::ProgramFolder() + "x.avi";
  EXPECT_FALSE(WriteRecording(spec, &error));
  EXPECT_NE(error.find("container"), std::string::npos);
  spec.path = platform::ProgramFolder() + "x.ts";
  spec.gps = GpsCarrier::kMp4Box;
  EXPECT_FALSE(WriteRecording(spec, &error));
  spec.gps = GpsCarrier::kSidecar;  // the program folder's name does not end in 'A'
  EXPECT_FALSE(WriteRecording(spec, &error));
  spec.gps = GpsCarrier::kNone;
  spec.path = "/proc/no/such/x.ts";
  EXPECT_FALSE(WriteRecording(spec, &error));
  spec.path = platform::ProgramFolder() + "x.mp4";
  for (const auto& [fps, frames] : {std::pair{0, 1}, std::pair{-30, 1}, std::pair{30, 0}}) {
    spec.fps = fps, spec.frames = frames;
    EXPECT_FALSE(WriteRecording(spec, &error)) << fps << " fps, " << frames << " frames";
    EXPECT_NE(error.find("positive"), std::string::npos) << error;
  }
  spec.fps = 30, spec.frames = 1, spec.width = 17;
  EXPECT_FALSE(WriteRecording(spec, &error));
  EXPECT_NE(error.find("even"), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(platform::ProgramFolder() + "x.mp4"));
  EXPECT_FALSE(std::filesystem::exists(platform::ProgramFolder() + "x.avi"));
}

}  // namespace
