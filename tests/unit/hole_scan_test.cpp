#include "engine/reading/hole_scan.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

using testing::MemoryHost;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDark = 0x202020;

// A state whose outline is already known: centre (100, 100), ring from 20 to 80 pixels.
struct FillFixture {
  MemoryHost host;
  ScanState state;
  FillQueue queue;

  FillFixture() {
    state.WorkBitmap.Resize(200, 200, kDark);
    state.CenterX = 100.0;
    state.CenterY = 100.0;
    state.ScanRadius = 80.0;
    state.PixelsPerMm = 2.0;  // inner radius 10 mm = 20 pixels
    state.MmPerPixel = 0.5;
  }
  void Bright(int32_t x, int32_t y, uint32_t colour = kWhite) {
    state.WorkBitmap.SetPixel(x, y, colour);
  }
  void BrightRect(int32_t x0, int32_t y0, int32_t w, int32_t h) {
    for (int32_t y = y0; y < y0 + h; ++y)
      for (int32_t x = x0; x < x0 + w; ++x) Bright(x, y);
  }
  bool Fill(int32_t x, int32_t y) { return FillHole(state, host, queue, x, y); }
};

TEST(FillHoleTest, PlusShapeIsTakenInQueueOrder) {
  FillFixture f;
  const int32_t x = 150, y = 100;
  for (const PixelPoint& p : {PixelPoint{x, y}, {x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}}) {
    f.Bright(p.x, p.y);
  }
  f.host.settings.minimum = 1;
  EXPECT_TRUE(f.Fill(x, y));
  ASSERT_EQ(f.state.HolePixelCount, 5);
  const PixelPoint expected[] = {{x, y}, {x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(f.state.HolePixels[i + 1], expected[i]) << i;
  EXPECT_EQ(f.queue.size(), 5u);
  for (const PixelPoint& p : expected) EXPECT_EQ(f.state.WorkBitmap.Pixel(p.x, p.y), kGreen);
}

TEST(FillHoleTest, RedByteMustExceedTheThreshold) {
  FillFixture f;
  f.Bright(150, 100, 0x000064);  // red 100 = T: not bright
  f.Bright(151, 100, 0x000065);
  f.Bright(152, 100, 0x00FF00);  // green is never bright
  f.host.settings.minimum = 0;
  f.Fill(150, 100);
  EXPECT_EQ(f.state.HolePixelCount, 0);
  f.Fill(151, 100);
  EXPECT_EQ(f.state.HolePixelCount, 1);
}

TEST(FillHoleTest, RingBordersAreExclusive) {
  FillFixture f;
  f.host.settings.minimum = 0;
  // Exactly at ScanRadius (80) and exactly at the inner radius (20): not taken.
  f.Bright(180, 100);
  f.Bright(120, 100);
  f.Bright(179, 100);
  f.Bright(121, 100);
  f.Fill(180, 100);
  EXPECT_EQ(f.state.HolePixelCount, 0);
  EXPECT_EQ(f.state.WorkBitmap.Pixel(180, 100), kWhite);
  f.Fill(120, 100);
  EXPECT_EQ(f.state.HolePixelCount, 0);
  f.Fill(179, 100);
  EXPECT_EQ(f.state.HolePixelCount, 1);
  f.Fill(121, 100);
  EXPECT_EQ(f.state.HolePixelCount, 1);
}

TEST(FillHoleTest, MinimumAndMaximumAreInclusive) {
  FillFixture f;
  f.host.settings.minimum = 12;
  f.host.settings.maximum = 20;
  f.BrightRect(140, 90, 4, 3);   // 12 pixels
  f.BrightRect(140, 110, 5, 4);  // 20 pixels
  f.BrightRect(140, 130, 7, 3);  // 21 pixels
  f.BrightRect(140, 70, 11, 1);  // 11 pixels
  EXPECT_TRUE(f.Fill(140, 90));
  EXPECT_TRUE(f.Fill(140, 110));
  EXPECT_FALSE(f.Fill(140, 130));
  EXPECT_FALSE(f.Fill(140, 70));
  EXPECT_EQ(f.state.WorkBitmap.Pixel(146, 132), kGreen);  // rejected patches are painted too
  EXPECT_EQ(f.state.Rejected.tooLarge, 1);
  EXPECT_EQ(f.state.Rejected.largest, 21);
  EXPECT_EQ(f.state.Rejected.tooSmall, 1);
  f.Fill(100, 100);  // the centre: takes nothing, and is no patch at all
  EXPECT_EQ(f.state.Rejected.tooSmall, 1);
}

TEST(FillHoleTest, PixelsBeyondFiveHundredAreLoggedAndOverwriteTheLastSlot) {
  FillFixture f;
  f.host.settings.maximum = 900;
  f.BrightRect(121, 130, 20, 25);  // 500 pixels
  f.Bright(141, 130);
  f.Bright(141, 131);  // 502
  EXPECT_TRUE(f.Fill(121, 130));
  EXPECT_EQ(f.state.HolePixelCount, 500);
  EXPECT_EQ(f.host.logLines, (std::vector<std::string>(2, "ERROR: too many pixels in disk hole")));
  f.host.settings.maximum = 499;
  f.state.WorkBitmap.Resize(200, 200, kDark);
  f.BrightRect(121, 130, 20, 25);
  f.Bright(141, 130);
  EXPECT_FALSE(f.Fill(121, 130));  // counted as 500, above the maximum
}

TEST(FillHoleTest, ASeedOutsideTheRingTakesNothing) {
  FillFixture f;
  f.host.settings.minimum = 0;
  f.Bright(100, 100);             // the centre
  EXPECT_TRUE(f.Fill(100, 100));  // accepted with Minimum 0, but takes no pixel
  EXPECT_EQ(f.state.HolePixelCount, 0);
  EXPECT_EQ(f.state.WorkBitmap.Pixel(100, 100), kWhite);
}

TEST(FillHoleTest, PixelsOutsideThePictureAreNeverTaken) {
  FillFixture f;
  f.state.CenterX = 0.0;
  f.state.CenterY = 100.0;
  f.Bright(0, 150);
  f.Bright(0, 151);
  f.host.settings.minimum = 0;
  f.Fill(0, 150);
  EXPECT_EQ(f.state.HolePixelCount, 2);
}

TEST(WalkedRowsTest, ColumnStretchesFollowTheChordRoundedToEven) {
  // The worked-example outline: dx = 400, dy = 441, centre (240.0, 240.5).
  ScanState state;
  state.EdgeLeft = {40, 250};
  state.EdgeRight = {440, 245};
  state.EdgeTop = {238, 20};
  state.EdgeBottom = {242, 461};
  state.CenterX = 240.0;
  state.CenterY = 240.5;
  struct Case {
    int32_t column, first, last;
  };
  // 30.5 and 450.5 go to their even neighbours.
  for (const Case& c : {Case{240, 30, 450}, Case{100, 84, 397}, Case{40, 176, 305}}) {
    const WalkedStretch rows = WalkedRows(state, c.column);
    EXPECT_EQ(rows.first, c.first) << c.column;
    EXPECT_EQ(rows.last, c.last) << c.column;
  }
  // A column farther from the centre than the radius takes the root of |b - a|: 290 columns
  // out, |44100 - 84100| gives 200, and rows 40.5 and 440.5 round to 40 and 440.
  const WalkedStretch beyond = WalkedRows(state, 240 + 290);
  EXPECT_EQ(beyond.first, 40);
  EXPECT_EQ(beyond.last, 440);
}

TEST(ScanDiscTest, RejectedAndAcceptedPatchesAreFilledOnceAndMarked) {
  Raster picture;
  picture.Resize(300, 300, kWhite);
  // A dark disc of radius 120 around (150, 150) with two holes inside the ring.
  for (int32_t y = 0; y < 300; ++y)
    for (int32_t x = 0; x < 300; ++x)
      if ((x - 150) * (x - 150) + (y - 150) * (y - 150) <= 120 * 120) picture.SetPixel(x, y, kDark);
  for (int32_t x = 200; x < 206; ++x)
    for (int32_t y = 148; y < 150; ++y) picture.SetPixel(x, y, kWhite);  // 12 pixels
  for (int32_t x = 150; x < 153; ++x) picture.SetPixel(x, 60, kWhite);   // 3 pixels: too small
  MemoryHost host(picture);
  ScanState state;
  state.NoteCount = 7;  // left from an earlier run
  ScanDisc(state, host);
  EXPECT_EQ(state.NoteCount, 1);
  EXPECT_EQ(host.display.Pixel(151, 60), kGreen);
  EXPECT_EQ(host.display.Pixel(203, 149), kGreen);
  EXPECT_EQ(host.messages.back(), "# Music Notes = 1");
  EXPECT_TRUE(state.WorkBitmap.pixels.empty());  // freed at the end of the scan
  EXPECT_EQ(host.bitmapsShown, 2);
}

TEST(ScanDiscTest, ThresholdOf255FindsNoHole) {
  Raster picture;
  picture.Resize(100, 100, kDark);
  picture.SetPixel(70, 50, kWhite);
  MemoryHost host(picture);
  host.settings.threshold = 255;
  host.settings.minimum = 0;
  ScanState state;
  ScanDisc(state, host);
  EXPECT_EQ(state.NoteCount, 0);
  EXPECT_EQ(host.fillsRun, 0);
}

}  // namespace
}  // namespace tivenor
