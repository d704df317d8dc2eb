#include "engine/base/channel_level.h"

namespace tivenor {

double LevelAtEdge(const Raster& picture, double x, double y, Channel channel) {
  const auto x0 = static_cast<int32_t>(std::floor(x)), y0 = static_cast<int32_t>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto level = [&](int32_t px, int32_t py) {
    return static_cast<double>(LevelOf(picture.Pixel(px, py), channel));
  };
  return (1.0 - fy) * ((1.0 - fx) * level(x0, y0) + fx * level(x0 + 1, y0)) +
         fy * ((1.0 - fx) * level(x0, y0 + 1) + fx * level(x0 + 1, y0 + 1));
}

}  // namespace tivenor
