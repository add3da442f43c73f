// What the main window shows of a track: speed, compass, date, and the
// track text of the map page's start call.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "gps/coordinate_transform.h"
#include "gps/gps_presentation.h"
#include "gps_fixtures.h"

using namespace gpsfixture;
using gps::GpsRecord;

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(GpsPresentationTest, SpeedText) {
  const std::pair<double, const char*> cases[] = {
      {5.0, "18km/h"}, {0.0, "0km/h"}, {-3.0, "0km/h"}, {kNan, "0km/h"}, {16.67, "60km/h"}};
  for (const auto& [speed, text] : cases) EXPECT_EQ(gps::SpeedText(speed), text) << speed;
}

TEST(GpsPresentationTest, CompassPictureFollowsTheHeading) {
  const std::pair<double, const char*> cases[] = {
      {0, "mag0181.png"},   {90, "mag0270.png"},  {180, "mag0000.png"}, {359.9, "mag0179.png"},
      {0.5, "mag0181.png"}, {-45, "mag0181.png"}, {kNan, "mag0181.png"},
      {std::numeric_limits<double>::infinity(), "mag0181.png"}};
  for (const auto& [heading, picture] : cases) {
    EXPECT_EQ(gps::CompassPictureName(gps::CompassFrame(heading)), picture) << heading;
  }
  // A corrupt heading still names one of the pictures.
  const int frame = gps::CompassFrame(1e300);
  EXPECT_TRUE(frame >= 0 && frame < 360) << frame;
}

TEST(GpsPresentationTest, TickViewDependsOnTheStatus) {
  GpsRecord r = Record(7, 'A');
  r.speed = 5.0, r.heading = 90, r.year = 2024, r.month = 6, r.day = 5, r.hour = 9, r.minute = 3;
  gps::GpsTickView view = gps::ViewOfRecord(r);
  EXPECT_EQ(view.speedText, "18km/h");
  EXPECT_EQ(view.compassPicture, "mag0270.png");
  EXPECT_EQ(view.timeText, "2024-6-5 \n\n 9:3:7");
  EXPECT_FALSE(view.hideMarker);

  r.Status = 'V';
  view = gps::ViewOfRecord(r);
  EXPECT_FALSE(view.speedText.has_value());  // the label keeps its previous text
  EXPECT_TRUE(view.hideMarker);
  r.Status = 'a';
  view = gps::ViewOfRecord(r);
  EXPECT_FALSE(view.speedText.has_value());
  EXPECT_FALSE(view.hideMarker);
}

std::vector<std::string> Entries(const std::string& points) {
  std::vector<std::string> entries;
  size_t start = 0;
  for (size_t end; (end = points.find(';', start)) != std::string::npos; start = end + 1) {
    entries.push_back(points.substr(start, end - start + 1));
  }
  EXPECT_EQ(start, points.size()) << "every entry ends in ';'";
  return entries;
}

TEST(GpsPresentationTest, TrackTextForTheWgs84Map) {
  std::vector<GpsRecord> records = {Record(0, 'A', 22.5, 114.0), Record(1, 'V', 22.5, 114.0),
                                    Record(2, 'a', 22.51, 114.02)};
  const auto track = gps::BuildMapTrack(records, gps::kMapTypeWgs84);
  ASSERT_TRUE(track.has_value());
  EXPECT_EQ(track->mapType, gps::kMapTypeWgs84);
  const std::vector<std::string> entries = Entries(track->points);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], "114.000000000000000,22.500000000000000;");
  EXPECT_EQ(entries[1], "V,V;");
  EXPECT_EQ(entries[2], "114.019999999999996,22.510000000000002;");
  EXPECT_EQ(gps::StartScript(track->points), "start(\"" + track->points + "\")");
}

TEST(GpsPresentationTest, OutliersMoveToTheMedianOfTheValidFixes) {
  std::vector<GpsRecord> records;
  for (int i = 0; i < 6; ++i) records.push_back(Record(i, 'A', 22.5 + 0.001 * i, 114.0 + 0.001 * i));
  records.push_back(Record(6, 'A', 0.0, 0.0));       // a receiver's bad fix
  records.push_back(Record(7, 'A', kNan, 114.003));  // a corrupt one
  records.push_back(Record(8, 'V', 0.0, 0.0));       // no fix: ignored by the median
  records.push_back(Record(9, 'A', 22.65, 114.15));  // just past 0.1 degree on both axes
  const auto track = gps::BuildMapTrack(records, gps::kMapTypeWgs84);
  ASSERT_TRUE(track.has_value());
  const std::vector<std::string> entries = Entries(track->points);
  ASSERT_EQ(entries.size(), 10u);
  // Nine valid latitudes sorted, NaN last: 0, 22.500 ... 22.505, 22.65, NaN; index 4 is 22.503.
  EXPECT_EQ(entries[6], "114.003000000000000,22.503000000000000;");
  EXPECT_EQ(entries[7], "114.003000000000000,22.503000000000000;");
  EXPECT_EQ(entries[1], "114.001000000000005,22.501000000000001;");  // within 0.1: kept
  EXPECT_EQ(entries[8], "V,V;");
  EXPECT_EQ(entries[9], "114.003000000000000,22.503000000000000;");
}

