#include "analysis/raster.h"

#include <algorithm>
#include <cstdlib>

namespace tivenor {

void Raster::Resize(int32_t newWidth, int32_t newHeight, uint32_t colour) {
  width = std::max(newWidth, 0);
  height = std::max(newHeight, 0);
  pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), colour);
}

void Raster::Release() {
  width = 0;
  height = 0;
  std::vector<uint32_t>().swap(pixels);
}

void FillEllipse(Raster& raster, int32_t left, int32_t top, int32_t right, int32_t bottom,
                 uint32_t colour) {
  // Work in doubled coordinates so that centres and semi-axes are whole numbers.
  const int64_t cx2 = int64_t{left} + right;
  const int64_t cy2 = int64_t{top} + bottom;
  const int64_t a = int64_t{right} - left;  // twice the semi-axis, = doubled-space semi-axis
  const int64_t b = int64_t{bottom} - top;
  if (a <= 0 || b <= 0) return;
  const int32_t x0 = std::max(left, 0);
  const int32_t x1 = std::min(right, raster.width);
  const int32_t y0 = std::max(top, 0);
  const int32_t y1 = std::min(bottom, raster.height);
  const long double a2 = static_cast<long double>(a) * a;
  const long double b2 = static_cast<long double>(b) * b;
  for (int32_t y = y0; y < y1; ++y) {
    const int64_t dy = 2 * int64_t{y} + 1 - cy2;
    for (int32_t x = x0; x < x1; ++x) {
      const int64_t dx = 2 * int64_t{x} + 1 - cx2;
      // (dx/a)^2 + (dy/b)^2 <= 1, exactly, in integers where they fit.
      if (static_cast<long double>(dx) * dx * b2 + static_cast<long double>(dy) * dy * a2 <=
          a2 * b2) {
        raster.SetPixel(x, y, colour);
      }
    }
  }
}

void DrawLine(Raster& raster, PixelPoint from, PixelPoint to, uint32_t colour) {
  int64_t x = from.x;
  int64_t y = from.y;
  const int64_t dx = std::llabs(int64_t{to.x} - from.x);
  const int64_t dy = -std::llabs(int64_t{to.y} - from.y);
  const int64_t sx = from.x < to.x ? 1 : -1;
  const int64_t sy = from.y < to.y ? 1 : -1;
  int64_t err = dx + dy;
  for (;;) {
    raster.SetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y), colour);
    if (x == to.x && y == to.y) break;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

}  // namespace tivenor
