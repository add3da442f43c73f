#include "engine_test_support.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <GL/gl.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "engine_hooks.h"
#include "platform/paths.h"
#include "platform/window_messages.h"
#include "platform/window_registry.h"
#include "samplegen/frame_renderer.h"

// Last: Xlib defines macros such as None and Bool.
#include <X11/Xlib.h>

namespace enginetest {

// The encoders' and demultiplexers' chatter would bury the test output.
const int kQuietLibraries = (av_log_set_level(AV_LOG_ERROR), 0);

std::string SamplePath(const std::string& name) {
  const char* folder = std::getenv("KESTRA_SAMPLES_DIR");
  return std::string(folder ? folder : KESTRA_SAMPLES_DIR) + "/" + name;
}

std::string ScratchPath(const std::string& name) {
  const std::string folder = platform::ProgramFolder() + "scratch/";
  std::filesystem::create_directories(folder);
  return folder + name;
}

Engine NewEngine() {
  Engine engine(CreateDomeview());
  if (engine) engine->SetVolume(64);
  return engine;
}

OpenParams::OpenParams(std::string media) : media_(std::move(media)), calibration_(SamplePath("lens_1920x1080.inf")) {
  params_.media_path = media_.c_str();
  params_.calibration_path = calibration_.c_str();
  params_.logo_path = "";
}

// ---------------------------------------------------------------- callbacks

void PlaybackEvents::OnEnd(void* self) {
  auto* events = static_cast<PlaybackEvents*>(self);
  std::lock_guard<std::mutex> lock(events->lock_);
  ++events->ends_;
  events->changed_.notify_all();
}

void PlaybackEvents::OnFail(void* self, int code) {
  auto* events = static_cast<PlaybackEvents*>(self);
  std::lock_guard<std::mutex> lock(events->lock_);
  events->fail_code_ = code;
  events->changed_.notify_all();
}

bool PlaybackEvents::WaitForEnd(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return ends_ > 0; });
}

// ---------------------------------------------------------------- picture log

PictureLog::PictureLog() {
  domeview::TestHooks().picture_shown = [this](const domeview::ShownPicture& shown) {
    const AVFrame* picture = shown.picture;
    const int code = samplegen::ReadFrameCode(picture->data[0], picture->linesize[0], picture->width, picture->height);
    std::lock_guard<std::mutex> lock(lock_);
    entries_.push_back({code, shown.picture_ms, shown.clock_ms, Clock::now()});
    changed_.notify_all();
  };
  domeview::TestHooks().presented = [this] { ++presented_; };
}

PictureLog::~PictureLog() {
  domeview::TestHooks().picture_shown = nullptr;
  domeview::TestHooks().presented = nullptr;
}

std::vector<PictureLog::Entry> PictureLog::Entries() const {
  std::lock_guard<std::mutex> lock(lock_);
  return entries_;
}

size_t PictureLog::Count() const {
  std::lock_guard<std::mutex> lock(lock_);
  return entries_.size();
}

int PictureLog::LastCode() const {
  std::lock_guard<std::mutex> lock(lock_);
  return entries_.empty() ? -1 : entries_.back().code;
}

bool PictureLog::WaitFor(const std::function<bool(const std::vector<Entry>&)>& done,
                         std::chrono::milliseconds timeout) const {
  std::unique_lock<std::mutex> lock(lock_);
  return changed_.wait_for(lock, timeout, [&] { return done(entries_); });
}

bool PictureLog::WaitForCount(size_t count, std::chrono::milliseconds timeout) const {
  return WaitFor([count](const std::vector<Entry>& e) { return e.size() >= count; }, timeout);
}

int PictureLog::WaitForNext(size_t count, std::chrono::milliseconds timeout) const {
  const size_t target = Count() + count;
  return WaitForCount(target, timeout) ? LastCode() : -2;
}

::testing::AssertionResult CodesAreConsecutive(const std::vector<PictureLog::Entry>& entries, int first, int last) {
  if (entries.empty()) return ::testing::AssertionFailure() << "no picture was shown";
  int expected = first;
  for (const PictureLog::Entry& entry : entries) {
    if (entry.code != expected) {
      return ::testing::AssertionFailure() << "picture " << expected << " expected, " << entry.code << " shown";
    }
    ++expected;
  }
  if (expected - 1 != last) return ::testing::AssertionFailure() << "last picture " << expected - 1 << ", not " << last;
  return ::testing::AssertionSuccess();
}

// ---------------------------------------------------------------- frame read-back

