#pragma once
// How the scanner lit the picture: a smooth surface fitted to the brightness of the background,
// so that a picture darker in one corner can be read as if it were evenly lit.

#include <array>
#include <cstdint>
#include <vector>

namespace tivenor {

// Brightness c0 + c1 u + c2 v + c3 u² + c4 u v + c5 v², with u = x / width, v = y / height in
// picture pixels. An even lighting has only c0.
struct LightingModel {
  std::array<double, 6> coefficients{};
  double width = 1.0;
  double height = 1.0;

  double At(double x, double y) const;
};

struct LightSample {
  double x = 0.0;  // picture pixels
  double y = 0.0;
  double brightness = 0.0;
};

// Least-squares fit to the samples; samples far darker than the fit (dust, a stray edge of the
// disc) are dropped and the fit repeated. Returns nothing useful from fewer than 12 samples:
// `fitted` is false then.
struct LightingFit {
  LightingModel model;
  bool fitted = false;
};
LightingFit FitLighting(std::vector<LightSample> samples, double width, double height);

// The darkest and the brightest the model gives over the picture, on a grid of points.
struct LightingRange {
  double darkest = 0.0;
  double brightest = 0.0;
};
LightingRange RangeOver(const LightingModel& model, int32_t width, int32_t height);

}  // namespace tivenor
