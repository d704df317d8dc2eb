#include "engine/fitting/reading_copy.h"

#include <algorithm>
#include <bit>
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

  const int32_t columns = width * scale;
  // Per picture column, the sums of one block row: red and blue in the two halves of one word,
  // green in another. A block holds at most 16 x 16 pixels of 255, which fits in 16 bits.
  std::vector<uint32_t> redBlue(scale > 1 ? static_cast<std::size_t>(columns) : 0);
  std::vector<uint32_t> green(redBlue.size());
  std::vector<uint32_t> line(plan_.evenLighting ? static_cast<std::size_t>(columns) : 0);
  const Circle& clear = plan_.clearCircle;
  const uint32_t area = static_cast<uint32_t>(scale * scale);
  // Rounded mean of a block's sum; a shift where the block's area is a power of two.
  const int shift = std::has_single_bit(area) ? std::countr_zero(area) : -1;
  const auto mean = [&](uint32_t sum) {
    return shift >= 0 ? (sum + area / 2) >> shift : (sum + area / 2) / area;
  };
  const uint32_t light = plan_.lightColour;
  for (int32_t outY = 0; outY < height; ++outY) {
    std::fill(redBlue.begin(), redBlue.end(), 0u);
    std::fill(green.begin(), green.end(), 0u);
    uint32_t* out = into.pixels.data() + static_cast<std::size_t>(outY) * width;
    for (int32_t y = outY * scale; y < (outY + 1) * scale; ++y) {
      const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
      // The columns inside the disc's circle; everything else is background when cleared.
      int32_t first = 0, last = columns - 1;
      if (plan_.clearOutside) {
        const double dy = y - clear.centreY;
        const double reach = clear.radius * clear.radius - dy * dy;
        const double half = reach > 0.0 ? std::sqrt(reach) : -1.0;
        first = std::clamp(static_cast<int32_t>(std::ceil(clear.centreX - half)), 0, columns);
        last = std::clamp(static_cast<int32_t>(std::floor(clear.centreX + half)), first - 1,
                          columns - 1);
      }
      if (plan_.evenLighting) {
        // Along a row the lighting is a quadratic in x: A + B u + C u², u = x / width.
        const auto& c = plan_.lighting.coefficients;
        const double v = y / plan_.lighting.height;
        const double a = c[0] + c[2] * v + c[5] * v * v, b = c[1] + c[4] * v, q = c[3];
        const double du = 1.0 / plan_.lighting.width;
        for (int32_t x = first; x <= last; ++x) {
          const double u = x * du;
          const double brightness = std::max(a + u * (b + q * u), 1.0);
          line[static_cast<std::size_t>(x)] =
              Scaled(row[x], static_cast<float>(plan_.lightingTarget / brightness));
        }
        row = line.data();
      }
      if (scale == 1) {
        for (int32_t x = 0; x < first; ++x) out[x] = light;
        for (int32_t x = first; x <= last; ++x) out[x] = AwayFromMarks(row[x]);
        for (int32_t x = last + 1; x < columns; ++x) out[x] = light;
        continue;
      }
      uint32_t* rb = redBlue.data();
      uint32_t* g = green.data();
      for (int32_t x = 0; x < first; ++x) {
        rb[x] += light & 0x00FF00FFu;
        g[x] += (light >> 8) & 0xFFu;
      }
      for (int32_t x = first; x <= last; ++x) {
        rb[x] += row[x] & 0x00FF00FFu;
        g[x] += (row[x] >> 8) & 0xFFu;
      }
      for (int32_t x = last + 1; x < columns; ++x) {
        rb[x] += light & 0x00FF00FFu;
        g[x] += (light >> 8) & 0xFFu;
      }
    }
    if (scale == 1) continue;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t rb = 0, g = 0;
      const std::size_t block = static_cast<std::size_t>(x) * static_cast<std::size_t>(scale);
      for (std::size_t k = 0; k < static_cast<std::size_t>(scale); ++k) {
        rb += redBlue[block + k];
        g += green[block + k];
      }
      out[x] = AwayFromMarks(mean(rb & 0xFFFFu) | mean(g) << 8 | mean(rb >> 16) << 16);
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

double ReadingCopy::ToPictureCoordinate(double copyCoordinate) const {
  const double scale = std::max(plan_.scale, 1);
  return (copyCoordinate + 0.5) * scale - 0.5;
}

}  // namespace tivenor
