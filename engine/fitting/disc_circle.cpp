#include "engine/fitting/disc_circle.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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
  const double dx = s.x - c.centreX, dy = s.y - c.centreY;
  return std::fabs(std::sqrt(dx * dx + dy * dy) - c.radius);
}

// The circle through three points; false when they lie on a line.
bool ThroughThree(const EdgeSample& a, const EdgeSample& b, const EdgeSample& c, Circle& circle) {
  const double bx = b.x - a.x, by = b.y - a.y, cx = c.x - a.x, cy = c.y - a.y;
  const double d = 2.0 * (bx * cy - by * cx);
  if (std::fabs(d) < 1e-9) return false;
  const double b2 = bx * bx + by * by, c2 = cx * cx + cy * cy;
  const double ux = (cy * b2 - by * c2) / d, uy = (bx * c2 - cx * b2) / d;
  circle = {a.x + ux, a.y + uy, std::hypot(ux, uy)};
  return true;
}

// Circles through three samples at a time, in a fixed pseudo-random order: the one most samples
// lie near wins, so that even half the samples astray cannot pull the fit away.
std::vector<EdgeSample> SamplesNearBestGuess(const std::vector<EdgeSample>& samples,
                                             double tolerance) {
  constexpr int kTrials = 48;
  // Each guess is judged on a spread-out share of the samples, at most this many.
  constexpr std::size_t kJudges = 256;
  const std::size_t stride = std::max<std::size_t>(1, samples.size() / kJudges);
  uint64_t state = 0x2545F4914F6CDD1Dull;
  const auto next = [&]() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<std::size_t>(state >> 33) % samples.size();
  };
  // Each sample costs its squared distance from the guess, at most the tolerance's square.
  const double cap = tolerance * tolerance;
  const std::size_t judged = (samples.size() + stride - 1) / stride;
  double bestCost = cap * static_cast<double>(judged);
  Circle best;
  bool found = false;
  for (int trial = 0; trial < kTrials; ++trial) {
    Circle guess;
    if (!ThroughThree(samples[next()], samples[next()], samples[next()], guess)) continue;
    double cost = 0.0;
    for (std::size_t i = 0; i < samples.size(); i += stride) {
      const double residual = Residual(guess, samples[i]);
      cost += std::min(cap, residual * residual);
    }
    if (cost < bestCost) {
      bestCost = cost;
      best = guess;
      found = true;
    }
  }
  if (!found) return samples;
  std::vector<EdgeSample> near;
  for (const EdgeSample& s : samples)
    if (Residual(best, s) <= tolerance) near.push_back(s);
  return near;
}

}  // namespace

CircleFit FitCircle(std::vector<EdgeSample> samples, double tolerance) {
  CircleFit fit;
  if (static_cast<int>(samples.size()) < kMinimumSamples) return fit;
  samples = SamplesNearBestGuess(samples, tolerance);
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
    const double keep = std::max(tolerance, 3.0 * sorted[sorted.size() / 2]);
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
