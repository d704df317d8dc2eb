#include "engine/view/ellipse_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace tivenor {

namespace {

constexpr int kRounds = 8;
// A point this many median distances off the ellipse leaves the next round's fit.
constexpr double kOutlierMedians = 2.5;
// Points this close to the ellipse always stay: the median of clean points can be tiny.
constexpr double kAlwaysKept = 0.5;
// The consensus: ellipses through six points spread round the rim.
constexpr int kSectors = 6;
constexpr int kConsensusTries = 64;
constexpr std::size_t kLeastForConsensus = std::size_t{8} * kSectors;

// a x^2 + b xy + c y^2 + d x + e y + f = 0, in the normalised frame of the fit.
struct Conic {
  double a = 0, b = 0, c = 0, d = 0, e = 0, f = 0;
};

// Solves the 5 x 5 system m x = v in place by elimination with partial pivoting.
bool Solve5(std::array<std::array<double, 6>, 5>& m, std::array<double, 5>& x) {
  for (int col = 0; col < 5; ++col) {
    int pivot = col;
    for (int row = col + 1; row < 5; ++row) {
      if (std::fabs(m[row][col]) > std::fabs(m[pivot][col])) pivot = row;
    }
    if (std::fabs(m[pivot][col]) < 1e-14) return false;
    std::swap(m[col], m[pivot]);
    for (int row = col + 1; row < 5; ++row) {
      const double factor = m[row][col] / m[col][col];
      for (int k = col; k < 6; ++k) m[row][k] -= factor * m[col][k];
    }
  }
  for (int row = 4; row >= 0; --row) {
    double sum = m[row][5];
    for (int k = row + 1; k < 5; ++k) sum -= m[row][k] * x[k];
    x[row] = sum / m[row][row];
  }
  return true;
}

// Least squares with a + c = 1, which no ellipse near a circle can miss and which keeps the
// system linear: c (y^2 - x^2) + b xy + d x + e y + f = -x^2.
std::optional<Conic> FitConic(std::span<const PlanePoint> points, std::span<const char> kept) {
  std::array<std::array<double, 6>, 5> m{};
  int used = 0;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (!kept[i]) continue;
    const double x = points[i].x, y = points[i].y;
    const std::array<double, 5> row{y * y - x * x, x * y, x, y, 1.0};
    const double rhs = -x * x;
    for (int r = 0; r < 5; ++r) {
      for (int k = 0; k < 5; ++k) m[r][k] += row[r] * row[k];
      m[r][5] += row[r] * rhs;
    }
    ++used;
  }
  std::array<double, 5> x{};
  if (used < 6 || !Solve5(m, x)) return std::nullopt;
  return Conic{1.0 - x[0], x[1], x[0], x[2], x[3], x[4]};
}

std::optional<Ellipse> EllipseOf(const Conic& k) {
  const double det = 4.0 * k.a * k.c - k.b * k.b;
  if (!(det > 0.0)) return std::nullopt;
  Ellipse ellipse;
  ellipse.centre.x = (k.b * k.e - 2.0 * k.c * k.d) / det;
  ellipse.centre.y = (k.b * k.d - 2.0 * k.a * k.e) / det;
  const double x0 = ellipse.centre.x, y0 = ellipse.centre.y;
  const double level = k.a * x0 * x0 + k.b * x0 * y0 + k.c * y0 * y0 + k.d * x0 + k.e * y0 + k.f;
  if (!(level < 0.0) && !(level > 0.0)) return std::nullopt;
  ellipse.qxx = -k.a / level;
  ellipse.qxy = -0.5 * k.b / level;
  ellipse.qyy = -k.c / level;
  if (!(ellipse.qxx > 0.0 && ellipse.qyy > 0.0)) return std::nullopt;
  return ellipse;
}

// Points centred and scaled to about 1, for a well-conditioned system: p' = (p - mean) / spread.
struct Scaling {
  PlanePoint mean;
  double spread = 0.0;  // the mean distance from the mean; 0 when all points coincide

  PlanePoint Scaled(PlanePoint p) const {
    return {(p.x - mean.x) / spread, (p.y - mean.y) / spread};
  }
};

Scaling ScalingOf(std::span<const PlanePoint> points) {
  Scaling scaling;
  for (const PlanePoint& p : points) {
    scaling.mean.x += p.x;
    scaling.mean.y += p.y;
  }
  scaling.mean.x /= static_cast<double>(points.size());
  scaling.mean.y /= static_cast<double>(points.size());
  for (const PlanePoint& p : points)
    scaling.spread += std::hypot(p.x - scaling.mean.x, p.y - scaling.mean.y);
  scaling.spread /= static_cast<double>(points.size());
  return scaling;
}

// An ellipse of scaled points, in the points' own frame.
Ellipse Unscaled(const Ellipse& ellipse, const Scaling& scaling) {
  const PlanePoint mean = scaling.mean;
  const double spread = scaling.spread;
  Ellipse result;
  result.centre = {mean.x + spread * ellipse.centre.x, mean.y + spread * ellipse.centre.y};
  const double s2 = spread * spread;
  result.qxx = ellipse.qxx / s2;
  result.qxy = ellipse.qxy / s2;
  result.qyy = ellipse.qyy / s2;
  return result;
}

