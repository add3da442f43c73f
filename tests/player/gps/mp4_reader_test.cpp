// The MP4 side of the GPS reader on hand-made files: which source wins, the
// block conversion, 64-bit sizes and offsets, and malformed boxes.

#include <gtest/gtest.h>

#include <cmath>

#include "gps/gps_reader.h"
#include "gps/mp4_box_reader.h"
#include "gps_fixtures.h"

using namespace gpsfixture;
using gps::GpsRecord;

namespace {

std::vector<GpsRecord> ReadMp4(const std::string& bytes) {
  return gps::ReadMp4Records(Source(bytes), gps::QuietTrace);
}

// A file with a 'gps ' index of `blocks` and a subtitle track of `records`.
std::string BoxAndSubtitleFile(const std::vector<BlockFix>& blocks, const std::vector<GpsRecord>& records) {
  Mp4File file;
  std::vector<uint32_t> blockOffsets, chunkOffsets;
  for (const BlockFix& b : blocks) blockOffsets.push_back(file.AddData(GpsBlock(b)));
  for (const GpsRecord& r : records) chunkOffsets.push_back(file.AddData(RecordBytes(r)));
  std::string moov = Box("mvhd", std::string(100, '\0'));
  if (!blocks.empty()) moov += GpsIndex(blockOffsets);
  return file.Finish(moov + Track("sbtl", Stco(chunkOffsets)));
}

TEST(Mp4ReaderTest, GpsIndexBeatsTheSubtitleTrack) {
  const std::vector<GpsRecord> subtitles = {Record(0, 'A'), Record(1, 'A')};
  std::vector<BlockFix> blocks(3);
  for (int i = 0; i < 3; ++i) blocks[i].second = 10 + i;
  const std::vector<GpsRecord> records = ReadMp4(BoxAndSubtitleFile(blocks, subtitles));
  ASSERT_EQ(records.size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(records[i].second, 10 + i);

  const std::vector<GpsRecord> fromSubtitles = ReadMp4(BoxAndSubtitleFile({}, subtitles));
  ASSERT_EQ(fromSubtitles.size(), 2u);
  EXPECT_EQ(std::memcmp(&fromSubtitles[1], &subtitles[1], sizeof(GpsRecord)), 0);
}

TEST(Mp4ReaderTest, BlockConversionUnpacksDegreesAndKnots) {
  BlockFix fix;
  fix.latitude = 530.25f, fix.longitude = 930.0f, fix.knots = 10;
  fix.year = 24, fix.month = 6, fix.day = 15, fix.hour = 10, fix.minute = 30, fix.second = 7;
  const std::string block = GpsBlock(fix);
  const GpsRecord r = gps::ConvertGpsBlock(reinterpret_cast<const uint8_t*>(block.data()) + 44, 0, gps::QuietTrace);
  EXPECT_EQ(r.latitude, double(float(5 + 0.3025L * 100 / 60)));
  EXPECT_NEAR(r.latitude, 5.5041666, 1e-6);
  EXPECT_EQ(r.longitude, 9.5);
  EXPECT_NEAR(r.speed, 18.52 / 3.6, 1e-6);
  EXPECT_EQ(r.Status, 'A');
  EXPECT_EQ(r.nsInd, 'N');
  EXPECT_EQ(r.ewInd, 'E');
  EXPECT_EQ(r.heading, 0);
  EXPECT_EQ(r.gx | r.gy | r.gz, 0);
  EXPECT_EQ(r.year * 10000 + r.month * 100 + r.day, 240615);
  EXPECT_EQ(r.hour * 3600 + r.minute * 60 + r.second, 10 * 3600 + 30 * 60 + 7);
}

TEST(Mp4ReaderTest, BlockIndicatorsBecomeTheirCanonicalLetters) {
  struct Case {
    char status, ns, ew;
    char wantStatus, wantNs, wantEw;
  };
  const Case cases[] = {
      {'A', 'N', 'E', 'A', 'N', 'E'},
      {'a', 'n', 'e', 'V', 'S', 'W'},  // only the exact upper-case letters count
      {'V', 'S', 'W', 'V', 'S', 'W'},
      {'\0', '\0', '\0', 'V', 'S', 'W'},
  };
  for (const Case& c : cases) {
    BlockFix fix;
    fix.status = c.status, fix.ns = c.ns, fix.ew = c.ew;
    const std::string block = GpsBlock(fix);
    const GpsRecord r = gps::ConvertGpsBlock(reinterpret_cast<const uint8_t*>(block.data()) + 44, 0, gps::QuietTrace);
    EXPECT_EQ(r.Status, c.wantStatus) << int(c.status);
    EXPECT_EQ(r.nsInd, c.wantNs) << int(c.ns);
    EXPECT_EQ(r.ewInd, c.wantEw) << int(c.ew);
  }
}

TEST(Mp4ReaderTest, FirstSubtitleTrackInFileOrderIsRead) {
  Mp4File file;
  const uint32_t video = file.AddData(RecordBytes(Record(99, 'A')));
  const uint32_t first = file.AddData(RecordBytes(Record(1, 'A')));
  const uint32_t second = file.AddData(RecordBytes(Record(2, 'A')));
  const std::string bytes = file.Finish(Track("vide", Stco({video})) + Track("sbtl", Stco({first, first})) +
                                        Track("sbtl", Stco({second})));
  const std::vector<GpsRecord> records = ReadMp4(bytes);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].second, 1);
  EXPECT_EQ(records[1].second, 1);
}

