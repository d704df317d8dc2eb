#include "fitting/reading_copy.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tivenor {

namespace {

bool IsMark(uint32_t pixel) {
  return pixel == kRed || pixel == kGreen || pixel == kBlue || pixel == kYellow;
}

// A picture pixel that happens to have a mark's colour is moved off it by one step of green,
// which changes neither its red byte nor which side of any threshold its whole value lies.
uint32_t AwayFromMarks(uint32_t pixel) {
  if (!IsMark(pixel)) return pixel;
  return (pixel & 0xFF00u) != 0 ? pixel - 0x100u : pixel + 0x100u;
}

uint32_t Scaled(uint32_t pixel, float gain) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const float value = static_cast<float>((pixel >> shift) & 0xFFu) * gain + 0.5f;
    out |= static_cast<uint32_t>(std::min(value, 255.0f)) << shift;
  }
  return out;
}

}  // namespace

uint32_t ReadingCopy::EvenlyLit(uint32_t pixel, int32_t x, int32_t y) const {
  if (!plan_.evenLighting) return pixel;
  const double light = std::max(plan_.lighting.At(x, y), 1.0);
  return Scaled(pixel, static_cast<float>(plan_.lightingTarget / light));
}

void ReadingCopy::Read(const Raster& picture, Raster& into) const {
  const int32_t scale = std::max(plan_.scale, 1);
  const int32_t width = picture.width / scale;
  const int32_t height = picture.height / scale;
  into.width = width;
  into.height = height;
  into.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

  std::vector<uint32_t> line(static_cast<std::size_t>(width) * scale);
  std::vector<uint32_t> sums(static_cast<std::size_t>(width) * 3);
  const Circle& clear = plan_.clearCircle;
  const uint32_t area = static_cast<uint32_t>(scale * scale);
  for (int32_t outY = 0; outY < height; ++outY) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int32_t y = outY * scale; y < (outY + 1) * scale; ++y) {
      const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
      // The columns inside the disc's circle; everything else is background when cleared.
      int32_t first = 0, last = width * scale - 1;
      if (plan_.clearOutside) {
        const double dy = y - clear.centreY;
        const double reach = clear.radius * clear.radius - dy * dy;
        const double half = reach > 0.0 ? std::sqrt(reach) : -1.0;
        first = std::max(first, static_cast<int32_t>(std::ceil(clear.centreX - half)));
        last = std::min(last, static_cast<int32_t>(std::floor(clear.centreX + half)));
      }
      const int32_t columns = width * scale;
      for (int32_t x = 0; x < columns; ++x) {
        line[static_cast<std::size_t>(x)] = (x < first || x > last) ? plan_.lightColour : row[x];
      }
      if (plan_.evenLighting) {
        // Along a row the lighting is a quadratic in x: evaluate it once per pixel, no calls.
        for (int32_t x = std::max(first, 0); x <= last; ++x) {
          const double light = std::max(plan_.lighting.At(x, y), 1.0);
          line[static_cast<std::size_t>(x)] =
              Scaled(row[x], static_cast<float>(plan_.lightingTarget / light));
        }
      }
      if (scale == 1) {
        uint32_t* out = into.pixels.data() + static_cast<std::size_t>(outY) * width;
        for (int32_t x = 0; x < width; ++x)
          out[x] = AwayFromMarks(line[static_cast<std::size_t>(x)]);
        continue;
      }
      for (int32_t x = 0; x < columns; ++x) {
        const uint32_t pixel = line[static_cast<std::size_t>(x)];
        uint32_t* sum = sums.data() + static_cast<std::size_t>(x / scale) * 3;
        sum[0] += pixel & 0xFFu;
        sum[1] += (pixel >> 8) & 0xFFu;
        sum[2] += (pixel >> 16) & 0xFFu;
      }
    }
    if (scale == 1) continue;
    uint32_t* out = into.pixels.data() + static_cast<std::size_t>(outY) * width;
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t* sum = sums.data() + static_cast<std::size_t>(x) * 3;
      const uint32_t pixel = (sum[0] + area / 2) / area | ((sum[1] + area / 2) / area) << 8 |
                             ((sum[2] + area / 2) / area) << 16;
      out[x] = AwayFromMarks(pixel);
    }
  }
}

void ReadingCopy::ProjectMarks(const Raster& marked, Raster& picture) const {
  const int32_t scale = std::max(plan_.scale, 1);
  for (int32_t y = 0; y < marked.height; ++y) {
    const uint32_t* row = marked.pixels.data() + static_cast<std::size_t>(y) * marked.width;
    for (int32_t x = 0; x < marked.width; ++x) {
      if (!IsMark(row[x])) continue;
      for (int32_t by = y * scale; by < (y + 1) * scale; ++by)
        for (int32_t bx = x * scale; bx < (x + 1) * scale; ++bx) picture.SetPixel(bx, by, row[x]);
    }
  }
}

PixelPoint ReadingCopy::ToPicture(PixelPoint point) const {
  const int32_t scale = std::max(plan_.scale, 1);
  return {point.x * scale + scale / 2, point.y * scale + scale / 2};
}

}  // namespace tivenor
