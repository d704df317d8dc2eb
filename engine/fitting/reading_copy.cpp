#include "engine/fitting/reading_copy.h"

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

// Where one pixel of the copy lies along one axis of the picture in memory: the held pixels its
// block of `scale` file pixels covers, and how many file pixels of each.
struct Taps {
  std::vector<int32_t> first;   // per copy pixel, its first held pixel
  std::vector<int32_t> offset;  // per copy pixel, where its weights start in `weights`
  std::vector<uint32_t> weights;
};

Taps TapsAlong(int32_t copySide, int32_t scale, int32_t reduction) {
  Taps taps;
  taps.first.reserve(static_cast<std::size_t>(copySide));
  taps.offset.reserve(static_cast<std::size_t>(copySide) + 1);
  for (int32_t i = 0; i < copySide; ++i) {
    const int64_t from = int64_t{i} * scale, to = from + scale;  // file pixels
    taps.first.push_back(static_cast<int32_t>(from / reduction));
    taps.offset.push_back(static_cast<int32_t>(taps.weights.size()));
    for (int64_t held = from / reduction; held * reduction < to; ++held) {
      const int64_t overlap =
          std::min((held + 1) * reduction, to) - std::max(held * reduction, from);
      taps.weights.push_back(static_cast<uint32_t>(overlap));
    }
  }
  taps.offset.push_back(static_cast<int32_t>(taps.weights.size()));
  return taps;
}

}  // namespace

uint32_t ReadingCopy::EvenlyLit(uint32_t pixel, int32_t x, int32_t y) const {
  if (!plan_.evenLighting) return pixel;
  const double light = std::max(plan_.lighting.At(x, y), 1.0);
  return Scaled(pixel, static_cast<float>(plan_.lightingTarget / light));
}

int32_t ReadingCopy::CopySide(int32_t pictureSide) const {
  return static_cast<int32_t>(int64_t{pictureSide} * std::max(plan_.pictureReduction, 1) /
                              std::max(plan_.scale, 1));
}

