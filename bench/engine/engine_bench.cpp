// Playback figures of the engine, printed per recording:
//  - CPU time per second of playback, against `ffmpeg -benchmark` decoding
//    the same file to nothing (the engine decodes, converts into its ring,
//    resamples the sound and presents each picture);
//  - audio/video offset: master clock minus the time of each picture when
//    it is taken, at the start, at the end and at worst; the drift is how
//    much the offset grows from the first to the last second;
//  - time from Play to the first presented picture;
//  - resident memory during playback.
// Run it on a display: scripts/run-with-display.sh build/bench/engine_bench

extern "C" {
#include <libavformat/avformat.h>
}

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <map>
#include <numeric>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "domeview/iss_domeview.h"
#include "engine_hooks.h"
#include "platform/paths.h"
#include "samplegen/recording.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Taken {
  int64_t offset_ms;  // clock - picture
  Clock::time_point at;
};

// CPU seconds of each live thread of this process, by thread id.
struct ThreadTime {
  std::string name;
  double seconds;
};
std::map<std::string, ThreadTime> ThreadCpu() {
  std::map<std::string, ThreadTime> threads;
  const double tick = double(sysconf(_SC_CLK_TCK));
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream stat(task.path() / "stat");
    std::string line;
    std::getline(stat, line);
    const size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i == 14) user = std::stoull(field);
      if (i == 15) system = std::stoull(field);
    }
    threads[task.path().filename()] = {line.substr(open + 1, close - open - 1), (user + system) / tick};
  }
  return threads;
}

// CPU spent by each thread name between two snapshots; threads that ended
// in between are missing from the second and not counted.
std::map<std::string, double> CpuByName(const std::map<std::string, ThreadTime>& before,
                                        const std::map<std::string, ThreadTime>& after) {
  std::map<std::string, double> byName;
  for (const auto& [tid, time] : after) {
    const auto earlier = before.find(tid);
    byName[time.name] += time.seconds - (earlier != before.end() ? earlier->second.seconds : 0.0);
  }
  return byName;
}

struct Run {
  double cpu_seconds = 0;
  double wall_seconds = 0;
  double first_picture_ms = -1;
  long peak_rss_kb = 0;
  std::vector<Taken> taken;
  std::map<std::string, double> thread_cpu;  // while playing, by thread name
  int ends = 0;
};

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == "VmRSS:") return status >> value, value;
    status.ignore(1 << 10, '\n');
  }
  return 0;
}

struct EndSignal {
  std::mutex lock;
  std::condition_variable ended;
  int count = 0;
  static void OnEnd(void* self) {
    auto* signal = static_cast<EndSignal*>(self);
    std::lock_guard<std::mutex> guard(signal->lock);
    ++signal->count;
    signal->ended.notify_all();
  }
};

Run PlayOnce(const std::string& path) {
  Run run;
  std::mutex lock;
  std::atomic<bool> presentedAny{false};
  Clock::time_point playAt;
  domeview::TestHooks().picture_shown = [&](const domeview::ShownPicture& shown) {
    std::lock_guard<std::mutex> guard(lock);
    run.taken.push_back({shown.clock_ms - shown.picture_ms, Clock::now()});
  };
  domeview::TestHooks().presented = [&] {
    std::lock_guard<std::mutex> guard(lock);
    if (!run.taken.empty() && !presentedAny.exchange(true)) {
      run.first_picture_ms = std::chrono::duration<double, std::milli>(Clock::now() - playAt).count();
    }
  };
  ISS_Domeview* engine = CreateDomeview();
  engine->SetVolume(64);
  ISS_InitParams params{path.c_str(), "", "", 0, 0, 0, 0};
  if (engine->Init(&params) != 0) {
    std::printf("  cannot open %s: %s", path.c_str(), engine->GetErrorText());
    DestroyDomeview(engine);
    return run;
  }
  engine->SetWindowRect(0, 0, 640, 360);
  engine->SetViewport(0, 0, 640, 360, 0);
  EndSignal end;
  const double cpuBefore = CpuSeconds();
  playAt = Clock::now();
  const auto threadsBefore = ThreadCpu();
  engine->Play(nullptr, nullptr, &EndSignal::OnEnd, &end, nullptr);
  std::map<std::string, ThreadTime> threadsLast;
  {
    std::unique_lock<std::mutex> guard(end.lock);
    while (end.count == 0) {
      end.ended.wait_for(guard, std::chrono::milliseconds(100));
      run.peak_rss_kb = std::max(run.peak_rss_kb, ResidentKb());
      if (end.count == 0) threadsLast = ThreadCpu();
    }
  }
  run.wall_seconds = std::chrono::duration<double>(Clock::now() - playAt).count();
  run.thread_cpu = CpuByName(threadsBefore, threadsLast);
  run.cpu_seconds = CpuSeconds() - cpuBefore;
  engine->Stop();
  run.ends = end.count;
  DestroyDomeview(engine);
  domeview::TestHooks().picture_shown = nullptr;
  domeview::TestHooks().presented = nullptr;
  return run;
}

