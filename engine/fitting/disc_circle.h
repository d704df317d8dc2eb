#pragma once
// The disc as a circle, found from the places where rows and columns turn dark, in a way that a
// speck of dust, a dark corner or a disc cut off by the picture's edge cannot pull away.

#include <vector>

namespace tivenor {

struct Circle {
  double centreX = 0.0;
  double centreY = 0.0;
  double radius = 0.0;
};

struct EdgeSample {
  double x = 0.0;
  double y = 0.0;
};

// The circle that most samples lie on, to within `tolerance` (how far rounding to the grid alone
// moves a sample), refined by least squares on those samples. Nothing is found (`found` false)
// from fewer than 8 samples or a degenerate set.
struct CircleFit {
  Circle circle;
  bool found = false;
  int samplesKept = 0;
};
CircleFit FitCircle(std::vector<EdgeSample> samples, double tolerance);

}  // namespace tivenor
