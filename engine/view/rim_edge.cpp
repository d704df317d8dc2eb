#include "engine/view/rim_edge.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "engine/base/channel_level.h"

namespace tivenor {

namespace {

constexpr double kInnerReach = 0.9;  // of the radius
constexpr double kOuterReach = 1.1;
constexpr int kLeastRays = 360;
constexpr int kMostRays = 1440;
constexpr double kPixelsPerRay = 2.0;  // along the rim
// A step that rises by this share of the light over the dark within two pixels is the rim's
// edge; a shadow's soft ramp never does.
constexpr double kSharpStepShare = 0.3;
// How far inwards from where the light first fails the step is looked for: past a shadow, never
// as far as the outermost holes.
constexpr double kStepSearch = 0.025;  // of the radius

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0.0;
  const auto at = static_cast<long>(share * static_cast<double>(values.size() - 1));
  std::nth_element(values.begin(), values.begin() + at, values.end());
  return values[static_cast<std::size_t>(at)];
}

}  // namespace

std::vector<PlanePoint> FindRimEdge(const Raster& picture, PlanePoint centre, double radius,
                                    Channel channel) {
  std::vector<PlanePoint> points;
  if (!(radius > 4.0)) return points;
  const int rays = std::clamp(static_cast<int>(2.0 * std::numbers::pi * radius / kPixelsPerRay),
                              kLeastRays, kMostRays);
  const auto first = static_cast<int>(std::floor(kInnerReach * radius));
  const auto last = static_cast<int>(std::ceil(kOuterReach * radius));
  const int samples = last - first + 1;
  std::vector<double> profile(static_cast<std::size_t>(rays) * samples, -1.0);
  std::vector<double> inside, outside;
  for (int ray = 0; ray < rays; ++ray) {
    const double angle = 2.0 * std::numbers::pi * ray / rays;
    const double cx = std::cos(angle), cy = -std::sin(angle);
    double* f = profile.data() + static_cast<std::size_t>(ray) * samples;
    for (int i = 0; i < samples; ++i) {
      const double x = centre.x + (first + i) * cx, y = centre.y + (first + i) * cy;
      if (x < 0.0 || y < 0.0 || x > picture.width - 1.0 || y > picture.height - 1.0) break;
      f[i] = LevelAt(picture, x, y, channel);
    }
    if (ray % 8 != 0) continue;
    for (int i = 0; i < samples; ++i) {
      if (f[i] < 0.0) break;
      const double r = (first + i) / radius;
      if (r < 0.95) inside.push_back(f[i]);
      if (r > 1.05) outside.push_back(f[i]);
    }
  }
  const double dark = Percentile(inside, 0.2), light = Percentile(outside, 0.8);
  if (!(light - dark > 8.0)) return points;
  const double middle = 0.5 * (dark + light);
  const double sharpStep = kSharpStepShare * (light - dark);
  const int search = std::max(3, static_cast<int>(kStepSearch * radius));

  for (int ray = 0; ray < rays; ++ray) {
    const double* f = profile.data() + static_cast<std::size_t>(ray) * samples;
    if (f[samples - 1] < middle) continue;  // no light beyond: cut off, or something lies there
    int cross = samples - 1;
    while (cross > 0 && f[cross] >= middle) --cross;
    if (cross == 0) continue;
    // The step: the first sharp rise inwards from there, at its steepest.
    int at = -1;
    for (int i = std::min(cross + 1, samples - 2); i >= std::max(1, cross - search); --i) {
      if (f[i + 1] - f[i - 1] >= sharpStep) {
        at = i;
        break;
      }
    }
    if (at < 0) continue;
    const auto slope = [&](int i) { return f[i + 1] - f[i - 1]; };
    while (at + 1 < samples - 1 && slope(at + 1) > slope(at)) ++at;
    while (at - 1 >= 1 && slope(at - 1) > slope(at)) --at;
    double offset = 0.0;
    if (at >= 2 && at + 2 < samples) {
      const double a = slope(at - 1), b = slope(at), c = slope(at + 1);
      const double curve = a - 2.0 * b + c;
      if (curve < 0.0) offset = std::clamp(0.5 * (a - c) / curve, -0.5, 0.5);
    }
    const double angle = 2.0 * std::numbers::pi * ray / rays;
    const double r = first + at + offset;
    points.push_back({centre.x + r * std::cos(angle), centre.y - r * std::sin(angle)});
  }
  return points;
}

}  // namespace tivenor
