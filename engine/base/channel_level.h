#pragma once
// A pixel's level in one colour channel, and between pixel centres by bilinear interpolation:
// what a point of the disc looks like where it falls between pixels. The holes of a brown disc
// photographed on a white sheet stand out far more in blue than in red, so the slot reader reads
// the channel in which they stand out most. Pixels outside the raster read as black.

#include <cmath>
#include <cstdint>

#include "engine/base/raster.h"

namespace tivenor {

// The channel's bit offset in a pixel (red in the low byte).
enum class Channel : uint8_t { kRed = 0, kGreen = 8, kBlue = 16 };

inline uint32_t LevelOf(uint32_t pixel, Channel channel) {
  return (pixel >> static_cast<unsigned>(channel)) & 0xFFu;
}

inline const char* ChannelName(Channel channel) {
  switch (channel) {
    case Channel::kGreen:
      return "green";
    case Channel::kBlue:
      return "blue";
    case Channel::kRed:
      break;
  }
  return "red";
}

// Near the picture's edge, where a neighbour may lie outside.
double LevelAtEdge(const Raster& picture, double x, double y, Channel channel);

inline double LevelAt(const Raster& picture, double x, double y, Channel channel) {
  const auto x0 = static_cast<int32_t>(std::floor(x)), y0 = static_cast<int32_t>(std::floor(y));
  if (!(x0 >= 0 && y0 >= 0 && x0 + 1 < picture.width && y0 + 1 < picture.height)) {
    return LevelAtEdge(picture, x, y, channel);
  }
  // Inside, as nearly every point is: straight from the rows.
  const double fx = x - x0, fy = y - y0;
  const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y0) * picture.width + x0;
  const uint32_t* below = row + picture.width;
  return (1.0 - fy) * ((1.0 - fx) * LevelOf(row[0], channel) + fx * LevelOf(row[1], channel)) +
         fy * ((1.0 - fx) * LevelOf(below[0], channel) + fx * LevelOf(below[1], channel));
}

}  // namespace tivenor