void ReadingCopy::Read(const Raster& picture, Raster& into) const {
  const int32_t scale = std::max(plan_.scale, 1);
  const int32_t reduction = std::max(plan_.pictureReduction, 1);
  const int32_t width = CopySide(picture.width);
  const int32_t height = CopySide(picture.height);
  into.width = width;
  into.height = height;
  into.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const bool direct = scale == 1 && reduction == 1;

  const Taps across = TapsAlong(width, scale, reduction);
  const Taps down = TapsAlong(height, scale, reduction);
  // Held columns the copy reads.
  const int32_t columns =
      direct ? width
             : std::min(picture.width,
                        static_cast<int32_t>((int64_t{width} * scale + reduction - 1) / reduction));
  // Per held column, the weighted sums of one block row: red and blue in the two halves of one
  // word, green in another. A block's weights add up to scale x scale, at most 16 x 16, and
  // pixels of 255 then fit in 16 bits.
  std::vector<uint32_t> redBlue(direct ? 0 : static_cast<std::size_t>(columns));
  std::vector<uint32_t> green(redBlue.size());
  std::vector<uint32_t> line(plan_.evenLighting ? static_cast<std::size_t>(columns) : 0);
  const Circle& clear = plan_.clearCircle;
  const uint32_t area = static_cast<uint32_t>(scale * scale);
  // Rounded mean of a block's sum, by a multiplication: with sums below 2^24 and areas up to
  // 256, floor(2^32 / area) + 1 divides exactly.
  const uint64_t reciprocal = (uint64_t{1} << 32) / area + 1;
  const auto mean = [&](uint32_t sum) {
    return static_cast<uint32_t>((uint64_t{sum + area / 2} * reciprocal) >> 32);
  };
  const uint32_t light = plan_.lightColour;
  // A held pixel stands for the file pixel at the middle of its block.
  const double middle = 0.5 * (reduction - 1);
  for (int32_t outY = 0; outY < height; ++outY) {
    std::fill(redBlue.begin(), redBlue.end(), 0u);
    std::fill(green.begin(), green.end(), 0u);
    uint32_t* out = into.pixels.data() + static_cast<std::size_t>(outY) * width;
    const auto firstRow = static_cast<std::size_t>(down.offset[static_cast<std::size_t>(outY)]);
    const auto lastRow = static_cast<std::size_t>(down.offset[static_cast<std::size_t>(outY) + 1]);
    for (std::size_t tap = firstRow; tap < lastRow; ++tap) {
      const int32_t y =
          down.first[static_cast<std::size_t>(outY)] + static_cast<int32_t>(tap - firstRow);
      const uint32_t weight = down.weights[tap];
      const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
      const double fileY = y * reduction + middle;
      // The columns inside the disc's circle; everything else is background when cleared.
      int32_t first = 0, last = columns - 1;
      if (plan_.clearOutside) {
        const double dy = fileY - clear.centreY;
        const double reach = clear.radius * clear.radius - dy * dy;
        const double half = reach > 0.0 ? std::sqrt(reach) : -1.0;
        first =
            std::clamp(static_cast<int32_t>(std::ceil((clear.centreX - half - middle) / reduction)),
                       0, columns);
        last = std::clamp(
            static_cast<int32_t>(std::floor((clear.centreX + half - middle) / reduction)),
            first - 1, columns - 1);
      }
      if (plan_.evenLighting) {
        // Along a row the lighting is a quadratic in x: A + B u + C u², u = x / width.
        const auto& c = plan_.lighting.coefficients;
        const double v = fileY / plan_.lighting.height;
        const double a = c[0] + c[2] * v + c[5] * v * v, b = c[1] + c[4] * v, q = c[3];
        const double du = 1.0 / plan_.lighting.width;
        for (int32_t x = first; x <= last; ++x) {
          const double u = (x * reduction + middle) * du;
          const double brightness = std::max(a + u * (b + q * u), 1.0);
          line[static_cast<std::size_t>(x)] =
              Scaled(row[x], static_cast<float>(plan_.lightingTarget / brightness));
        }
        row = line.data();
      }
      if (direct) {
        for (int32_t x = 0; x < first; ++x) out[x] = light;
        for (int32_t x = first; x <= last; ++x) out[x] = AwayFromMarks(row[x]);
        for (int32_t x = last + 1; x < columns; ++x) out[x] = light;
        continue;
      }
      uint32_t* rb = redBlue.data();
      uint32_t* g = green.data();
      const uint32_t lightRedBlue = (light & 0x00FF00FFu) * weight;
      const uint32_t lightGreen = ((light >> 8) & 0xFFu) * weight;
      for (int32_t x = 0; x < first; ++x) {
        rb[x] += lightRedBlue;
        g[x] += lightGreen;
      }
      if (weight == 1) {
        for (int32_t x = first; x <= last; ++x) {
          rb[x] += row[x] & 0x00FF00FFu;
          g[x] += (row[x] >> 8) & 0xFFu;
        }
      } else {
        for (int32_t x = first; x <= last; ++x) {
          rb[x] += (row[x] & 0x00FF00FFu) * weight;
          g[x] += ((row[x] >> 8) & 0xFFu) * weight;
        }
      }
      for (int32_t x = last + 1; x < columns; ++x) {
        rb[x] += lightRedBlue;
        g[x] += lightGreen;
      }
    }
    if (direct) continue;
    for (int32_t x = 0; x < width; ++x) {
      uint32_t rb = 0, g = 0;
      const auto from = static_cast<std::size_t>(across.offset[static_cast<std::size_t>(x)]);
      const auto to = static_cast<std::size_t>(across.offset[static_cast<std::size_t>(x) + 1]);
      const auto held = static_cast<std::size_t>(across.first[static_cast<std::size_t>(x)]);
      for (std::size_t tap = from; tap < to; ++tap) {
        rb += redBlue[held + (tap - from)] * across.weights[tap];
        g += green[held + (tap - from)] * across.weights[tap];
      }
      out[x] = AwayFromMarks(mean(rb & 0xFFFFu) | mean(g) << 8 | mean(rb >> 16) << 16);
    }
  }
}

void ReadingCopy::ProjectMarks(const Raster& marked, Raster& picture) const {
  const int64_t scale = std::max(plan_.scale, 1);
  const int64_t reduction = std::max(plan_.pictureReduction, 1);
  // The held pixels the block of copy pixel i covers, partly or wholly.
  const auto from = [&](int32_t i) { return static_cast<int32_t>(i * scale / reduction); };
  const auto to = [&](int32_t i) {
    return static_cast<int32_t>(((i + 1) * scale + reduction - 1) / reduction);
  };
  for (int32_t y = 0; y < marked.height; ++y) {
    const uint32_t* row = marked.pixels.data() + static_cast<std::size_t>(y) * marked.width;
    for (int32_t x = 0; x < marked.width; ++x) {
      if (!IsMark(row[x])) continue;
      for (int32_t by = from(y); by < to(y); ++by)
        for (int32_t bx = from(x); bx < to(x); ++bx) picture.SetPixel(bx, by, row[x]);
    }
  }
}

PixelPoint ReadingCopy::ToPicture(PixelPoint point) const {
  const int64_t scale = std::max(plan_.scale, 1);
  const int64_t twice = 2 * int64_t{std::max(plan_.pictureReduction, 1)};
  // The middle of the copy pixel's block, (i + 1/2) x scale file pixels, in held pixels.
  const auto along = [&](int32_t i) {
    const int64_t numerator = (2 * int64_t{i} + 1) * scale;
    return static_cast<int32_t>(numerator >= 0 ? numerator / twice
                                               : -((-numerator + twice - 1) / twice));
  };
  return {along(point.x), along(point.y)};
}

double ReadingCopy::ToPictureCoordinate(double copyCoordinate) const {
  const double scale = std::max(plan_.scale, 1);
  return (copyCoordinate + 0.5) * scale - 0.5;
}

}  // namespace tivenor
