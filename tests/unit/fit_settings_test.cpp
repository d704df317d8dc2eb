// Settings fitted to rendered scans: what the fit sees and what it decides.

#include "engine/fitting/fitted_settings.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/base/box_reduction.h"
#include "engine/fitting/reading_copy.h"
#include "engine/reading/scan_state.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace tivenor {
namespace {

using testing::DiscOptions;
using testing::RealSizeScan;

FittedSettings Fit(const DiscOptions& options) {
  return FitSettings(testing::RenderDisc(testing::SampleMelody(), options));
}

TEST(FitSettings, ThresholdLiesHalfWayBetweenDiscAndLight) {
  const FittedSettings fit = Fit(RealSizeScan(150));
  ASSERT_TRUE(fit.discFound);
  // Disc 0x28/0x23 (red/blue), light 0xE4/0xDC: the dark test reads blue, the bright test red.
  EXPECT_NEAR(fit.discLevel, 0x28, 3);
  EXPECT_NEAR(fit.lightLevel, 0xDC, 3);
  EXPECT_NEAR(fit.threshold, (0x28 + 0xDC) / 2.0, 3);
  EXPECT_FALSE(fit.reading.NeedsCopy());
}

// Blur rounds the ends of each slot at the half-way threshold and moves its note point: the
// threshold comes down towards the disc as the rim grows softer.
TEST(FitSettings, BlurLowersTheThreshold) {
  const FittedSettings sharp = Fit(RealSizeScan(300));
  DiscOptions soft = RealSizeScan(300);
  soft.blurRadiusPx = 1;
  DiscOptions softer = RealSizeScan(300);
  softer.blurRadiusPx = 3;
  const FittedSettings blurred = Fit(soft);
  const FittedSettings moreBlurred = Fit(softer);
  EXPECT_LT(sharp.rimSoftnessPx, 1.0);
  EXPECT_GT(blurred.rimSoftnessPx, sharp.rimSoftnessPx + 0.5);
  EXPECT_GT(moreBlurred.rimSoftnessPx, blurred.rimSoftnessPx + 1.0);
  EXPECT_NEAR(sharp.threshold, (sharp.discLevel + sharp.lightLevel) / 2.0, 2);
  EXPECT_LT(blurred.threshold, sharp.threshold - 5);
  EXPECT_LT(moreBlurred.threshold, blurred.threshold - 5);
  // Never below three tenths of the way from the disc to the light.
  EXPECT_GE(moreBlurred.threshold,
            moreBlurred.discLevel + 0.3 * (moreBlurred.lightLevel - moreBlurred.discLevel) - 1);
}

TEST(FitSettings, ScaleAndHoleSizesFollowTheResolution) {
  for (double dpi : {100.0, 150.0, 300.0, 600.0}) {
    SCOPED_TRACE(dpi);
    const DiscOptions options = RealSizeScan(dpi);
    const FittedSettings fit = Fit(options);
    ASSERT_TRUE(fit.discFound);
    EXPECT_NEAR(fit.pixelsPerMm, testing::PixelsPerMm(options),
                0.005 * testing::PixelsPerMm(options));
    const int scale = dpi > 320 ? 2 : 1;
    EXPECT_EQ(fit.reading.scale, scale);
    // The slots drawn lie well within Minimum and Maximum at the resolution read.
    const double area = testing::HoleAreaPixels(options) / (scale * scale);
    EXPECT_LT(fit.minimum, 0.5 * area);
    EXPECT_GT(fit.maximum, 2.0 * area);
    EXPECT_LT(fit.maximum, kMaxHolePixels);
  }
}

TEST(FitSettings, DarkCornerIsEvenedOut) {
  DiscOptions options = RealSizeScan(150);
  options.darkCornerLight = 0.18;
  const FittedSettings fit = Fit(options);
  ASSERT_TRUE(fit.discFound);
  EXPECT_TRUE(fit.reading.evenLighting);
  EXPECT_LT(fit.lightingRatio, 0.4);
  EXPECT_TRUE(fit.reading.clearOutside);
  EXPECT_NEAR(fit.pixelsPerMm, testing::PixelsPerMm(options), 0.01 * testing::PixelsPerMm(options));
  EXPECT_NEAR(fit.lightLevel, 0xDC, 12);
}

TEST(FitSettings, DarkSpecksAroundTheDiscAreCleared) {
  DiscOptions clean = RealSizeScan(150);
  EXPECT_FALSE(Fit(clean).darkOutsideDisc);
  DiscOptions dusty = clean;
  dusty.dustSpecks = 300;
  const FittedSettings fit = Fit(dusty);
  EXPECT_TRUE(fit.darkOutsideDisc);
  EXPECT_TRUE(fit.reading.clearOutside);
  EXPECT_NEAR(fit.reading.clearCircle.radius, fit.disc.radius + 2.0, 1e-9);
}

TEST(FitSettings, PictureWithoutADiscKeepsTheDefaults) {
  Raster light;
  light.Resize(300, 200, 0x00DCE2E4);
  Raster dark;
  dark.Resize(300, 200, 0x00101010);
  Raster tiny;
  tiny.Resize(3, 3, 0);
  for (const Raster* picture : {&light, &dark, &tiny}) {
    const FittedSettings fit = FitSettings(*picture);
    EXPECT_FALSE(fit.discFound);
    EXPECT_EQ(fit.threshold, 100);
    EXPECT_EQ(fit.minimum, 10);
    EXPECT_EQ(fit.maximum, 75);
    EXPECT_FALSE(fit.reading.NeedsCopy());
  }
}

Raster Reduced(const Raster& picture, int factor) {
  Raster reduced;
  BoxReduction reduction(picture.width, picture.height, factor, reduced);
  for (int32_t y = 0; y < picture.height; ++y)
    reduction.AddRow(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
  return reduced;
}

// A fine scan decoded at half its resolution is fitted as the whole: the disc, the scale and the
// settings in the file's pixels, the threshold from the same levels.
TEST(FitSettings, APictureDecodedSmallerFitsAsTheWhole) {
  for (double dpi : {600.0, 700.0}) {
    SCOPED_TRACE(dpi);
    DiscOptions options = RealSizeScan(dpi);
    options.darkCornerLight = 0.3;
    const Raster picture = testing::RenderDisc(testing::SampleMelody(), options);
    const FittedSettings whole = FitSettings(picture);
    const FittedSettings half = FitSettings(Reduced(picture, 2), 2);
    ASSERT_TRUE(whole.discFound);
    ASSERT_TRUE(half.discFound);
    EXPECT_EQ(half.reading.pictureReduction, 2);
    EXPECT_EQ(half.reading.scale, whole.reading.scale);
    EXPECT_NEAR(half.disc.centreX, whole.disc.centreX, 1.0);
    EXPECT_NEAR(half.disc.centreY, whole.disc.centreY, 1.0);
    EXPECT_NEAR(half.disc.radius, whole.disc.radius, 1.0);
    EXPECT_NEAR(half.pixelsPerMm, whole.pixelsPerMm, 0.02 * whole.pixelsPerMm);
    EXPECT_NEAR(half.threshold, whole.threshold, 3);
    EXPECT_NEAR(half.minimum, whole.minimum, 1 + 0.05 * whole.minimum);
    EXPECT_NEAR(half.maximum, whole.maximum, 1 + 0.05 * whole.maximum);
    EXPECT_EQ(half.reading.evenLighting, whole.reading.evenLighting);
    // The lighting surface, as the copy evaluates it in the file's pixels.
    const ReadingCopy wholeCopy(whole.reading), halfCopy(half.reading);
    for (int32_t at : {0, picture.width / 2, picture.width - 1}) {
      EXPECT_NEAR(halfCopy.EvenlyLit(0x00404040, at, at) & 0xFF,
                  wholeCopy.EvenlyLit(0x00404040, at, at) & 0xFF, 3);
    }
  }
}

// A picture decoded coarser than its disc wants says so: its scale is below the reduction.
TEST(FitSettings, APictureDecodedTooSmallAsksForAFinerOne) {
  const Raster picture = testing::RenderDisc(testing::SampleMelody(), RealSizeScan(300));
  const FittedSettings fit = FitSettings(Reduced(picture, 4), 4);
  ASSERT_TRUE(fit.discFound);
  EXPECT_LT(fit.reading.scale, fit.reading.pictureReduction);
  // Without a disc the reduction is still the picture's.
  Raster blank;
  blank.Resize(100, 100, 0x00E0E0E0);
  EXPECT_EQ(FitSettings(blank, 3).reading.pictureReduction, 3);
}

// Whatever its size, a picture shows its disc across at least half its shorter side; the least
// scale follows from that, never above what any disc in it can need.
TEST(LeastReadingScale, FollowsTheShorterSide) {
  EXPECT_EQ(LeastReadingScale(800, 600), 1);
  EXPECT_EQ(LeastReadingScale(6000, 4000), 2);  // 24 megapixels: 17.5 pixels a mm at the least
  EXPECT_EQ(LeastReadingScale(4000, 6000), 2);
  EXPECT_EQ(LeastReadingScale(10000, 10000), 4);
  EXPECT_EQ(LeastReadingScale(65000, 65000), kMaxReadingScale);
  for (int32_t side : {1000, 3000, 6000, 12000}) {
    // A disc filling half the side.
    const double pixelsPerMm = 0.5 * side / DiscDiameterMm;
    EXPECT_LE(LeastReadingScale(side, side),
              static_cast<int>(std::ceil(pixelsPerMm / kFinestReadPixelsPerMm)));
  }
}

}  // namespace
}  // namespace tivenor
