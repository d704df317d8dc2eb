// Settings fitted to rendered scans: what the fit sees and what it decides.

#include "engine/fitting/fitted_settings.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tivenor
