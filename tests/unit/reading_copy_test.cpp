#include "engine/fitting/reading_copy.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/base/box_reduction.h"
#include "engine/fitting/reading_host.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

Raster Picture(int32_t width, int32_t height) {
  Raster picture;
  picture.Resize(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x)
      picture.SetPixel(x, y, static_cast<uint32_t>((x * 10 + y) & 0xFF) * 0x010101u);
  }
  return picture;
}

TEST(ReadingCopy, ReadsAsItIsWithoutAPlan) {
  EXPECT_FALSE(ReadingCopy().Active());
  EXPECT_EQ(ReadingCopy().ToPicture({7, 9}), (PixelPoint{7, 9}));
}

TEST(ReadingCopy, EachBlockBecomesItsMean) {
  ReadingPlan plan;
  plan.scale = 2;
  const ReadingCopy reading(plan);
  ASSERT_TRUE(reading.Active());
  Raster picture;
  picture.Resize(5, 3, 0);  // the odd column and row are left out
  picture.SetPixel(0, 0, 0x00102030);
  picture.SetPixel(1, 0, 0x00102030);
  picture.SetPixel(0, 1, 0x00000000);
  picture.SetPixel(1, 1, 0x00FFFFFF);
  Raster copy;
  reading.Read(picture, copy);
  ASSERT_EQ(copy.width, 2);
  ASSERT_EQ(copy.height, 1);
  // Per channel: red (0x30 + 0x30 + 0 + 0xFF) / 4 = 87.75, green 79.75, blue 71.75, rounded.
  EXPECT_EQ(copy.Pixel(0, 0), 0x00485058u);
  EXPECT_EQ(copy.Pixel(1, 0), 0u);
  EXPECT_EQ(reading.ToPicture({1, 0}), (PixelPoint{3, 1}));
}

TEST(ReadingCopy, ClearsOutsideTheDisc) {
  ReadingPlan plan;
  plan.clearOutside = true;
  plan.clearCircle = {10.0, 10.0, 5.0};
  plan.lightColour = 0x00C0C0C0;
  Raster picture;
  picture.Resize(21, 21, 0x00202020);
  Raster copy;
  ReadingCopy(plan).Read(picture, copy);
  EXPECT_EQ(copy.Pixel(10, 10), 0x00202020u);
  EXPECT_EQ(copy.Pixel(15, 10), 0x00202020u);  // on the circle
  EXPECT_EQ(copy.Pixel(16, 10), 0x00C0C0C0u);
  EXPECT_EQ(copy.Pixel(14, 14), 0x00C0C0C0u);
  EXPECT_EQ(copy.Pixel(0, 0), 0x00C0C0C0u);
}

TEST(ReadingCopy, EvensOutTheLighting) {
  ReadingPlan plan;
  plan.evenLighting = true;
  plan.lighting.width = 100;
  plan.lighting.height = 1;
  plan.lighting.coefficients = {50.0, 150.0, 0, 0, 0, 0};  // 50 at the left, 200 at the right
  plan.lightingTarget = 200.0;
  Raster picture;
  picture.Resize(101, 1, 0);
  picture.SetPixel(0, 0, 0x00323232);    // 50: light at the dark side
  picture.SetPixel(100, 0, 0x00C8C8C8);  // 200: light at the bright side
  picture.SetPixel(50, 0, 0x000A0A0A);   // dark in the middle (light 125)
  Raster copy;
  ReadingCopy(plan).Read(picture, copy);
  EXPECT_EQ(copy.Pixel(0, 0), 0x00C8C8C8u);
  EXPECT_EQ(copy.Pixel(100, 0), 0x00C8C8C8u);
  EXPECT_EQ(copy.Pixel(50, 0), 0x00101010u);
}

