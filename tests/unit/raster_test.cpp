#include "engine/base/raster.h"

#include <gtest/gtest.h>

namespace tivenor {
namespace {

int CountColour(const Raster& raster, uint32_t colour) {
  int count = 0;
  for (uint32_t pixel : raster.pixels) count += pixel == colour ? 1 : 0;
  return count;
}

TEST(FillEllipseTest, CoversPixelsWhoseCentreLiesInsideOrOnTheEllipse) {
  Raster raster;
  raster.Resize(10, 10, 0xFFFFFF);
  FillEllipse(raster, 2, 3, 6, 7, kBlue);  // a circle of radius 2 around (4, 5)
  // The 4 x 4 box less its four corners, whose centres lie outside the circle.
  EXPECT_EQ(CountColour(raster, kBlue), 12);
  EXPECT_EQ(raster.Pixel(2, 3), 0xFFFFFFu);
  EXPECT_EQ(raster.Pixel(5, 6), 0xFFFFFFu);
  EXPECT_EQ(raster.Pixel(4, 6), kBlue);
  EXPECT_EQ(raster.Pixel(3, 3), kBlue);
  EXPECT_EQ(raster.Pixel(6, 5), 0xFFFFFFu);  // the right edge is excluded
}

TEST(FillEllipseTest, FollowsBothSemiAxes) {
  Raster raster;
  raster.Resize(12, 6, 0);
  // Semi-axes 4 and 1 around (4, 1): rows 0 and 1, each eight wide less the two end pixels
  // whose centres (0.5, y + 0.5) lie outside.
  FillEllipse(raster, 0, 0, 8, 2, kRed);
  EXPECT_EQ(raster.Pixel(0, 0), 0u);
  EXPECT_EQ(raster.Pixel(1, 0), kRed);
  EXPECT_EQ(raster.Pixel(7, 1), 0u);
  EXPECT_EQ(CountColour(raster, kRed), 12);
}

TEST(FillEllipseTest, ClipsAtTheRasterEdges) {
  Raster raster;
  raster.Resize(3, 3, 0);
  FillEllipse(raster, -4, -4, 4, 4, kGreen);
  EXPECT_EQ(CountColour(raster, kGreen), 9);
  FillEllipse(raster, 100, 100, 104, 104, kRed);  // wholly outside: nothing drawn
  EXPECT_EQ(CountColour(raster, kRed), 0);
}

TEST(DrawLineTest, DrawsBothEndsAndOneStepPerPixel) {
  Raster raster;
  raster.Resize(20, 10, 0);
  DrawLine(raster, {1, 1}, {11, 5}, kYellow);
  EXPECT_EQ(raster.Pixel(1, 1), kYellow);
  EXPECT_EQ(raster.Pixel(11, 5), kYellow);
  EXPECT_EQ(CountColour(raster, kYellow), 11);  // one pixel per column of the major axis
}

TEST(DrawLineTest, SkipsPixelsOutsideTheRaster) {
  Raster raster;
  raster.Resize(5, 5, 0);
  DrawLine(raster, {2, 2}, {12, 2}, kYellow);
  EXPECT_EQ(CountColour(raster, kYellow), 3);
}

TEST(RasterTest, OutsideReadsAsBlackAndWritesAreIgnored) {
  Raster raster;
  raster.Resize(2, 2, 0xFFFFFF);
  EXPECT_EQ(raster.Pixel(-1, 0), 0u);
  EXPECT_EQ(raster.Pixel(0, 2), 0u);
  raster.SetPixel(5, 5, kRed);
  EXPECT_EQ(CountColour(raster, 0xFFFFFF), 4);
  raster.Release();
  EXPECT_EQ(raster.width, 0);
  EXPECT_TRUE(raster.pixels.empty());
}

// A picture the size of a 600 dpi scan: large enough to live in huge pages where offered.
TEST(RasterTest, LargeRastersKeepTheirStorageAcrossResizesAndCopies) {
  Raster raster;
  raster.Resize(2900, 2900, kRed);
  EXPECT_EQ(CountColour(raster, kRed), 2900 * 2900);
  const uint32_t* storage = raster.pixels.data();

  raster.ResizeForOverwrite(2000, 2900);  // smaller: the same storage, pixels left as they were
  EXPECT_EQ(raster.pixels.data(), storage);
  EXPECT_EQ(raster.pixels.size(), 2000u * 2900u);
  EXPECT_EQ(raster.Pixel(1999, 2899), kRed);

  Raster other;
  other.Resize(2000, 2900, kGreen);
  raster.CopyFrom(other);
  EXPECT_EQ(raster.pixels.data(), storage);
  EXPECT_EQ(raster.pixels, other.pixels);
  EXPECT_EQ(raster.width, 2000);

  raster.ResizeForOverwrite(3000, 3000);  // larger: new storage, the new pixels black
  EXPECT_EQ(raster.pixels.size(), 3000u * 3000u);
  EXPECT_EQ(raster.Pixel(2999, 2999), 0u);
}

TEST(RasterTest, CopyFromItselfKeepsThePicture) {
  Raster raster;
  raster.Resize(3, 2, kBlue);
  raster.CopyFrom(raster);
  EXPECT_EQ(CountColour(raster, kBlue), 6);
}

}  // namespace
}  // namespace tivenor
