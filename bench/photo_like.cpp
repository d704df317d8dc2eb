#include "bench/photo_like.h"

#include <algorithm>
#include <cmath>

#include "engine/disc/geometry.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::bench {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kDiscShareOfSide = 0.9;
constexpr double kCornerLight = 0.75;
constexpr uint32_t kSheet = 0x00D8DEE2;

uint32_t Hash(uint32_t x, uint32_t y) {
  uint64_t h = (uint64_t{x} << 32 | y) * 0x9E3779B97F4A7C15ull;
  h ^= h >> 31;
  h *= 0xBF58476D1CE4E5B9ull;
  return static_cast<uint32_t>(h >> 32);
}

// The pixel as the camera gives it: dimmed by the lens towards the corners, with noise.
uint32_t Photographed(uint32_t pixel, double light, uint32_t noise) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double value =
        static_cast<double>((pixel >> shift) & 0xFFu) * light + static_cast<int>(noise % 17) - 8;
    out |= static_cast<uint32_t>(std::clamp(std::lround(value), 0L, 255L)) << shift;
  }
  return out;
}

testing::DiscOptions Scanned(double pixelsPerMm, double marginMm) {
  testing::DiscOptions options = testing::RealSizeScan(pixelsPerMm * kMmPerInch, 0);
  options.supersampling = 1;
  options.marginMm = marginMm;
  options.lightColour = kSheet;
  return options;
}

}  // namespace

Raster PhotoLikeDisc(int32_t width, int32_t height) {
  const int32_t shorter = std::min(width, height);
  const double pixelsPerMm = kDiscShareOfSide * shorter / DiscDiameterMm;
  const double marginMm = (shorter / pixelsPerMm - DiscDiameterMm) / 2 - 0.5;
  const Raster disc = testing::RenderDisc(testing::SampleMelody(), Scanned(pixelsPerMm, marginMm));
  Raster photo;
  photo.Resize(width, height, kSheet);
  const int32_t left = (width - disc.width) / 2, top = (height - disc.height) / 2;
  const double w = width, h = height;
  const double halfDiagonal2 = 0.25 * (w * w + h * h);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t pixel =
          disc.Contains(x - left, y - top) ? disc.Pixel(x - left, y - top) : kSheet;
      const double dx = x - 0.5 * width, dy = y - 0.5 * height;
      const double light = 1.0 - (1.0 - kCornerLight) * (dx * dx + dy * dy) / halfDiagonal2;
      photo.SetPixel(
          x, y,
          Photographed(pixel, light, Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y))));
    }
  }
  return photo;
}

Raster ScanOfSide(int32_t side) {
  constexpr double kMarginMm = 4.0;
  const double pixelsPerMm = side / (DiscDiameterMm + 2 * kMarginMm);
  testing::DiscOptions options = Scanned(pixelsPerMm, kMarginMm);
  options.noise = 3;
  return testing::RenderDisc(testing::SampleMelody(), options);
}

}  // namespace tivenor::bench
