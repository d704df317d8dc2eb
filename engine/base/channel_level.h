#pragma once
// The red level between pixel centres, by bilinear interpolation: what a point of the disc looks
// like where it falls between pixels. Pixels outside the raster read as black.

#include <cmath>
#include <cstdint>

#include "engine/base/raster.h"

namespace tivenor {

inline double RedLevelAt(const Raster& picture, double x, double y) {
  const auto x0 = static_cast<int32_t>(std::floor(x)), y0 = static_cast<int32_t>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  if (x0 >= 0 && y0 >= 0 && x0 + 1 < picture.width && y0 + 1 < picture.height) {
    // Inside, as nearly every point is: straight from the rows.
    const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y0) * picture.width + x0;
    const uint32_t* below = row + picture.width;
    return (1.0 - fy) * ((1.0 - fx) * (row[0] & 0xFFu) + fx * (row[1] & 0xFFu)) +
           fy * ((1.0 - fx) * (below[0] & 0xFFu) + fx * (below[1] & 0xFFu));
  }
  const auto red = [&](int32_t px, int32_t py) {
    return static_cast<double>(picture.Pixel(px, py) & 0xFFu);
  };
  return (1.0 - fy) * ((1.0 - fx) * red(x0, y0) + fx * red(x0 + 1, y0)) +
         fy * ((1.0 - fx) * red(x0, y0 + 1) + fx * red(x0 + 1, y0 + 1));
}

}  // namespace tivenor
