#include "engine/slots/patch_labelling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace tivenor {
namespace {

constexpr uint32_t kLight = 0x00E0E0E0;
constexpr int kThreshold = 100;

class PatchLabellingTest : public ::testing::Test {
 protected:
  void SetUp() override { picture.Resize(200, 200, 0x00202020); }

  void Light(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    for (int32_t y = y0; y <= y1; ++y)
      for (int32_t x = x0; x <= x1; ++x) picture.SetPixel(x, y, kLight);
  }
  const std::vector<LightPatch>& Label() {
    labelling.Label(picture, ring, kThreshold);
    return labelling.Patches();
  }

  Raster picture;
  PixelRing ring{100.0, 100.0, 20.0, 90.0};
  PatchLabelling labelling;
};

TEST_F(PatchLabellingTest, MeasuresAPatchAcrossThePositiveXAxisAsOne) {
  Light(150, 95, 159, 105);  // 10 x 11 pixels, as many above the centre's row as below it
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 1u);
  const LightPatch& p = patches[0];
  EXPECT_EQ(p.pixels, 110);
  EXPECT_NEAR(p.innerRadius, 50.0, 1e-9);
  EXPECT_NEAR(p.outerRadius, std::hypot(59.0, 5.0), 1e-9);
  EXPECT_GT(p.meanRadius, 54.5);
  EXPECT_LT(p.meanRadius, 55.0);
  // From 5 pixels below the axis at x = 150 to 5 above: clockwise-most first.
  const double half = std::atan2(5.0, 50.0) * 180.0 / M_PI;
  EXPECT_NEAR(p.firstAngle, 360.0 - half, 1e-9);
  EXPECT_NEAR(p.sweep, 2.0 * half, 1e-9);
  EXPECT_FALSE(p.encirclesCentre);
}

TEST_F(PatchLabellingTest, JoinsAPatchAcrossTheSeamBehindTheCentre) {
  Light(40, 95, 49, 105);  // left of the centre, across the -x axis where angles wrap
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 1u);
  const double half = std::atan2(5.0, 51.0) * 180.0 / M_PI;
  EXPECT_NEAR(patches[0].firstAngle, 180.0 - half, 1e-9);
  EXPECT_NEAR(patches[0].sweep, 2.0 * half, 1e-9);
  EXPECT_FALSE(patches[0].encirclesCentre);
}

TEST_F(PatchLabellingTest, JoinsArmsThatMeetLowerDown) {
  // A U: two arms labelled apart on the rows above, joined by the bottom bar.
  Light(120, 130, 122, 150);
  Light(140, 130, 142, 150);
  Light(120, 151, 142, 153);
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 1u);
  EXPECT_EQ(patches[0].pixels, 2 * 3 * 21 + 23 * 3);
}

TEST_F(PatchLabellingTest, TellsARingRoundTheCentre) {
  for (int32_t y = 0; y < 200; ++y) {
    for (int32_t x = 0; x < 200; ++x) {
      const double d = std::hypot(x - 100.0, y - 100.0);
      if (d >= 50.0 && d <= 56.0) picture.SetPixel(x, y, kLight);
    }
  }
  Light(150, 40, 155, 45);  // and a slot beside it
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 2u);
  EXPECT_NE(patches[0].encirclesCentre, patches[1].encirclesCentre);
}

TEST_F(PatchLabellingTest, TakesOnlyPixelsStrictlyInsideTheRingAndLighterThanTheThreshold) {
  picture.SetPixel(120, 100, kLight);      // exactly on the inner circle
  picture.SetPixel(190, 100, kLight);      // exactly on the outer circle
  picture.SetPixel(100, 140, kThreshold);  // red byte equal to the threshold
  picture.SetPixel(100, 141, kThreshold + 1);
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 1u);
  EXPECT_EQ(patches[0].pixels, 1);
  EXPECT_DOUBLE_EQ(patches[0].meanRadius, 41.0);
}

TEST_F(PatchLabellingTest, RunsCoverEveryPixelOfTheirPatch) {
  Light(150, 95, 159, 105);
  Light(40, 60, 70, 64);
  Light(100, 150, 103, 185);
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 3u);
  std::vector<int64_t> covered(patches.size(), 0);
  for (const PatchRun& run : labelling.Runs()) {
    ASSERT_GE(run.patch, 0);
    covered[static_cast<std::size_t>(run.patch)] += run.xLast - run.xFirst + 1;
    for (int32_t x = run.xFirst; x <= run.xLast; ++x)
      EXPECT_EQ(picture.Pixel(x, run.y), kLight) << x << "," << run.y;
  }
  for (std::size_t i = 0; i < patches.size(); ++i) EXPECT_EQ(covered[i], patches[i].pixels);
}

TEST_F(PatchLabellingTest, ARingBeyondThePictureReadsWhatItHolds) {
  ring = {10.0, 10.0, 5.0, 400.0};
  Light(190, 190, 199, 199);
  const auto& patches = Label();
  ASSERT_EQ(patches.size(), 1u);
  EXPECT_EQ(patches[0].pixels, 100);
}

TEST_F(PatchLabellingTest, LabellingAgainGivesTheSamePatches) {
  Light(150, 95, 159, 105);
  Light(40, 95, 49, 105);
  const std::vector<LightPatch> first = Label();
  picture.SetPixel(60, 60, kLight);
  Label();
  picture.SetPixel(60, 60, 0);
  const std::vector<LightPatch>& again = Label();
  ASSERT_EQ(again.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(again[i].pixels, first[i].pixels);
    EXPECT_DOUBLE_EQ(again[i].firstAngle, first[i].firstAngle);
  }
}

}  // namespace
}  // namespace tivenor