TEST(Mp4ReaderTest, SixtyFourBitSizesAndChunkOffsetsAreRead) {
  Mp4File file;
  const uint32_t a = file.AddData(RecordBytes(Record(4, 'A')));
  const uint32_t b = file.AddData(RecordBytes(Record(5, 'V')));
  std::string bytes = file.Finish("");
  bytes.resize(bytes.size() - 8);  // drop the empty 'moov'
  bytes += Box64("moov", Box64("trak", Box("mdia", Hdlr("sbtl") + Box("minf", Box("stbl", Co64({a, b}))))));
  const std::vector<GpsRecord> records = ReadMp4(bytes);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].second, 4);
  EXPECT_EQ(records[1].Status, 'V');

  // A chunk offset beyond 4 GiB is kept whole (and reads nothing here).
  const gps::Mp4GpsLayout layout =
      gps::WalkMp4(Source(Box("moov", Track("sbtl", Co64({uint64_t(1) << 33})))), gps::QuietTrace);
  ASSERT_EQ(layout.tracks.size(), 1u);
  EXPECT_EQ(layout.tracks[0].chunkOffsets, std::vector<uint64_t>{uint64_t(1) << 33});
}

TEST(Mp4ReaderTest, IndexIsReadUpToWhatTheBoxHolds) {
  Mp4File file;
  const uint32_t block = file.AddData(GpsBlock(BlockFix{}));
  // Longer than the 500 entries the camera writes at most: all are read.
  const std::vector<GpsRecord> many = ReadMp4(file.Finish(GpsIndex(std::vector<uint32_t>(600, block))));
  EXPECT_EQ(many.size(), 600u);
  EXPECT_EQ(many.back().Status, 'A');

  // A count past the end of the box: only the entries present.
  const std::vector<GpsRecord> claimed = ReadMp4(file.Finish(GpsIndex({block, block, block}, 0xFFFFFFFF)));
  EXPECT_EQ(claimed.size(), 3u);
  const gps::Mp4GpsLayout layout =
      gps::WalkMp4(Source(file.Finish(GpsIndex({block}, 1000000))), gps::QuietTrace);
  EXPECT_EQ(layout.gps_sum_number, 1000000u);
  EXPECT_EQ(layout.gps_box.size(), 1u);
}

TEST(Mp4ReaderTest, UnreadableBlocksAndChunksLeaveZeroRecords) {
  Mp4File file;
  const uint32_t block = file.AddData(GpsBlock(BlockFix{}));
  std::vector<GpsRecord> records = ReadMp4(file.Finish(GpsIndex({block, 0xFFFFFF00})));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Status, 'A');
  EXPECT_EQ(records[1].Status, '\0');

  records = ReadMp4(file.Finish(Track("sbtl", Stco({0xFFFFFF00, block}))));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].Status, '\0');
}