// The least-squares ellipse through a few points, in one round.
std::optional<Ellipse> FitEllipseOnce(std::span<const PlanePoint> points,
                                      std::span<const char> all) {
  const Scaling scaling = ScalingOf(points);
  if (!(scaling.spread > 0.0)) return std::nullopt;
  std::array<PlanePoint, kSectors> scaled;
  for (std::size_t i = 0; i < points.size() && i < scaled.size(); ++i)
    scaled[i] = scaling.Scaled(points[i]);
  const std::optional<Conic> conic = FitConic(scaled, all);
  if (!conic) return std::nullopt;
  const std::optional<Ellipse> ellipse = EllipseOf(*conic);
  if (!ellipse) return std::nullopt;
  return Unscaled(*ellipse, scaling);
}

}  // namespace

std::optional<Ellipse> EllipseOfConic(double a, double b, double c, double d, double e, double f) {
  return EllipseOf(Conic{a, b, c, d, e, f});
}

double Ellipse::Distance(PlanePoint point) const {
  const double dx = point.x - centre.x, dy = point.y - centre.y;
  const double gx = qxx * dx + qxy * dy, gy = qxy * dx + qyy * dy;
  const double level = dx * gx + dy * gy - 1.0;
  const double slope = 2.0 * std::sqrt(gx * gx + gy * gy);
  return slope > 0.0 ? std::fabs(level) / slope : std::fabs(level);
}

std::vector<PlanePoint> ConsensusPoints(std::span<const PlanePoint> points, double tolerance) {
  std::vector<PlanePoint> all(points.begin(), points.end());
  if (points.size() < kLeastForConsensus || !(tolerance > 0.0)) return all;
  const PlanePoint mean = ScalingOf(points).mean;
  // The points in order round their mean.
  std::vector<std::size_t> order(points.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::vector<double> angle(points.size());
  for (std::size_t i = 0; i < points.size(); ++i)
    angle[i] = std::atan2(points[i].y - mean.y, points[i].x - mean.x);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return angle[a] < angle[b]; });

  const std::vector<char> six(kSectors, 1);
  std::vector<PlanePoint> sample(kSectors);
  uint32_t seed = 12345u;  // the same tries every time: the reading is repeatable
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  double bestCost = std::numeric_limits<double>::infinity();
  std::optional<Ellipse> best;
  for (int attempt = 0; attempt < kConsensusTries; ++attempt) {
    // Six points from anywhere, but at least one in each third of the way round: close
    // together, they tell nothing of the ellipse.
    std::array<bool, 3> thirds{};
    for (int s = 0; s < kSectors; ++s) {
      const std::size_t at = next() % points.size();
      thirds[at * 3 / points.size()] = true;
      sample[static_cast<std::size_t>(s)] = points[order[at]];
    }
    if (!(thirds[0] && thirds[1] && thirds[2])) continue;
    const std::optional<Ellipse> ellipse = FitEllipseOnce(sample, six);
    if (!ellipse) continue;
    // Each point counts by how near it lies, up to the tolerance: an ellipse that meets a worn
    // stretch halfway lies a little off everywhere and loses to the one the rest lie right on.
    double cost = 0.0;
    for (const PlanePoint& p : points) cost += std::min(ellipse->Distance(p), tolerance);
    if (cost < bestCost) {
      bestCost = cost;
      best = ellipse;
    }
  }
  std::size_t bestCount = 0;
  if (best) {
    for (const PlanePoint& p : points) bestCount += best->Distance(p) <= tolerance ? 1u : 0u;
  }
  if (!best || 2 * bestCount < points.size()) return all;
  // Fitted again to all it gathered, and those near that taken.
  std::vector<PlanePoint> near;
  for (const PlanePoint& p : points) {
    if (best->Distance(p) <= tolerance) near.push_back(p);
  }
  const std::optional<Ellipse> refined = FitEllipse(near);
  if (!refined) return near;
  std::vector<PlanePoint> kept;
  for (const PlanePoint& p : points) {
    if (refined->Distance(p) <= tolerance) kept.push_back(p);
  }
  return 2 * kept.size() < points.size() ? near : kept;
}

std::optional<Ellipse> FitEllipse(std::span<const PlanePoint> points) {
  if (points.size() < 6) return std::nullopt;
  const Scaling scaling = ScalingOf(points);
  const double spread = scaling.spread;
  if (!(spread > 0.0)) return std::nullopt;
  std::vector<PlanePoint> scaled;
  scaled.reserve(points.size());
  for (const PlanePoint& p : points) scaled.push_back(scaling.Scaled(p));

  std::vector<char> kept(points.size(), 1);
  std::optional<Ellipse> ellipse;
  std::vector<double> distances(points.size());
  for (int round = 0; round < kRounds; ++round) {
    const std::optional<Conic> conic = FitConic(scaled, kept);
    if (!conic) break;
    const std::optional<Ellipse> next = EllipseOf(*conic);
    if (!next) break;
    ellipse = next;
    for (std::size_t i = 0; i < scaled.size(); ++i) distances[i] = ellipse->Distance(scaled[i]);
    std::vector<double> sorted = distances;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                     sorted.end());
    const double limit =
        std::max(kOutlierMedians * sorted[sorted.size() / 2], kAlwaysKept / spread);
    bool changed = false;
    for (std::size_t i = 0; i < scaled.size(); ++i) {
      const char keep = distances[i] <= limit ? 1 : 0;
      changed = changed || keep != kept[i];
      kept[i] = keep;
    }
    if (!changed) break;  // the same points again would give the same ellipse
  }
  if (!ellipse) return std::nullopt;
  return Unscaled(*ellipse, scaling);
}

}  // namespace tivenor