FrameReadback::FrameReadback(const domeview::ViewRect& rect) : rect_(rect) {
  domeview::TestHooks().drawn = [this] {
    std::vector<uint8_t> pixels(size_t(rect_.width) * rect_.height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(rect_.x, rect_.y, rect_.width, rect_.height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::lock_guard<std::mutex> lock(lock_);
    pixels_ = std::move(pixels);
    ++frames_;
    changed_.notify_all();
  };
}

FrameReadback::~FrameReadback() { domeview::TestHooks().drawn = nullptr; }

std::vector<uint8_t> FrameReadback::Next(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(lock_);
  const int64_t seen = frames_;
  if (!changed_.wait_for(lock, timeout, [&] { return frames_ > seen; })) return {};
  return pixels_;
}

// ---------------------------------------------------------------- files

std::string MakeRecording(samplegen::RecordingSpec spec) {
  static std::map<std::string, std::string> made;
  const std::string path = ScratchPath(spec.path);
  if (made.count(path)) return path;
  spec.path = path;
  std::string error;
  if (!samplegen::WriteRecording(spec, &error)) {
    ADD_FAILURE() << "cannot write " << path << ": " << error;
    return path;
  }
  made[path] = path;
  return path;
}

namespace {

struct InputCloser {
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct Picked {
  Input input;
  int from = -1;  // stream index in the input
  AVStream* to = nullptr;
};

bool OpenPicks(const std::vector<StreamPick>& picks, AVFormatContext* out, std::vector<Picked>* opened,
               std::string* error) {
  for (const StreamPick& pick : picks) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, pick.path.c_str(), nullptr, nullptr) < 0) return *error = "open " + pick.path, false;
    Picked picked;
    picked.input.reset(raw);
    avformat_find_stream_info(raw, nullptr);
    picked.from = av_find_best_stream(raw, pick.type, -1, -1, nullptr, 0);
    if (picked.from < 0) return *error = "no such stream in " + pick.path, false;
    picked.to = avformat_new_stream(out, nullptr);
    avcodec_parameters_copy(picked.to->codecpar, raw->streams[picked.from]->codecpar);
    picked.to->codecpar->codec_tag = 0;
    picked.to->time_base = raw->streams[picked.from]->time_base;
    opened->push_back(std::move(picked));
  }
  return true;
}

}  // namespace

bool Remux(const std::string& output, const std::vector<StreamPick>& picks, std::string* error) {
  AVFormatContext* out = nullptr;
  if (avformat_alloc_output_context2(&out, nullptr, nullptr, output.c_str()) < 0) return *error = "output", false;
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> owner(out, [](AVFormatContext* c) {
    if (c->pb) avio_closep(&c->pb);
    avformat_free_context(c);
  });
  std::vector<Picked> opened;
  if (!OpenPicks(picks, out, &opened, error)) return false;
  if (avio_open(&out->pb, output.c_str(), AVIO_FLAG_WRITE) < 0 || avformat_write_header(out, nullptr) < 0) {
    return *error = "write header of " + output, false;
  }
  AVPacket* packet = av_packet_alloc();
  for (Picked& picked : opened) {
    while (av_read_frame(picked.input.get(), packet) >= 0) {
      if (packet->stream_index == picked.from) {
        av_packet_rescale_ts(packet, picked.input->streams[picked.from]->time_base, picked.to->time_base);
        packet->stream_index = picked.to->index;
        packet->pos = -1;
        av_interleaved_write_frame(out, packet);
      }
      av_packet_unref(packet);
    }
  }
  av_packet_free(&packet);
  return av_write_trailer(out) >= 0 || (*error = "trailer", false);
}

namespace {

// Offset of the first box of `type` among the boxes in [begin, end); npos when none.
size_t FindBox(const std::string& data, size_t begin, size_t end, const char* type) {
  for (size_t at = begin; at + 8 <= end;) {
    const uint32_t size = (uint8_t(data[at]) << 24) | (uint8_t(data[at + 1]) << 16) | (uint8_t(data[at + 2]) << 8) |
                          uint8_t(data[at + 3]);
    if (data.compare(at + 4, 4, type) == 0) return at;
    if (size < 8) break;
    at += size;
  }
  return std::string::npos;
}

size_t BoxEnd(const std::string& data, size_t at) {
  return at + ((uint8_t(data[at]) << 24) | (uint8_t(data[at + 1]) << 16) | (uint8_t(data[at + 2]) << 8) |
               uint8_t(data[at + 3]));
}

}  // namespace

