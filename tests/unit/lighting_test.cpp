#include "engine/fitting/lighting.h"

#include <gtest/gtest.h>

namespace tivenor {
namespace {

template <typename Brightness>
std::vector<LightSample> Grid(Brightness brightness) {
  std::vector<LightSample> samples;
  for (int y = 0; y < 400; y += 20)
    for (int x = 0; x < 600; x += 20) samples.push_back({double(x), double(y), brightness(x, y)});
  return samples;
}

TEST(FitLighting, RecoversAQuadraticSurface) {
  const auto light = [](double x, double y) { return 60.0 + 0.2 * x + 0.1 * y - 1e-4 * x * y; };
  const LightingFit fit = FitLighting(Grid(light), 600, 400);
  ASSERT_TRUE(fit.fitted);
  for (double x : {0.0, 300.0, 599.0})
    for (double y : {0.0, 200.0, 399.0}) EXPECT_NEAR(fit.model.At(x, y), light(x, y), 1e-6);
  const LightingRange range = RangeOver(fit.model, 600, 400);
  EXPECT_NEAR(range.darkest, 60.0, 1e-6);
  EXPECT_NEAR(range.brightest, light(599, 399), 1e-6);
}

// Dark samples among the light ones (dust, a bit of the disc) do not pull the surface down.
TEST(FitLighting, DropsSamplesFarDarkerThanTheSurface) {
  std::vector<LightSample> samples = Grid([](double, double) { return 220.0; });
  for (std::size_t i = 0; i < samples.size(); i += 9) samples[i].brightness = 30.0;
  const LightingFit fit = FitLighting(samples, 600, 400);
  ASSERT_TRUE(fit.fitted);
  EXPECT_NEAR(fit.model.At(300, 200), 220.0, 0.5);
  EXPECT_NEAR(fit.model.At(0, 0), 220.0, 0.5);
}

TEST(FitLighting, NeedsEnoughSamples) {
  std::vector<LightSample> few(11, LightSample{1.0, 2.0, 200.0});
  EXPECT_FALSE(FitLighting(few, 100, 100).fitted);
  // Many samples at one place cannot tell a slope either.
  std::vector<LightSample> onePlace(100, LightSample{5.0, 5.0, 200.0});
  EXPECT_FALSE(FitLighting(onePlace, 100, 100).fitted);
}

}  // namespace
}  // namespace tivenor
