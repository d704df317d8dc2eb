#include "engine/reading/outline.h"

#include <gtest/gtest.h>

#include "engine/reading/hole_scan.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

using testing::MemoryHost;

constexpr uint32_t kWhite = 0xFFFFFF;

// A light picture with single dark pixels at the given points.
Raster PictureWithDarkPixels(int32_t width, int32_t height, std::initializer_list<PixelPoint> dark,
                             uint32_t darkColour = 0) {
  Raster raster;
  raster.Resize(width, height, kWhite);
  for (const PixelPoint& p : dark) raster.SetPixel(p.x, p.y, darkColour);
  return raster;
}

ScanState OutlineOf(MemoryHost& host) {
  ScanState state;
  PrepareWorkBitmap(state, host);
  FindMidpointDiameter(state, host);
  return state;
}

TEST(FindMidpointDiameterTest, WorkedExample) {
  MemoryHost host(PictureWithDarkPixels(500, 500, {{40, 250}, {440, 245}, {238, 20}, {242, 461}}));
  const ScanState state = OutlineOf(host);
  EXPECT_EQ(state.EdgeLeft, (PixelPoint{40, 250}));
  EXPECT_EQ(state.EdgeRight, (PixelPoint{440, 245}));
  EXPECT_EQ(state.EdgeTop, (PixelPoint{238, 20}));
  EXPECT_EQ(state.EdgeBottom, (PixelPoint{242, 461}));
  EXPECT_DOUBLE_EQ(state.MmPerPixel, 57.0 / 210.0);
  EXPECT_DOUBLE_EQ(state.PixelsPerMm, 210.0 / 57.0);
  EXPECT_NEAR(state.ScanRadius, 198.9473684, 1e-7);  // 210 x 54/57, not 210.25 x 54/57
  EXPECT_EQ(state.CenterX, 240.0);
  EXPECT_EQ(state.CenterY, 240.5);
  EXPECT_EQ(host.messages, std::vector<std::string>{"Find Midpoint + Diameter"});

  // Red centre mark in (238, 238)-(242, 242): 240.5 is truncated to 240.
  EXPECT_EQ(host.display.Pixel(239, 239), kRed);
  EXPECT_EQ(host.display.Pixel(240, 241), kRed);
  EXPECT_EQ(host.display.Pixel(238, 238), kWhite);  // corners lie outside the circle
  EXPECT_EQ(host.display.Pixel(242, 240), kWhite);
  // Green edge marks of 4 pixels either way.
  EXPECT_EQ(host.display.Pixel(40, 250), kGreen);
  EXPECT_EQ(host.display.Pixel(43, 250), kGreen);
  EXPECT_EQ(host.display.Pixel(44, 250), kWhite);
  EXPECT_EQ(host.bitmapsShown, 1);
}

TEST(FindMidpointDiameterTest, TiesPickTheFirstPixelInEachScanOrder) {
  // Two dark pixels in each extreme row and column.
  MemoryHost host(PictureWithDarkPixels(
      60, 60, {{20, 5}, {30, 5}, {5, 20}, {5, 30}, {54, 22}, {54, 33}, {21, 54}, {35, 54}}));
  const ScanState state = OutlineOf(host);
  EXPECT_EQ(state.EdgeTop, (PixelPoint{20, 5}));      // leftmost of the topmost row
  EXPECT_EQ(state.EdgeBottom, (PixelPoint{35, 54}));  // rightmost of the lowest row
  EXPECT_EQ(state.EdgeLeft, (PixelPoint{5, 20}));     // topmost of the leftmost column
  EXPECT_EQ(state.EdgeRight, (PixelPoint{54, 33}));   // lowest of the rightmost column
}