bool BlankMediaData(const std::string& mp4Path, std::string* error) {
  std::string data;
  {
    std::ifstream in(mp4Path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const size_t box = FindBox(data, 0, data.size(), "mdat");
  if (box == std::string::npos) return *error = "no mdat box", false;
  std::fill(data.begin() + static_cast<ptrdiff_t>(box + 8),
            data.begin() + static_cast<ptrdiff_t>(std::min(BoxEnd(data, box), data.size())), '\0');
  std::ofstream(mp4Path, std::ios::binary | std::ios::trunc) << data;
  return true;
}

bool SetFirstTrackDuration(const std::string& mp4Path, double seconds, std::string* error) {
  std::string data;
  {
    std::ifstream in(mp4Path, std::ios::binary);
    data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  size_t box = 0, begin = 0, end = data.size();
  for (const char* type : {"moov", "trak", "mdia", "mdhd"}) {
    box = FindBox(data, begin, end, type);
    if (box == std::string::npos) return *error = std::string("no ") + type + " box", false;
    begin = box + 8;
    end = BoxEnd(data, box);
  }
  if (data[box + 8] != 0) return *error = "version 1 mdhd", false;
  const size_t timescaleAt = box + 20;
  const uint32_t timescale = (uint8_t(data[timescaleAt]) << 24) | (uint8_t(data[timescaleAt + 1]) << 16) |
                             (uint8_t(data[timescaleAt + 2]) << 8) | uint8_t(data[timescaleAt + 3]);
  const auto duration = static_cast<uint32_t>(seconds * timescale);
  for (int i = 0; i < 4; ++i) data[timescaleAt + 4 + i] = static_cast<char>(duration >> (24 - 8 * i));
  std::ofstream(mp4Path, std::ios::binary | std::ios::trunc) << data;
  return true;
}

bool RunCommand(const std::string& command) { return std::system(command.c_str()) == 0; }

// ---------------------------------------------------------------- HTTP

LoopbackHttpServer::LoopbackHttpServer(std::string folder) : folder_(std::move(folder)) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ADD_FAILURE() << "no loopback socket";
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread(&LoopbackHttpServer::Serve, this);
}

LoopbackHttpServer::~LoopbackHttpServer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  close(listener_);
}

std::string LoopbackHttpServer::Url(const std::string& name) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
}

void LoopbackHttpServer::Serve() {
  while (!stop_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    const int connection = accept(listener_, nullptr, nullptr);
    if (connection < 0) continue;
    Answer(connection);
    close(connection);
  }
}

void LoopbackHttpServer::Answer(int connection) {
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos) {
    const ssize_t n = recv(connection, buffer, sizeof(buffer), 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<size_t>(n));
  }
  std::istringstream line(request);
  std::string method, target;
  line >> method >> target;
  std::ifstream file(folder_ + target, std::ios::binary);
  const std::string body(std::istreambuf_iterator<char>(file), {});
  const std::string head = file || !body.empty()
                               ? "HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(body.size()) +
                                     "\r\nConnection: close\r\n\r\n"
                               : std::string("HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
  const std::string reply = head + (method == "HEAD" ? "" : body);
  for (size_t sent = 0; sent < reply.size();) {
    const ssize_t n = send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<size_t>(n);
  }
}

// ---------------------------------------------------------------- host window

HostWindow::HostWindow(int width, int height) {
  platform::BindUiThread();
  Display* display = XOpenDisplay(nullptr);
  display_ = display;
  if (!display) {
    ADD_FAILURE() << "no X display";
    return;
  }
  const int screen = DefaultScreen(display);
  topId_ = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, 0, 0);
  childId_ = XCreateSimpleWindow(display, topId_, 0, 0, width, height, 0, 0, 0);
  XMapWindow(display, childId_);
  XMapWindow(display, topId_);
  XSync(display, False);
  parent_ = platform::CreateWindowHandle();
  child_ = platform::CreateWindowHandle(parent_);
  platform::SetWindowHandler(parent_, [this](platform::HWND, platform::UINT message, platform::WPARAM wParam,
                                             platform::LPARAM) -> platform::LRESULT {
    std::string text = message == platform::kMsgFileDropped ? reinterpret_cast<const char*>(wParam) : "";
    messages_.push_back({message, wParam, text});
    return 0;
  });
}

HostWindow::~HostWindow() {
  platform::DestroyWindowHandle(child_);
  platform::DestroyWindowHandle(parent_);
  if (auto* display = static_cast<Display*>(display_)) {
    XDestroyWindow(display, topId_);
    XCloseDisplay(display);
  }
}

void HostWindow::RegisterChildId() { platform::SetNativeWindowId(child_, childId_); }

bool HostWindow::PumpUntil(const std::function<bool(const std::vector<Message>&)>& done,
                           std::chrono::milliseconds timeout) {
  const auto giveUp = Clock::now() + timeout;
  for (;;) {
    platform::DispatchPostedMessages();
    if (done(messages_)) return true;
    if (Clock::now() > giveUp) return false;
    std::this_thread::sleep_for(10ms);
  }
}

}  // namespace enginetest