TEST(GpsPresentationTest, ChinaPositionsAreConvertedForTheirMap) {
  const std::vector<GpsRecord> records = {Record(0, 'A', 22.5, 114.0), Record(1, 'A', 22.5, 114.0)};
  auto entry = [&](int mapType, size_t index, int* typeAfter = nullptr) {
    const auto track = gps::BuildMapTrack(records, mapType);
    if (typeAfter) *typeAfter = track->mapType;
    double longitude = 0, latitude = 0;
    EXPECT_EQ(std::sscanf(Entries(track->points).at(index).c_str(), "%lf,%lf;", &longitude, &latitude), 2);
    return gps::LatLon{latitude, longitude};
  };
  // Any type but 0 and 1 becomes 2: a fixed shift.
  int typeAfter = 0;
  const gps::LatLon shifted = entry(7, 0, &typeAfter);
  EXPECT_EQ(typeAfter, gps::kMapTypeOffset);
  EXPECT_NEAR(shifted.longitude, 114.004967451, 1e-12);
  EXPECT_NEAR(shifted.latitude, 22.497013185, 1e-12);
  // Type 0: GCJ-02 then BD-09. Around Shenzhen GCJ-02 is close to the fixed
  // shift above, and BD-09 adds about 0.006 degrees to both.
  const gps::LatLon gcj = gps::Wgs84ToGcj02({22.5, 114.0});
  EXPECT_NEAR(gcj.longitude, shifted.longitude, 2e-4);
  EXPECT_NEAR(gcj.latitude, shifted.latitude, 2e-4);
  const gps::LatLon bd = entry(gps::kMapTypeBd09, 0);
  EXPECT_NEAR(bd.longitude - gcj.longitude, 0.0065, 1e-3);
  EXPECT_NEAR(bd.latitude - gcj.latitude, 0.006, 1e-3);
  // Outside the box nothing changes, whatever the map type, and the type stays.
  for (int type : {0, 1, 2}) {
    const std::vector<GpsRecord> far = {Record(0, 'A', 22.5, 140.0), Record(1, 'A', 22.5, 140.0)};
    const auto track = gps::BuildMapTrack(far, type);
    EXPECT_EQ(Entries(track->points)[0], "140.000000000000000,22.500000000000000;") << type;
  }
  const std::vector<GpsRecord> far = {Record(0, 'A', 60.0, 10.0), Record(1, 'A', 60.0, 10.0)};
  EXPECT_EQ(gps::BuildMapTrack(far, 5)->mapType, 5);
}

TEST(GpsPresentationTest, ChinaBoxEdgesAreInside) {
  EXPECT_TRUE(gps::InChinaBox({4.8293, 73.004}));
  EXPECT_TRUE(gps::InChinaBox({53.8271, 135.0}));
  EXPECT_FALSE(gps::InChinaBox({4.8292, 100.0}));
  EXPECT_FALSE(gps::InChinaBox({30.0, 135.0001}));
  EXPECT_FALSE(gps::InChinaBox({kNan, 100.0}));
}

TEST(GpsPresentationTest, ShortTracksAndChartSamples) {
  EXPECT_FALSE(gps::BuildMapTrack({}, 1).has_value());
  const std::vector<GpsRecord> one = {Record(0, 'A')};
  EXPECT_FALSE(gps::BuildMapTrack(one, 1).has_value());

  const std::vector<GpsRecord> records = {Record(0, 'V'), Record(1, 'V'), Record(2, 'A')};
  const auto track = gps::BuildMapTrack(records, 1);
  ASSERT_TRUE(track.has_value());
  EXPECT_EQ(track->points, "V,V;V,V;114.000000000000000,22.500000000000000;");
  ASSERT_EQ(track->gsensor.size(), 3u);
  EXPECT_EQ(track->gsensor[2].x, 2);
  EXPECT_EQ(track->gsensor[2].y, -2);
  EXPECT_EQ(track->gsensor[2].z, 1000);
}

TEST(GpsPresentationTest, ScriptCalls) {
  EXPECT_EQ(gps::SetPosScript(12), "setpos(12)");
  EXPECT_EQ(gps::SetStartPosScript(0), "setstartpos(0)");
}

}  // namespace
