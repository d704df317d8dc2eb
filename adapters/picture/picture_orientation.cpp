#include "adapters/picture/picture_orientation.h"

#include <algorithm>
#include <utility>

namespace tivenor {

Orientation OrientationFromTag(int tag) {
  switch (tag) {
    case 2:  // mirrored
      return {true, false, false};
    case 3:  // upside down
      return {true, true, false};
    case 4:  // flipped
      return {false, true, false};
    case 5:  // rows are columns: flipped and turned
      return {false, true, true};
    case 6:  // lying on its left side
      return {false, false, true};
    case 7:  // rows are columns the other way: mirrored and turned
      return {true, false, true};
    case 8:  // lying on its right side: three quarter turns
      return {true, true, true};
    default:
      return {};
  }
}

void TurnUpright(Raster& picture, Orientation orientation, Raster& spare) {
  const auto width = static_cast<std::size_t>(picture.width);
  const auto height = static_cast<std::size_t>(picture.height);
  if (orientation.mirror) {
    for (std::size_t y = 0; y < height; ++y) {
      uint32_t* row = picture.pixels.data() + y * width;
      std::reverse(row, row + width);
    }
  }
  if (orientation.flip) {
    for (std::size_t y = 0; y < height / 2; ++y) {
      std::swap_ranges(
          picture.pixels.begin() + static_cast<std::ptrdiff_t>(y * width),
          picture.pixels.begin() + static_cast<std::ptrdiff_t>((y + 1) * width),
          picture.pixels.begin() + static_cast<std::ptrdiff_t>((height - 1 - y) * width));
    }
  }
  if (!orientation.quarterTurn) return;
  // A quarter turn clockwise: the stored bottom row becomes the left column.
  spare.ResizeForOverwrite(picture.height, picture.width);
  // Blocks of rows and columns that stay in the cache while they are turned.
  constexpr std::size_t kBlock = 64;
  for (std::size_t y0 = 0; y0 < height; y0 += kBlock) {
    for (std::size_t x0 = 0; x0 < width; x0 += kBlock) {
      for (std::size_t y = y0; y < std::min(y0 + kBlock, height); ++y) {
        const uint32_t* row = picture.pixels.data() + y * width;
        for (std::size_t x = x0; x < std::min(x0 + kBlock, width); ++x)
          spare.pixels[x * height + (height - 1 - y)] = row[x];
      }
    }
  }
  std::swap(picture, spare);
}

}  // namespace tivenor
