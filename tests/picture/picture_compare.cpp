#include "tests/picture/picture_compare.h"

#include <algorithm>
#include <cstdlib>

#include "engine/base/box_reduction.h"

namespace tivenor::testing {

PixelDifference ComparePixels(const Raster& read, const Raster& expected) {
  PixelDifference difference;
  difference.sameSize = read.width == expected.width && read.height == expected.height;
  if (!difference.sameSize) return difference;
  int64_t sum = 0;
  for (std::size_t i = 0; i < read.pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = std::abs(static_cast<int>((read.pixels[i] >> shift) & 0xFF) -
                             static_cast<int>((expected.pixels[i] >> shift) & 0xFF));
      sum += d;
      difference.largest = std::max(difference.largest, d);
    }
  }
  difference.mean = static_cast<double>(sum) / (3.0 * static_cast<double>(read.pixels.size()));
  return difference;
}

std::string FirstDifference(const Raster& read, const Raster& expected) {
  if (read.width != expected.width || read.height != expected.height) {
    return "size " + std::to_string(read.width) + " x " + std::to_string(read.height) +
           " instead of " + std::to_string(expected.width) + " x " +
           std::to_string(expected.height);
  }
  for (int32_t y = 0; y < read.height; ++y) {
    for (int32_t x = 0; x < read.width; ++x) {
      if (read.Pixel(x, y) != expected.Pixel(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
      }
    }
  }
  return "";
}

Raster BoxReduced(const Raster& picture, int factor) {
  Raster reduced;
  BoxReduction reduction(picture.width, picture.height, factor, reduced);
  for (int32_t y = 0; y < picture.height; ++y)
    reduction.AddRow(picture.pixels.data() + static_cast<std::size_t>(y) * picture.width);
  return reduced;
}

}  // namespace tivenor::testing