// A picture pixel of a mark's colour would be taken for a mark on the way back.
TEST(ReadingCopy, PicturePixelsNeverLookLikeMarks) {
  ReadingPlan plan;
  plan.scale = 1;
  plan.clearOutside = true;
  plan.clearCircle = {1.0, 0.0, 100.0};
  Raster picture;
  picture.Resize(4, 1, 0);
  picture.SetPixel(0, 0, kRed);
  picture.SetPixel(1, 0, kGreen);
  picture.SetPixel(2, 0, kBlue);
  picture.SetPixel(3, 0, kYellow);
  Raster copy;
  ReadingCopy(plan).Read(picture, copy);
  for (int32_t x = 0; x < 4; ++x) {
    const uint32_t pixel = copy.Pixel(x, 0);
    EXPECT_NE(pixel, picture.Pixel(x, 0));
    EXPECT_EQ(pixel & 0xFFu, picture.Pixel(x, 0) & 0xFFu) << "the red byte decides brightness";
  }
}

TEST(ReadingCopy, MarksCoverTheirBlocksOnThePicture) {
  ReadingPlan plan;
  plan.scale = 3;
  const ReadingCopy reading(plan);
  const Raster original = Picture(9, 6);
  Raster copy;
  reading.Read(original, copy);
  copy.SetPixel(1, 0, kGreen);
  copy.SetPixel(2, 1, kBlue);
  Raster picture = original;
  reading.ProjectMarks(copy, picture);
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 9; ++x) {
      const uint32_t expected = (x / 3 == 1 && y / 3 == 0)   ? kGreen
                                : (x / 3 == 2 && y / 3 == 1) ? kBlue
                                                             : original.Pixel(x, y);
      EXPECT_EQ(picture.Pixel(x, y), expected) << x << "," << y;
    }
  }
}

Raster Reduced(const Raster& picture, int factor) {
  Raster reduced;
  BoxReduction reduction(picture.width, picture.height, factor, reduced);
  for (int32_t y = 0; y < picture.height; ++y)
    reduction.AddRow(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
  return reduced;
}

struct Difference {
  double mean = 0.0;  // per channel
  int largest = 0;
  double shareAbove4 = 0.0;  // of channels
};

Difference Compare(const Raster& a, const Raster& b) {
  Difference difference;
  if (a.width != b.width || a.height != b.height) {
    ADD_FAILURE() << "sizes differ";
    return difference;
  }
  int64_t sum = 0, above = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = std::abs(static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                             static_cast<int>((b.pixels[i] >> shift) & 0xFF));
      sum += d;
      above += d > 4 ? 1 : 0;
      difference.largest = std::max(difference.largest, d);
    }
  }
  const auto channels = static_cast<double>(3 * a.pixels.size());
  difference.mean = static_cast<double>(sum) / channels;
  difference.shareAbove4 = static_cast<double>(above) / channels;
  return difference;
}

// A fine, unevenly lit scan of a disc, read at 1/3, and the plan the fit would make for it.
struct FineScan {
  Raster picture;
  ReadingPlan plan;
};

FineScan MakeFineScan() {
  testing::DiscOptions options = testing::RealSizeScan(90);
  options.darkCornerLight = 0.4;
  FineScan scan{testing::RenderDisc({}, options), {}};
  scan.plan.scale = 3;
  scan.plan.clearOutside = true;
  const double centre = 0.5 * (scan.picture.width - 1);
  scan.plan.clearCircle = {centre, centre, 0.4 * scan.picture.width};
  scan.plan.lightColour = 0x00DCE2E4;
  scan.plan.evenLighting = true;
  scan.plan.lighting.width = scan.picture.width;
  scan.plan.lighting.height = scan.picture.height;
  scan.plan.lighting.coefficients = {90.0, 70.0, 70.0, 0, 0, 0};
  scan.plan.lightingTarget = 228.0;
  return scan;
}

