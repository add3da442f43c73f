#pragma once
// Writes one synthetic dash-camera recording: H.264 pictures of the scene
// (a 200 degree fisheye, or an ordinary rear-camera view), AAC sound whose
// tone changes every second, and the drive's GPS records in one carrier.
// The output is deterministic for the same options.

#include <string>
#include <vector>

namespace samplegen {

enum class GpsCarrier {
  kNone,
  kSidecar,          // records in a ".gps" file: folder "...A" -> sibling "...G"
  kTransportStream,  // TS packets of PID 0x300 (MPEG-TS only)
  kMp4Box,           // 'gps ' box in 'moov' indexing "freeGPS " blocks (MP4 only)
  kSubtitleTrack,    // subtitle track (handler 'sbtl'), one record per chunk (MP4 only)
};

struct RecordingSpec {
  std::string path;  // container from the extension: .mp4/.mov, .ts, .m3u8 (HLS)
  int width = 1920, height = 1080;
  int fps = 30;
  int frames = 300;
  bool audio = true;
  bool rearCamera = false;
  GpsCarrier gps = GpsCarrier::kNone;
};

// Sample rate and tone plan of the sound: second s plays a sine of
// ToneFrequency(s) hertz on both channels.
constexpr int kAudioSampleRate = 48000;
double ToneFrequency(int second);

bool WriteRecording(const RecordingSpec& spec, std::string* error);

// Where the sidecar of a recording goes: the last character of the
// containing folder's name, an upper-case 'A', becomes 'G' and the extension
// becomes ".gps". Empty when the folder name does not end in 'A'.
std::string SidecarPathFor(const std::string& recordingPath);

// Appends one "freeGPS " block per record at the end of an MP4 file and puts
// a 'gps ' box indexing them into its 'moov', which must be the file's last box.
struct GpsFix;
bool AddGpsBox(const std::string& mp4Path, const std::vector<GpsFix>& fixes, std::string* error);

}  // namespace samplegen
