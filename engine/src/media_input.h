#pragma once
// Opening a media for playback: input, stream choice, decoders, duration,
// frame ring, scaler and audio converter; releasing it again; and the probe
// that reports a video's size without opening it for playback.

#include "error_text.h"
#include "video_state.h"

namespace domeview {

// Fills the media fields of `vs` (released beforehand). 0, 15 (cannot open),
// 16 (no video stream) or 21; the error text says why. On failure whatever
// was opened stays recorded for ReleaseMedia.
int OpenMedia(video_state& vs, const char* path, ErrorText& errors);
// Queues, converters, buffers, frames, decoders and input; safe on a
// partly opened or empty state.
void ReleaseMedia(video_state& vs);

// Width and height of the first video stream (left untouched when there is
// none). Non-zero when the media cannot be opened or read.
int ProbeMedia(const char* path, int* width, int* height);

// What the duration is worked out from. Durations are in their stream's
// time base; kNoTimestamp when the stream does not state one.
struct DurationInputs {
  double frame_rate = 0;
  bool has_audio = false;
  int64_t audio_duration = kNoTimestamp;
  AVRational audio_time_base = {0, 1};
  int64_t video_duration = kNoTimestamp;
  AVRational video_time_base = {0, 1};
  int64_t frame_count = 0;
  int64_t container_duration_us = kNoTimestamp;  // used when no stream states one
};
int64_t DurationMilliseconds(const DurationInputs& in);
ISS_TimeTriple TimeTripleOf(int64_t milliseconds);

// Inputs whose length is unknown or unbounded (live streams): "flv",
// "hls,applehttp" (plain "hls" in newer media libraries) and "rtsp".
bool IsLiveInputFormat(const char* formatName);

// The media library's full-range JPEG pixel formats map to their ordinary
// counterparts; others are returned unchanged.
AVPixelFormat OrdinaryPixelFormat(AVPixelFormat format);

// A decoded picture's presentation time: the decoder's own (it carries
// packet timestamps through reordering and delay), else the packet's.
int64_t PictureTimestamp(const AVFrame* picture, int64_t packetPts);

// Buffers and frames of the ring for pictures of width x height; false when
// they cannot be allocated or bound. Releases the old ones first.
bool AllocFrameRing(FrameRing& ring, int width, int height);
// Points the slot's frame at the slot's own buffer again (after it held a
// reference to a decoded picture).
bool BindSlotBuffer(FrameRing& ring, int slot);
void ReleaseFrameRing(FrameRing& ring);

}  // namespace domeview