// A picture decoded at 1/2 gives the copy at 1/3 from its pixels, each counted for the file
// pixels it stands for: nearly the copy the whole picture gives, off only where a held pixel
// straddles an edge between two blocks of the copy.
TEST(ReadingCopy, APictureDecodedSmallerGivesNearlyTheCopyOfTheWhole) {
  const FineScan scan = MakeFineScan();
  Raster whole, fromHalf;
  ReadingCopy(scan.plan).Read(scan.picture, whole);
  ReadingPlan halfPlan = scan.plan;
  halfPlan.pictureReduction = 2;
  const Raster half = Reduced(scan.picture, 2);
  const ReadingCopy reading(halfPlan);
  EXPECT_EQ(reading.CopySide(half.width), whole.width);
  reading.Read(half, fromHalf);
  const Difference difference = Compare(fromHalf, whole);
  EXPECT_LT(difference.mean, 1.0);
  EXPECT_LT(difference.shareAbove4, 0.02);
}

// Where the held pixels tile the copy's blocks, only rounding twice tells the two apart.
TEST(ReadingCopy, HeldPixelsThatTileTheBlocksGiveTheSameCopy) {
  FineScan scan = MakeFineScan();
  scan.plan.scale = 4;
  scan.plan.evenLighting = false;
  scan.plan.clearOutside = false;
  Raster whole, fromHalf;
  ReadingCopy(scan.plan).Read(scan.picture, whole);
  ReadingPlan halfPlan = scan.plan;
  halfPlan.pictureReduction = 2;
  ReadingCopy(halfPlan).Read(Reduced(scan.picture, 2), fromHalf);
  EXPECT_LE(Compare(fromHalf, whole).largest, 1);
}

TEST(ReadingCopy, MarksAndLinesReachThePictureDecodedSmaller) {
  ReadingPlan plan;
  plan.scale = 3;
  plan.pictureReduction = 2;
  const ReadingCopy reading(plan);
  const Raster original = Picture(8, 6);  // 16 x 12 file pixels
  Raster copy;
  reading.Read(original, copy);
  ASSERT_EQ(copy.width, 5);
  ASSERT_EQ(copy.height, 4);
  copy.SetPixel(1, 0, kGreen);  // file pixels 3 to 5 across: held 1 and 2
  Raster picture = original;
  reading.ProjectMarks(copy, picture);
  for (int32_t y = 0; y < 6; ++y) {
    for (int32_t x = 0; x < 8; ++x) {
      const bool marked = (x == 1 || x == 2) && (y == 0 || y == 1);
      EXPECT_EQ(picture.Pixel(x, y), marked ? kGreen : original.Pixel(x, y)) << x << "," << y;
    }
  }
  // The middle of copy pixel 1 is file pixel 4.5, held pixel 2.25.
  EXPECT_EQ(reading.ToPicture({1, 1}), (PixelPoint{2, 2}));
  EXPECT_EQ(reading.ToPicture({0, 3}), (PixelPoint{0, 5}));
}

// The engine reads the smaller copy through the host; what it marks reaches the host's picture
// at full size, the start line too.
TEST(ReadingHost, EngineReadsTheCopyAndMarksThePicture) {
  testing::MemoryHost host(Picture(8, 8));
  ReadingPlan plan;
  plan.scale = 2;
  ReadingHost reading(host, ReadingCopy(plan));
  Raster work;
  reading.CopyDisplayedPicture(work);
  EXPECT_EQ(work.width, 4);
  EXPECT_EQ(work.height, 4);
  work.SetPixel(0, 0, kRed);
  reading.TakeBitmap(std::move(work));
  EXPECT_EQ(host.display.width, 8);
  EXPECT_EQ(host.display.Pixel(1, 1), kRed);
  EXPECT_EQ(host.display.Pixel(2, 2), host.picture.Pixel(2, 2));
  reading.DrawStartLine({1, 1}, {3, 1});
  ASSERT_EQ(host.startLines.size(), 1u);
  EXPECT_EQ(host.startLines[0].first, (PixelPoint{3, 3}));
  EXPECT_EQ(host.startLines[0].second, (PixelPoint{7, 3}));
  host.settings.threshold = 42;
  EXPECT_EQ(reading.Threshold(), 42);
}

}  // namespace
}  // namespace tivenor
