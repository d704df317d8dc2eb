#include "fitting/disc_circle.h"

#include <algorithm>
#include <cmath>

namespace tivenor {

namespace {

constexpr int kMinimumSamples = 8;
constexpr int kRounds = 6;

// Algebraic fit of x² + y² + D x + E y + F = 0, in coordinates relative to the samples' mean.
bool FitOnce(const std::vector<EdgeSample>& samples, Circle& circle) {
  double mx = 0.0, my = 0.0;
  for (const EdgeSample& s : samples) {
    mx += s.x;
    my += s.y;
  }
  const double n = static_cast<double>(samples.size());
  mx /= n;
  my /= n;
  double suu = 0, svv = 0, suv = 0, suuu = 0, svvv = 0, suvv = 0, svuu = 0;
  for (const EdgeSample& s : samples) {
    const double u = s.x - mx, v = s.y - my;
    suu += u * u;
    svv += v * v;
    suv += u * v;
    suuu += u * u * u;
    svvv += v * v * v;
    suvv += u * v * v;
    svuu += v * u * u;
  }
  const double det = suu * svv - suv * suv;
  if (std::fabs(det) < 1e-9) return false;
  const double bu = 0.5 * (suuu + suvv), bv = 0.5 * (svvv + svuu);
  const double uc = (bu * svv - bv * suv) / det;
  const double vc = (suu * bv - suv * bu) / det;
  circle.centreX = uc + mx;
  circle.centreY = vc + my;
  circle.radius = std::sqrt(uc * uc + vc * vc + (suu + svv) / n);
  return std::isfinite(circle.radius) && circle.radius > 0.0;
}

double Residual(const Circle& c, const EdgeSample& s) {
  return std::fabs(std::hypot(s.x - c.centreX, s.y - c.centreY) - c.radius);
}

}  // namespace

CircleFit FitCircle(std::vector<EdgeSample> samples) {
  CircleFit fit;
  for (int round = 0; round < kRounds; ++round) {
    if (static_cast<int>(samples.size()) < kMinimumSamples) return fit;
    Circle circle;
    if (!FitOnce(samples, circle)) return fit;
    fit.circle = circle;
    fit.found = true;
    fit.samplesKept = static_cast<int>(samples.size());
    std::vector<double> residuals;
    residuals.reserve(samples.size());
    for (const EdgeSample& s : samples) residuals.push_back(Residual(circle, s));
    std::vector<double> sorted = residuals;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    // A pixel and a half is what rounding to the grid alone makes.
    const double keep = std::max(1.5, 3.0 * sorted[sorted.size() / 2]);
    std::vector<EdgeSample> kept;
    kept.reserve(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
      if (residuals[i] <= keep) kept.push_back(samples[i]);
    samples.swap(kept);
    if (static_cast<int>(samples.size()) == fit.samplesKept) break;
  }
  return fit;
}

}  // namespace tivenor