TEST(FindMidpointDiameterTest, DarkMeansTheWholeColourValueAtMostTheLimit) {
  // T = 100: R = 255, G = 255, B = 99 is dark (6553599); R = G = 0, B = 101 is not (6619136).
  const uint32_t darkYellowish = 0x63FFFF;
  const uint32_t notDarkBlue = 0x650000;
  const uint32_t exactlyLimit = 100 * 65793;
  MemoryHost host(PictureWithDarkPixels(40, 40, {{10, 10}, {30, 30}}, darkYellowish));
  host.picture.SetPixel(3, 20, notDarkBlue);
  host.picture.SetPixel(36, 20, exactlyLimit);
  host.display = host.picture;
  const ScanState state = OutlineOf(host);
  EXPECT_EQ(state.EdgeTop, (PixelPoint{10, 10}));
  EXPECT_EQ(state.EdgeLeft, (PixelPoint{10, 10}));   // the blue pixel at x = 3 is not dark
  EXPECT_EQ(state.EdgeRight, (PixelPoint{36, 20}));  // equal to the limit counts as dark
}

TEST(FindMidpointDiameterTest, ThresholdExtremes) {
  MemoryHost all(PictureWithDarkPixels(30, 20, {}));
  all.settings.threshold = 255;  // every pixel is dark
  const ScanState state = OutlineOf(all);
  EXPECT_EQ(state.EdgeTop, (PixelPoint{2, 2}));
  EXPECT_EQ(state.EdgeLeft, (PixelPoint{2, 2}));
  EXPECT_EQ(state.EdgeBottom, (PixelPoint{27, 17}));
  EXPECT_EQ(state.EdgeRight, (PixelPoint{27, 17}));

  // T = 0: only pure black is dark.
  MemoryHost black(PictureWithDarkPixels(30, 30, {{5, 5}, {25, 25}}));
  black.picture.SetPixel(3, 3, 0x010101);
  black.display = black.picture;
  black.settings.threshold = 0;
  EXPECT_EQ(OutlineOf(black).EdgeTop, (PixelPoint{5, 5}));
}

TEST(FindMidpointDiameterTest, TheTwoOutermostRowsAndColumnsAreNeverExamined) {
  MemoryHost host(PictureWithDarkPixels(
      30, 30, {{0, 10}, {1, 12}, {28, 10}, {10, 1}, {10, 28}, {9, 9}, {20, 20}}));
  const ScanState state = OutlineOf(host);
  EXPECT_EQ(state.EdgeLeft, (PixelPoint{9, 9}));
  EXPECT_EQ(state.EdgeBottom, (PixelPoint{20, 20}));
}

TEST(FindMidpointDiameterTest, NoDiscIsReportedBeforeAnyMark) {
  for (const Raster& picture :
       {PictureWithDarkPixels(50, 50, {}), PictureWithDarkPixels(50, 50, {{10, 20}, {40, 20}}),
        PictureWithDarkPixels(4, 4, {{2, 2}})}) {
    MemoryHost host(picture);
    try {
      OutlineOf(host);
      FAIL() << "a picture without a disc was measured";
    } catch (const RunError& error) {
      EXPECT_STREQ(error.what(), kNoDiscFound);
    }
    EXPECT_EQ(host.bitmapsShown, 0);
  }
}

TEST(PrepareWorkBitmapTest, AMarkedPictureIsReloadedFirst) {
  MemoryHost host(PictureWithDarkPixels(20, 20, {{5, 5}}));
  host.display.SetPixel(5, 5, kGreen);  // marks of an earlier run
  ScanState state;
  state.SourceFileName = "disc.bmp";
  PrepareWorkBitmap(state, host);
  EXPECT_EQ(host.reloads, 0);  // a clean picture is used as shown
  EXPECT_EQ(state.WorkBitmap.Pixel(5, 5), kGreen);

  state.PictureClean = false;
  PrepareWorkBitmap(state, host);
  EXPECT_EQ(host.reloads, 1);
  EXPECT_EQ(state.WorkBitmap.Pixel(5, 5), 0u);
}

}  // namespace
}  // namespace tivenor
