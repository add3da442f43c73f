// The file side of the GPS reader: sidecar paths and files, transport
// streams, the order of the sources, and the track the controller holds.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdarg>
#include <filesystem>

#include "gps/gps_reader.h"
#include "gps/gps_track.h"
#include "gps_fixtures.h"

using namespace gpsfixture;
using gps::GpsRecord;
using gps::GpsTrack;

namespace {

std::string g_traced;
void RecordTrace(const char* format, ...) {
  char line[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(line, sizeof(line), format, args);
  va_end(args);
  g_traced += line;
  g_traced += '\n';
}

std::string RecordsBytes(int count, char status = 'A') {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += RecordBytes(Record(i, status));
  return bytes;
}

// An MP4 whose own 'gps ' index holds 3 blocks.
std::string Mp4WithThreeBlocks() {
  Mp4File file;
  std::vector<uint32_t> offsets;
  for (int i = 0; i < 3; ++i) offsets.push_back(file.AddData(GpsBlock(BlockFix{})));
  return file.Finish(GpsIndex(offsets));
}

TEST(GpsReaderTest, SidecarPaths) {
  const std::pair<const char*, const char*> cases[] = {
      {"/rec/MOVA/x.MP4", "/rec/MOVG/x.gps"},
      {"DCIMA/20240615_103000.MP4", "DCIMG/20240615_103000.gps"},
      {"/rec/MOVA/x.ts", "/rec/MOVG/x.gps"},      // a two-letter extension
      {"/rec/MOVA/x.mpeg4", "/rec/MOVG/x.gps"},   // a long one is replaced whole
      {"/rec/d.A/name", "/rec/d.G/name.gps"},     // no extension: the folder's dot stays
      {"/rec/MOVa/x.MP4", ""},                    // lower-case 'a'
      {"/rec/MOVB/x.MP4", ""},
      {"x.MP4", ""},                              // no folder
      {"/x.MP4", ""},                             // the root folder has no name
  };
  for (const auto& [recording, sidecar] : cases) EXPECT_EQ(gps::MakeSidecarPath(recording), sidecar) << recording;
}

TEST(GpsReaderTest, TransportStreamPaths) {
  for (const char* path : {"a.ts", "a.TS", "/x/a.tS", ".ts"}) EXPECT_TRUE(gps::IsTransportStreamPath(path)) << path;
  for (const char* path : {"a.mts", "a.ts.mp4", "ts", "a_ts", ""}) EXPECT_FALSE(gps::IsTransportStreamPath(path)) << path;
}

// A sidecar of at least one whole record wins over the recording's own box.
TEST(GpsReaderTest, SidecarSizesDecideWhetherItIsUsed) {
  const std::pair<size_t, uint32_t> cases[] = {{600, 5}, {250, 2}, {120, 1}, {100, 3}, {0, 3}};
  for (const auto& [sidecarBytes, expected] : cases) {
    TempFolder folder("gps_sidecar");
    WriteFile(folder.File("DCIMA/rec.MP4"), Mp4WithThreeBlocks());
    WriteFile(folder.File("DCIMG/rec.gps"), RecordsBytes(5, 'V').substr(0, sidecarBytes));
    GpsTrack track;
    EXPECT_EQ(track.LoadGpsTrack(folder.File("DCIMA/rec.MP4"), gps::QuietTrace), 1);
    EXPECT_EQ(track.count(), expected) << sidecarBytes << " bytes";
    // The blocks have a fix; the sidecar records do not.
    EXPECT_EQ(track.hasFix(), expected == 3) << sidecarBytes << " bytes";
  }
}

TEST(GpsReaderTest, LowerCaseFolderHasNoSidecar) {
  TempFolder folder("gps_lower");
  WriteFile(folder.File("DCIMa/rec.MP4"), Mp4WithThreeBlocks());
  WriteFile(folder.File("DCIMG/rec.gps"), RecordsBytes(5));
  GpsTrack track;
  track.LoadGpsTrack(folder.File("DCIMa/rec.MP4"), gps::QuietTrace);
  EXPECT_EQ(track.count(), 3u);
}

TEST(GpsReaderTest, SidecarKeepsLowerCaseStatusWithoutSettingTheFix) {
  TempFolder folder("gps_status");
  WriteFile(folder.File("A/rec.MP4"), "");
  WriteFile(folder.File("G/rec.gps"), RecordsBytes(2, 'a'));
  GpsTrack track;
  track.LoadGpsTrack(folder.File("A/rec.MP4"), gps::QuietTrace);
  ASSERT_EQ(track.count(), 2u);
  EXPECT_EQ(track.data()[1].Status, 'a');
  EXPECT_FALSE(track.hasFix());

  WriteFile(folder.File("G/rec.gps"), RecordsBytes(2, 'a') + RecordsBytes(1, 'A'));
  track.LoadGpsTrack(folder.File("A/rec.MP4"), gps::QuietTrace);
  EXPECT_TRUE(track.hasFix());
}

// Filler packets, then the GPS packets at the given packet numbers.
std::string TransportStream(size_t packets, const std::vector<size_t>& gpsAt) {
  std::string bytes;
  std::vector<GpsRecord> records;
  for (size_t i = 0; i < packets; ++i) {
    const GpsRecord record = Record(int(i), 'A');
    const bool gps = std::find(gpsAt.begin(), gpsAt.end(), i) != gpsAt.end();
    bytes += TsPacket(gps ? &record : nullptr);
  }
  return bytes;
}

TEST(GpsReaderTest, TransportStreamFindsGpsOnlyAmongTheFirst21Packets) {
  struct Case {
    std::vector<size_t> gpsAt;
    std::vector<int> expected;  // packet numbers found
  };
  // 1,200 packets span several buffered reads.
  const Case cases[] = {
      {{20, 700, 1199}, {20, 700, 1199}},
      {{21, 700}, {}},
      {{0, 511, 512, 513}, {0, 511, 512, 513}},
      {{}, {}},
  };
  for (const Case& c : cases) {
    const std::string bytes = TransportStream(1200, c.gpsAt);
    const std::vector<GpsRecord> records = gps::ScanTransportStream(Source(bytes), gps::QuietTrace);
    std::vector<int> found;
    for (const GpsRecord& r : records) found.push_back(r.second);
    EXPECT_EQ(found, c.expected) << (c.gpsAt.empty() ? 0 : c.gpsAt[0]);
  }
}

TEST(GpsReaderTest, TransportStreamKeepsACutPacketOnlyWithItsWholeRecord) {
  const std::string stream = TransportStream(3, {0, 2});
  EXPECT_EQ(gps::ScanTransportStream(Source(stream.substr(0, 2 * 188 + 138)), gps::QuietTrace).size(), 2u);
  EXPECT_EQ(gps::ScanTransportStream(Source(stream.substr(0, 2 * 188 + 137)), gps::QuietTrace).size(), 1u);
}

TEST(GpsReaderTest, TsPathInAnyCaseIsScannedAndTraced) {
  TempFolder folder("gps_ts");
  const std::string stream = TransportStream(30, {3, 25});
  WriteFile(folder.File("rec.TS"), stream);
  WriteFile(folder.File("rec.mp4"), stream);
  g_traced.clear();
  GpsTrack track;
  track.LoadGpsTrack(folder.File("rec.TS"), RecordTrace);
  EXPECT_EQ(track.count(), 2u);
  EXPECT_TRUE(track.hasFix());
  EXPECT_NE(g_traced.find("Get GPS " + folder.File("rec.TS")), std::string::npos) << g_traced;
  EXPECT_NE(g_traced.find("nIndex = 25\n"), std::string::npos) << g_traced;
  // The same bytes under another name are walked as an MP4 and hold nothing.
  track.LoadGpsTrack(folder.File("rec.mp4"), gps::QuietTrace);
  EXPECT_EQ(track.count(), 0u);
}

TEST(GpsReaderTest, UnopenableRecordingGivesZeroAndAnEmptyTrack) {
  TempFolder folder("gps_missing");
  GpsTrack track;
  track.SetRecords({Record(0, 'A')});
  for (const std::string& path : {folder.File("none.mp4"), folder.File("none.ts"), folder.File("")}) {
    g_traced.clear();
    EXPECT_EQ(track.LoadGpsTrack(path, RecordTrace), 0) << path;
    EXPECT_EQ(track.count(), 0u);
    EXPECT_FALSE(track.hasFix());
    EXPECT_NE(g_traced.find("failed to open\n"), std::string::npos) << g_traced;
  }
}

// A named pipe in place of the recording or its sidecar is not a file: the
// reader must neither wait for a writer nor take it for one.
TEST(GpsReaderTest, NamedPipesAreNotOpened) {
  TempFolder folder("gps_fifo");
  std::filesystem::create_directories(folder.File("A"));
  std::filesystem::create_directories(folder.File("G"));
  ASSERT_EQ(mkfifo(folder.File("A/pipe.mp4").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo(folder.File("G/rec.gps").c_str(), 0600), 0);
  WriteFile(folder.File("A/rec.MP4"), Mp4WithThreeBlocks());
  GpsTrack track;
  EXPECT_EQ(track.LoadGpsTrack(folder.File("A/pipe.mp4"), gps::QuietTrace), 0);
  EXPECT_EQ(track.LoadGpsTrack(folder.File("A/rec.MP4"), gps::QuietTrace), 1);
  EXPECT_EQ(track.count(), 3u);
}

TEST(GpsReaderTest, Mp4ReadIsTraced) {
  TempFolder folder("gps_trace");
  WriteFile(folder.File("rec.mp4"), Mp4WithThreeBlocks());
  g_traced.clear();
  GpsTrack track;
  track.LoadGpsTrack(folder.File("rec.mp4"), RecordTrace);
  for (const char* line : {"gps_box.gps_sum_number = 3", "index=2", "24-6-15 10:30:0", "status=65", "------------dwLat="}) {
    EXPECT_NE(g_traced.find(line), std::string::npos) << line << "\n" << g_traced;
  }
  g_traced.clear();
  WriteFile(folder.File("rec.mp4"), Box("moov", ""));
  track.LoadGpsTrack(folder.File("rec.mp4"), RecordTrace);
  EXPECT_NE(g_traced.find("Begin do morvane gps read *************"), std::string::npos) << g_traced;
}

TEST(GpsReaderTest, GetGpsRecordStopsAtTheCount) {
  GpsTrack track;
  track.SetRecords({Record(0, 'A'), Record(1, 'V')});
  GpsRecord out = Record(42, 'V');
  EXPECT_EQ(track.GetGpsRecord(2, &out), gps::kGpsRecordOutOfRange);
  EXPECT_EQ(track.GetGpsRecord(0xFFFFFFFF, &out), 618);
  EXPECT_EQ(out.second, 42);  // untouched
  EXPECT_EQ(track.GetGpsRecord(1, &out), 0);
  EXPECT_EQ(out.second, 1);
  track.Clear();
  EXPECT_EQ(track.GetGpsRecord(0, &out), 618);
}

}  // namespace
