#include "engine/fitting/disc_circle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace tivenor {
namespace {

std::vector<EdgeSample> OnCircle(double cx, double cy, double r, int count) {
  std::vector<EdgeSample> samples;
  for (int i = 0; i < count; ++i) {
    const double a = 2.0 * std::numbers::pi * i / count;
    // Whole pixels, as edge scans find them.
    samples.push_back({std::round(cx + r * std::cos(a)), std::round(cy + r * std::sin(a))});
  }
  return samples;
}

TEST(FitCircle, FindsTheCircleToWellUnderAPixel) {
  const CircleFit fit = FitCircle(OnCircle(351.5, 340.25, 336.0, 400), 1.5);
  ASSERT_TRUE(fit.found);
  EXPECT_NEAR(fit.circle.centreX, 351.5, 0.1);
  EXPECT_NEAR(fit.circle.centreY, 340.25, 0.1);
  EXPECT_NEAR(fit.circle.radius, 336.0, 0.1);
}

// A dark corner puts edge points at the picture's border and dust puts them anywhere; a third of
// the samples astray leaves the circle where it is.
TEST(FitCircle, IgnoresSamplesOffTheCircle) {
  std::vector<EdgeSample> samples = OnCircle(400, 400, 300, 300);
  for (int i = 0; i < 100; ++i) samples.push_back({2.0, 2.0 + i * 3.0});
  for (int i = 0; i < 20; ++i) samples.push_back({750.0 - i, 30.0 + 7 * i});
  const CircleFit fit = FitCircle(samples, 1.5);
  ASSERT_TRUE(fit.found);
  EXPECT_NEAR(fit.circle.centreX, 400.0, 0.2);
  EXPECT_NEAR(fit.circle.centreY, 400.0, 0.2);
  EXPECT_NEAR(fit.circle.radius, 300.0, 0.2);
  EXPECT_LE(fit.samplesKept, 300);
}

TEST(FitCircle, FindsNothingWithoutACircle) {
  EXPECT_FALSE(FitCircle(OnCircle(10, 10, 5, 7), 1.5).found);
  std::vector<EdgeSample> line;
  line.reserve(50);
  for (int i = 0; i < 50; ++i) line.push_back({double(i), 3.0});
  EXPECT_FALSE(FitCircle(line, 1.5).found);
}

}  // namespace
}  // namespace tivenor
