// One input, every reader: the bytes are taken as an MP4, as a transport
// stream and as a sidecar file, and whatever records come out go through
// the track maths the player applies to them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "chart/g_sensor_curve.h"
#include "gps/byte_source.h"
#include "gps/gps_presentation.h"
#include "gps/gps_reader.h"
#include "gps/mp4_box_reader.h"

namespace {

// Records presented per input: the maths is the same for each, and
// formatting thousands of positions would only slow the search down.
constexpr size_t kPresentedRecords = 64;

void Present(std::vector<gps::GpsRecord> records) {
  if (records.size() > kPresentedRecords) records.resize(kPresentedRecords);
  for (int mapType : {gps::kMapTypeBd09, gps::kMapTypeWgs84, 7}) {
    if (const auto track = gps::BuildMapTrack(records, mapType)) {
      static auto layout = std::make_unique<chart::ChartLayout>();
      const std::vector<double> curve = chart::ComputeCurve(track->gsensor);
      chart::LayOutChart({0, 0, 300, 60}, curve, layout.get());
      chart::TickLabels(track->gsensor, static_cast<int32_t>(records.size() / 2));
    }
  }
  for (const gps::GpsRecord& record : records) gps::ViewOfRecord(record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const gps::MemorySource source({data, size});
  Present(gps::ReadMp4Records(source, gps::QuietTrace));
  Present(gps::ScanTransportStream(source, gps::QuietTrace));
  Present(gps::ReadSidecarRecords(source));
  return 0;
}