// CPU seconds (user + system) that ffmpeg needs to decode the file.
double FfmpegDecodeCpu(const std::string& path) {
  const std::string command = "ffmpeg -hide_banner -nostdin -benchmark -i '" + path + "' -f null - 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char line[512];
  double user = -1, system = 0, real = 0;
  while (std::fgets(line, sizeof(line), pipe)) {
    std::sscanf(line, "bench: utime=%lfs stime=%lfs rtime=%lfs", &user, &system, &real);
  }
  pclose(pipe);
  return user < 0 ? -1 : user + system;
}

double MeanOffset(const std::vector<Taken>& taken, Clock::time_point from, Clock::time_point to) {
  double sum = 0;
  int n = 0;
  for (const Taken& t : taken) {
    if (t.at >= from && t.at < to) sum += double(t.offset_ms), ++n;
  }
  return n ? sum / n : 0;
}

double MediaSeconds(const std::string& path) {
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) return 0;
  avformat_find_stream_info(input, nullptr);
  const double seconds = input->duration / double(AV_TIME_BASE);
  avformat_close_input(&input);
  return seconds;
}

void Report(const std::string& label, const std::string& path, double fps) {
  const Run run = PlayOnce(path);
  if (run.taken.empty()) return;
  const double media = MediaSeconds(path);
  const double ffmpeg = FfmpegDecodeCpu(path);
  const auto first = run.taken.front().at, last = run.taken.back().at;
  const double startOffset = MeanOffset(run.taken, first, first + std::chrono::seconds(1));
  const double endOffset = MeanOffset(run.taken, last - std::chrono::seconds(1), last + std::chrono::milliseconds(1));
  int64_t worst = 0;
  for (const Taken& t : run.taken) worst = std::max(worst, std::abs(t.offset_ms));
  std::printf("%s (%s, %.1f s)\n", label.c_str(), platform::FileNameOf(path).c_str(), media);
  std::printf("  pictures shown          %zu, end reported %d time(s), played in %.2f s\n", run.taken.size(), run.ends,
              run.wall_seconds);
  std::printf("  CPU per playback second %.3f s (engine %.2f s in all)\n", run.cpu_seconds / media, run.cpu_seconds);
  if (ffmpeg > 0) {
    std::printf("  ffmpeg decode-only      %.3f s per second (%.2f s); engine / ffmpeg = %.2f\n", ffmpeg / media, ffmpeg,
                run.cpu_seconds / ffmpeg);
  }
  std::printf("  clock - picture         first second %.1f ms, last second %.1f ms, worst %lld ms\n", startOffset,
              endOffset, static_cast<long long>(worst));
  std::printf("  drift over the playback %.1f ms (one frame is %.1f ms)\n", endOffset - startOffset, 1000.0 / fps);
  std::printf("  CPU by thread          ");
  for (const auto& [name, cpu] : run.thread_cpu) {
    if (cpu >= 0.05) std::printf(" %s %.2f s", name.c_str(), cpu);
  }
  std::printf("\n  Play to first picture   %.0f ms\n", run.first_picture_ms);
  std::printf("  resident memory, peak   %.0f MB\n\n", run.peak_rss_kb / 1024.0);
}

std::string MakeLongRecording(const std::string& name, int width, int fps, int seconds) {
  const std::string folder = platform::ProgramFolder() + "engine_bench_media/";
  std::filesystem::create_directories(folder);
  samplegen::RecordingSpec spec;
  spec.path = folder + name;
  spec.width = width, spec.height = width == 2880 ? 2880 : 1080;
  spec.fps = fps, spec.frames = fps * seconds;
  if (!std::filesystem::exists(spec.path)) {
    std::printf("making %s ...\n", spec.path.c_str());
    std::string error;
    if (!samplegen::WriteRecording(spec, &error)) std::printf("  failed: %s\n", error.c_str());
  }
  return spec.path;
}

}  // namespace

int main(int argc, char** argv) {
  av_log_set_level(AV_LOG_ERROR);
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
  const char* samples = std::getenv("KESTRA_SAMPLES_DIR");
  const std::string sampleFolder = samples ? samples : KESTRA_SAMPLES_DIR;
  Report("2880 x 2880, 30 pictures a second", MakeLongRecording("front_2880p30_long.mp4", 2880, 30, seconds), 30);
  Report("1920 x 1080, 60 pictures a second", sampleFolder + "/front_1080p60_sbtl.mp4", 60);
  Report("1920 x 1080, 60 pictures a second, long", MakeLongRecording("front_1080p60_long.mp4", 1920, 60, seconds),
         60);
  Report("1920 x 1080, 30 pictures a second", sampleFolder + "/front_1080p30.mp4", 30);
  return 0;
}
