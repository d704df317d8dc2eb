#include "engine/base/raster.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace tivenor {

namespace {

constexpr std::size_t kPageBytes = 4096;
constexpr std::size_t kHugePageBytes = 2u << 20;

// Large rasters ask the system for huge memory pages: touching 30 MB of new memory then costs a
// fifth of the time, and passes over the pixels miss the address cache less. Storage too small
// for `count` pixels is given back before new storage is taken, so that two never live at once.
void ReservePixels(std::vector<uint32_t>& pixels, std::size_t count) {
  if (pixels.capacity() >= count) return;
  std::vector<uint32_t>().swap(pixels);
  pixels.reserve(count);
  const std::size_t bytes = count * sizeof(uint32_t);
  if (bytes < 2 * kHugePageBytes) return;
  // The advice covers whole pages inside the storage.
  auto* begin = reinterpret_cast<char*>(pixels.data());
  const auto start = reinterpret_cast<std::uintptr_t>(begin);
  const std::size_t skip = (kPageBytes - start % kPageBytes) % kPageBytes;
  const std::size_t length = (bytes - skip) / kPageBytes * kPageBytes;
  // Only advice: where huge pages are not offered, the pixels live in small ones.
  madvise(begin + skip, length, MADV_HUGEPAGE);
}

std::size_t PixelCount(int32_t width, int32_t height) {
  return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

void Raster::Resize(int32_t newWidth, int32_t newHeight, uint32_t colour) {
  width = std::max(newWidth, 0);
  height = std::max(newHeight, 0);
  ReservePixels(pixels, PixelCount(width, height));
  pixels.assign(PixelCount(width, height), colour);
}

void Raster::ResizeForOverwrite(int32_t newWidth, int32_t newHeight) {
  width = std::max(newWidth, 0);
  height = std::max(newHeight, 0);
  ReservePixels(pixels, PixelCount(width, height));
  pixels.resize(PixelCount(width, height));
}

void Raster::CopyFrom(const Raster& from) {
  if (this == &from) return;
  ReservePixels(pixels, from.pixels.size());
  width = from.width;
  height = from.height;
  pixels.assign(from.pixels.begin(), from.pixels.end());
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
