#include "engine/slots/ring_threshold.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace tivenor {

namespace {

// Every other row and column tells the levels as well as all of them.
constexpr int32_t kStride = 2;
// Two levels closer than this are noise on one surface, not a disc and its holes.
constexpr double kLeastSeparation = 16.0;
constexpr int64_t kLeastPixels = 64;
constexpr Channel kChannels[] = {Channel::kRed, Channel::kGreen, Channel::kBlue};

using Histogram = std::array<int64_t, 256>;

struct Split {
  int threshold = -1;
  double between = -1.0;  // the between-class variance times the pixels squared
  double separation = 0.0;
};

Split OtsuSplit(const Histogram& counts, int64_t total) {
  double sumAll = 0.0;
  for (int level = 0; level < 256; ++level) sumAll += level * static_cast<double>(counts[level]);
  double sumBelow = 0.0;
  int64_t below = 0;
  Split split;
  for (int level = 0; level < 255; ++level) {
    below += counts[level];
    sumBelow += level * static_cast<double>(counts[level]);
    const int64_t above = total - below;
    if (below == 0 || above == 0) continue;
    const double meanBelow = sumBelow / static_cast<double>(below);
    const double meanAbove = (sumAll - sumBelow) / static_cast<double>(above);
    const double between = static_cast<double>(below) * static_cast<double>(above) *
                           (meanAbove - meanBelow) * (meanAbove - meanBelow);
    if (between > split.between) {
      split.between = between;
      split.threshold = level;
      split.separation = meanAbove - meanBelow;
    }
  }
  return split;
}

}  // namespace

std::optional<RingLevels> RingThreshold(const Raster& picture, const PixelRing& ring) {
  std::array<Histogram, 3> counts{};
  int64_t total = 0;
  const auto yFirst =
      std::max<int32_t>(0, static_cast<int32_t>(std::ceil(ring.centreY - ring.outer)));
  const auto yLast = std::min<int32_t>(picture.height - 1,
                                       static_cast<int32_t>(std::floor(ring.centreY + ring.outer)));
  const double inner2 = ring.inner * ring.inner, outer2 = ring.outer * ring.outer;
  for (int32_t y = yFirst; y <= yLast; y += kStride) {
    const double dy = y - ring.centreY;
    const double reach = std::sqrt(std::max(outer2 - dy * dy, 0.0));
    const auto xFirst = std::max<int32_t>(0, static_cast<int32_t>(std::ceil(ring.centreX - reach)));
    const auto xLast = std::min<int32_t>(picture.width - 1,
                                         static_cast<int32_t>(std::floor(ring.centreX + reach)));
    const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
    for (int32_t x = xFirst; x <= xLast; x += kStride) {
      const double dx = x - ring.centreX;
      const double d2 = dx * dx + dy * dy;
      if (d2 <= inner2 || d2 >= outer2) continue;
      const uint32_t pixel = row[x];
      ++counts[0][pixel & 0xFFu];
      ++counts[1][(pixel >> 8) & 0xFFu];
      ++counts[2][(pixel >> 16) & 0xFFu];
      ++total;
    }
  }
  if (total < kLeastPixels) return std::nullopt;
  std::optional<RingLevels> best;
  double bestBetween = 0.0;
  for (std::size_t c = 0; c < counts.size(); ++c) {
    const Split split = OtsuSplit(counts[c], total);
    if (split.threshold < 0 || split.separation < kLeastSeparation) continue;
    if (!best || split.between > bestBetween) {
      best = RingLevels{kChannels[c], split.threshold};
      bestBetween = split.between;
    }
  }
  return best;
}

}  // namespace tivenor