// Every malformed layout ends its walk cleanly; what came before the fault
// is kept.
TEST(Mp4ReaderTest, MalformedBoxesEndTheWalkOfTheirContainer) {
  const std::string track = Track("sbtl", Stco({0}));
  struct Case {
    const char* name;
    std::string bytes;
    size_t tracks;
  };
  const Case cases[] = {
      {"well formed", Box("moov", track + track), 2},
      {"child size below 8", Box("moov", track + Box("junk", "", 4) + track), 1},
      {"child size 0", Box("moov", track + Box("junk", "", 0) + track), 1},
      {"child past its container", Box("moov", track + Box("junk", "", 0x7FFFFFFF) + track), 1},
      {"track running past 'moov' is not entered", Box("moov", "", 16) + track, 0},  // covers the trak header only
      {"sizes do not add up", Box("moov", track + track + "abc"), 2},
      {"track child past its container", Box("moov", Box("trak", Box("mdia", Hdlr("sbtl") + Box("minf", "", 400)))), 1},
      {"64-bit child size below 16", Box("moov", track + U32(1) + "junk" + U64(12) + track), 1},
      {"64-bit size that wraps the offset", Box("moov", track) + U32(1) + "junk" + U64(~uint64_t(0) - 7) +
                                                 Box("moov", track), 1},
      {"top-level size below 8", Box("free", "", 3) + Box("moov", track), 0},
      {"top-level size 0 runs to the end", Box("moov", track + track, 0), 2},
      {"junk of size 0 hides what follows", Box("free", "", 0) + Box("moov", track), 0},
      {"moov cut short inside its second track", Box("moov", track + track).substr(0, 8 + track.size() + 20), 2},
      {"header cut short", Box("moov", track) + "\0\0", 1},
      {"moov runs past the end", Box("moov", track, 0x7FFFFFFF), 1},
      {"empty file", "", 0},
  };
  for (const Case& c : cases) {
    const gps::Mp4GpsLayout layout = gps::WalkMp4(Source(c.bytes), gps::QuietTrace);
    EXPECT_EQ(layout.tracks.size(), c.tracks) << c.name;
  }
}

TEST(Mp4ReaderTest, MissingHandlerOrOffsetsMeanAnEmptyTrack) {
  const std::string noHandler = Box("trak", Box("mdia", Box("minf", Box("stbl", Stco({1, 2})))));
  const std::string noOffsets = Box("trak", Box("mdia", Hdlr("sbtl")));
  const std::string shortHandler = Box("trak", Box("mdia", Box("hdlr", "abc")));
  const gps::Mp4GpsLayout layout =
      gps::WalkMp4(Source(Box("moov", noHandler + noOffsets + shortHandler)), gps::QuietTrace);
  ASSERT_EQ(layout.tracks.size(), 3u);
  EXPECT_EQ(layout.tracks[0].handlerType, "");
  EXPECT_EQ(layout.tracks[0].chunkCount(), 2u);
  EXPECT_EQ(layout.tracks[1].handlerType, "sbtl");
  EXPECT_EQ(layout.tracks[1].chunkCount(), 0u);
  EXPECT_EQ(layout.tracks[2].handlerType, "");
  EXPECT_TRUE(ReadMp4(Box("moov", noOffsets)).empty());
}

TEST(Mp4ReaderTest, BoxesOutsideTheirPlaceAreNotRead) {
  // A 'gps ' index outside 'moov', and track boxes outside 'trak'.
  Mp4File file;
  const uint32_t block = file.AddData(GpsBlock(BlockFix{}));
  const std::string stray = GpsIndex({block}) + Box("moov", Box("mdia", Hdlr("sbtl")) + Stco({block}));
  const gps::Mp4GpsLayout layout = gps::WalkMp4(Source(stray), gps::QuietTrace);
  EXPECT_TRUE(layout.gps_box.empty());
  EXPECT_TRUE(layout.tracks.empty());
}

}  // namespace
