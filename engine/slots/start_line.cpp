#include "engine/slots/start_line.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "engine/base/channel_level.h"

namespace tivenor {

namespace {

constexpr double kStepDegrees = 0.2;
// The band searched, as shares of the label's radius (or of the ring's inner radius): clear of
// the spindle's clamp, inside the label's edge.
constexpr double kBandInner = 0.42;
constexpr double kBandOuter = 0.9;
// A ray is dark only where this share of its points is dark: a line darkens all of it, text at
// most about half.
constexpr double kDarkShare = 0.8;
// The level round a direction: from this far either side, leaving out the line itself.
constexpr double kAroundDegrees = 4.0;
constexpr double kLineHalfWidthDegrees = 1.2;
// A line stands out by this many levels, and by this many times the next darkest direction.
constexpr double kLeastDepth = 12.0;
constexpr double kLeastLead = 1.4;
constexpr int kStretches = 3;
constexpr int kSampledRays = 7;
constexpr double kInkShare = 0.01;    // the darkest print: this share of the band is darker
constexpr double kDarkEnough = 0.45;  // of the way from that ink to the paper, at most
constexpr int kLeastSamples = 8 * kStretches;

double Median(std::vector<double>& values) {
  const auto middle = values.begin() + static_cast<long>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

}  // namespace

std::optional<double> FindStartLine(const Raster& picture, const DiscFrame& frame,
                                    const DiscFormat& format, Channel channel) {
  const double reach = format.labelRadius > 0.0 ? format.labelRadius : format.ringInner;
  const double inner = kBandInner * reach * frame.rimRadius;
  const double outer = kBandOuter * reach * frame.rimRadius;
  const auto samples = static_cast<int>(outer - inner);
  if (samples < kLeastSamples) return std::nullopt;
  const auto rays = static_cast<int>(std::lround(360.0 / kStepDegrees));

  // Each direction's level where most of its ray is dark, in three stretches of the band: a
  // line through the centre is dark in all three at one angle, a row of text that a ray runs
  // nearly along is dark in each at another.
  const auto around = static_cast<int>(kAroundDegrees / kStepDegrees);
  const auto skip = static_cast<int>(kLineHalfWidthDegrees / kStepDegrees);
  const int stretch = samples / kStretches;
  std::vector<double> depth(static_cast<std::size_t>(rays),
                            std::numeric_limits<double>::infinity());
  std::vector<std::vector<double>> profiles(kStretches,
                                            std::vector<double>(static_cast<std::size_t>(rays)));
  std::vector<double> levels(static_cast<std::size_t>(stretch));
  std::vector<double> near;
  std::vector<double> sampled;  // a share of every level, for the darkest print there is
  for (int part = 0; part < kStretches; ++part) {
    std::vector<double>& profile = profiles[static_cast<std::size_t>(part)];
    for (int ray = 0; ray < rays; ++ray) {
      const double angle = ray * kStepDegrees * std::numbers::pi / 180.0;
      const double cx = std::cos(angle), cy = -std::sin(angle);
      for (int i = 0; i < stretch; ++i) {
        const double r = inner + part * stretch + i;
        levels[static_cast<std::size_t>(i)] =
            LevelAt(picture, frame.centreX + r * cx, frame.centreY + r * cy, channel);
      }
      if (ray % kSampledRays == 0) sampled.insert(sampled.end(), levels.begin(), levels.end());
      const auto at = levels.begin() + static_cast<long>(kDarkShare * (stretch - 1));
      std::nth_element(levels.begin(), at, levels.end());
      profile[static_cast<std::size_t>(ray)] = *at;
    }
    // How much darker each direction is than those round it, at its least over the stretches.
    for (int ray = 0; ray < rays; ++ray) {
      near.clear();
      for (int k = skip; k <= around; ++k) {
        near.push_back(profile[static_cast<std::size_t>((ray + k) % rays)]);
        near.push_back(profile[static_cast<std::size_t>((ray - k + rays) % rays)]);
      }
      double& d = depth[static_cast<std::size_t>(ray)];
      d = std::min(d, Median(near) - profile[static_cast<std::size_t>(ray)]);
    }
  }
  const auto deepest =
      static_cast<int>(std::max_element(depth.begin(), depth.end()) - depth.begin());
  const double best = depth[static_cast<std::size_t>(deepest)];
  double next = 0.0;
  for (int ray = 0; ray < rays; ++ray) {
    const int apart = std::min(std::abs(ray - deepest), rays - std::abs(ray - deepest));
    if (apart > 2 * around) next = std::max(next, depth[static_cast<std::size_t>(ray)]);
  }
  if (best < kLeastDepth || best < kLeastLead * next) return std::nullopt;
  // A printed line is as dark as the darkest print along all its length; a row of text through
  // the centre, its letters blurred together, is only grey.
  const auto inkAt = sampled.begin() + static_cast<long>(kInkShare * (sampled.size() - 1));
  std::nth_element(sampled.begin(), inkAt, sampled.end());
  const double ink = *inkAt;
  for (std::vector<double>& profile : profiles) {
    const double level = profile[static_cast<std::size_t>(deepest)];
    std::nth_element(profile.begin(), profile.begin() + rays / 2, profile.end());
    const double paper = profile[static_cast<std::size_t>(rays / 2)];
    if (level > ink + kDarkEnough * (paper - ink)) return std::nullopt;
  }

  // The line's middle: the depth-weighted mean over its width.
  double sum = 0.0, weight = 0.0;
  for (int k = -skip; k <= skip; ++k) {
    const double d = depth[static_cast<std::size_t>((deepest + k + rays) % rays)];
    if (d <= 0.5 * best) continue;
    sum += k * d;
    weight += d;
  }
  const double pictureAngle = WrapDegrees((deepest + sum / weight) * kStepDegrees);
  return frame.MusicAngle(pictureAngle);
}

}  // namespace tivenor
