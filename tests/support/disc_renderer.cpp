#include "tests/support/disc_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tivenor::testing {
namespace {

constexpr double kDiscRadiusMm = 57.0;

struct Geometry {
  double pixelsPerMm = 0.0;
  int32_t side = 0;
  double centre = 0.0;  // both coordinates; pixel (x, y) has its centre at (x, y)
};

Geometry GeometryOf(const DiscOptions& options) {
  Geometry g;
  g.pixelsPerMm = PixelsPerMm(options);
  g.side = static_cast<int32_t>(
      std::ceil((2.0 * kDiscRadiusMm + 2.0 * options.marginMm) * g.pixelsPerMm));
  g.centre = (g.side - 1) * 0.5;
  return g;
}

uint32_t Channel(uint32_t colour, int shift) {
  return (colour >> shift) & 0xFFu;
}

// Colour of a pixel that is `light` bright over that fraction of its area and dark elsewhere.
uint32_t Mix(uint32_t dark, uint32_t light, double lightFraction) {
  uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double d = Channel(dark, shift);
    const double l = Channel(light, shift);
    mixed |= static_cast<uint32_t>(std::lround(d + (l - d) * lightFraction)) << shift;
  }
  return mixed;
}

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
  uint64_t h = (uint64_t{x} << 32 | y) ^ (uint64_t{seed} * 0x9E3779B97F4A7C15ull);
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ull;
  h ^= h >> 33;
  return static_cast<uint32_t>(h);
}

uint32_t AddNoise(uint32_t colour, int offset) {
  uint32_t noisy = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int value = std::clamp(static_cast<int>(Channel(colour, shift)) + offset, 0, 255);
    noisy |= static_cast<uint32_t>(value) << shift;
  }
  return noisy;
}

// Offsets of the samples inside one pixel, centred on the pixel's centre.
std::vector<double> SampleOffsets(int supersampling) {
  const int n = std::max(supersampling, 1);
  std::vector<double> offsets;
  for (int i = 0; i < n; ++i) offsets.push_back((i + 0.5) / n - 0.5);
  return offsets;
}

// The dark ring between the centre hole and the rim, light elsewhere.
void DrawDisc(Raster& raster, const Geometry& g, const DiscOptions& options,
              const std::vector<double>& offsets) {
  const double rim = kDiscRadiusMm * g.pixelsPerMm;
  const double hole = options.centreHoleRadiusMm * g.pixelsPerMm;
  const double samples = static_cast<double>(offsets.size() * offsets.size());
  for (int32_t y = 0; y < g.side; ++y) {
    for (int32_t x = 0; x < g.side; ++x) {
      const double d = std::hypot(x - g.centre, y - g.centre);
      const bool nearEdge =
          offsets.size() > 1 && (std::abs(d - rim) < 1.0 || std::abs(d - hole) < 1.0);
      double light = 0.0;
      if (!nearEdge) {
        light = (d > rim || d <= hole) ? 1.0 : 0.0;
      } else {
        int lit = 0;
        for (double oy : offsets) {
          for (double ox : offsets) {
            const double ds = std::hypot(x + ox - g.centre, y + oy - g.centre);
            if (ds > rim || ds <= hole) ++lit;
          }
        }
        light = lit / samples;
      }
      raster.SetPixel(x, y, Mix(options.discColour, options.lightColour, light));
    }
  }
}

// A straight slot tangent to the pin's circle, its counter-clockwise end at the note point.
void DrawSlot(Raster& raster, const Geometry& g, const DiscOptions& options, const DiscNote& note,
              const std::vector<double>& offsets) {
  const double halfLength = 0.5 * options.holeLengthMm * g.pixelsPerMm;
  const double halfWidth = 0.5 * options.holeWidthMm * g.pixelsPerMm;
  const double r = PinRadiusMm(note.pin) * g.pixelsPerMm;
  // The slot's middle lies at radius rc, turned back so that its end is at radius r.
  const double rc = std::sqrt(r * r - halfLength * halfLength);
  const double angle =
      2.0 * std::numbers::pi * NoteDirection(note, GapSector(options)) - std::atan2(halfLength, rc);
  const double cx = g.centre + rc * std::cos(angle);
  const double cy = g.centre - rc * std::sin(angle);
  // Along the slot (counter-clockwise on the screen) and across it, with y downwards.
  const double ux = -std::sin(angle), uy = -std::cos(angle);
  const double vx = std::cos(angle), vy = -std::sin(angle);
  const double reach = halfLength + halfWidth + 1.0;
  const double samples = static_cast<double>(offsets.size() * offsets.size());
  for (auto y = static_cast<int32_t>(std::floor(cy - reach)); y <= std::ceil(cy + reach); ++y) {
    for (auto x = static_cast<int32_t>(std::floor(cx - reach)); x <= std::ceil(cx + reach); ++x) {
      int lit = 0;
      for (double oy : offsets) {
        for (double ox : offsets) {
          const double px = x + ox - cx, py = y + oy - cy;
          if (std::abs(px * ux + py * uy) <= halfLength &&
              std::abs(px * vx + py * vy) <= halfWidth) {
            ++lit;
          }
        }
      }
      if (lit > 0)
        raster.SetPixel(x, y, Mix(options.discColour, options.lightColour, lit / samples));
    }
  }
}

uint32_t Luma(uint32_t colour) {
  return (Channel(colour, 0) + 2 * Channel(colour, 8) + Channel(colour, 16) + 2) / 4;
}

// Round specks, each of the colour that stands out where it lies: dark on light, light on dark.
void DrawDust(Raster& raster, const Geometry& g, const DiscOptions& options) {
  const uint32_t middle = (Luma(options.discColour) + Luma(options.lightColour)) / 2;
  for (int i = 0; i < options.dustSpecks; ++i) {
    const auto n = static_cast<uint32_t>(i);
    const double x = Hash(n, 1, options.dustSeed) % static_cast<uint32_t>(g.side);
    const double y = Hash(n, 2, options.dustSeed) % static_cast<uint32_t>(g.side);
    const double radiusMm = 0.05 + 0.075 * (Hash(n, 3, options.dustSeed) % 1000) / 1000.0;
    const double r = radiusMm * g.pixelsPerMm;
    const bool onLight =
        Luma(raster.Pixel(static_cast<int32_t>(x), static_cast<int32_t>(y))) > middle;
    const uint32_t colour = onLight ? options.discColour : options.lightColour;
    for (auto py = static_cast<int32_t>(std::floor(y - r)); py <= std::ceil(y + r); ++py) {
      for (auto px = static_cast<int32_t>(std::floor(x - r)); px <= std::ceil(x + r); ++px) {
        if (std::hypot(px - x, py - y) <= r) raster.SetPixel(px, py, colour);
      }
    }
  }
}

void DrawFrame(Raster& raster, const DiscOptions& options) {
  const int32_t f = options.darkFramePx;
  for (int32_t y = 0; y < raster.height; ++y) {
    for (int32_t x = 0; x < raster.width; ++x) {
      if (x < f || y < f || x >= raster.width - f || y >= raster.height - f)
        raster.SetPixel(x, y, options.discColour);
    }
  }
}

// One box blur along rows (or columns), all three channels, edges repeated.
void BoxBlurPass(Raster& raster, int radius, bool alongRows) {
  const int32_t lines = alongRows ? raster.height : raster.width;
  const int32_t length = alongRows ? raster.width : raster.height;
  std::vector<uint32_t> line(static_cast<std::size_t>(length));
  const int window = 2 * radius + 1;
  for (int32_t l = 0; l < lines; ++l) {
    const auto at = [&](int32_t i) -> uint32_t {
      const int32_t c = std::clamp(i, 0, length - 1);
      return alongRows ? raster.Pixel(c, l) : raster.Pixel(l, c);
    };
    for (int32_t i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = at(i);
    for (int shift = 0; shift < 24; shift += 8) {
      int sum = 0;
      for (int i = -radius; i <= radius; ++i)
        sum += Channel(line[static_cast<std::size_t>(std::clamp(i, 0, length - 1))], shift);
      for (int32_t i = 0; i < length; ++i) {
        const uint32_t value = static_cast<uint32_t>((sum + window / 2) / window);
        const uint32_t old = alongRows ? raster.Pixel(i, l) : raster.Pixel(l, i);
        const uint32_t updated = (old & ~(0xFFu << shift)) | value << shift;
        if (alongRows) {
          raster.SetPixel(i, l, updated);
        } else {
          raster.SetPixel(l, i, updated);
        }
        sum += Channel(line[static_cast<std::size_t>(std::clamp(i + radius + 1, 0, length - 1))],
                       shift);
        sum -=
            Channel(line[static_cast<std::size_t>(std::clamp(i - radius, 0, length - 1))], shift);
      }
    }
  }
}

void Blur(Raster& raster, double radiusPx) {
  const int radius = static_cast<int>(std::lround(radiusPx));
  if (radius <= 0) return;
  for (int pass = 0; pass < 2; ++pass) {
    BoxBlurPass(raster, radius, true);
    BoxBlurPass(raster, radius, false);
  }
}

// Less light towards the top-left corner: along the diagonal, or with the distance from it.
void DimLighting(Raster& raster, const DiscOptions& options) {
  const double w = raster.width - 1.0, h = raster.height - 1.0;
  const double diagonal = std::hypot(w, h);
  for (int32_t y = 0; y < raster.height; ++y) {
    for (int32_t x = 0; x < raster.width; ++x) {
      const double reach = options.falloff == DiscOptions::Falloff::Linear
                               ? (x + y) / (w + h)
                               : std::min(1.0, std::hypot(x, y) / (0.75 * diagonal));
      const double light = options.darkCornerLight + (1.0 - options.darkCornerLight) * reach;
      const uint32_t pixel = raster.Pixel(x, y);
      uint32_t dimmed = 0;
      for (int shift = 0; shift < 24; shift += 8)
        dimmed |= static_cast<uint32_t>(std::lround(Channel(pixel, shift) * light)) << shift;
      raster.SetPixel(x, y, dimmed);
    }
  }
}

void ReduceToOneBit(Raster& raster) {
  for (uint32_t& pixel : raster.pixels) pixel = Luma(pixel) >= 128 ? 0x00FFFFFFu : 0u;
}

}  // namespace

DiscOptions RealSizeScan(double dpi, int noise) {
  DiscOptions options;
  options.dpi = dpi;
  options.holeLengthMm = 1.8;
  options.holeWidthMm = 0.7;
  options.supersampling = 2;
  options.noise = noise;
  return options;
}

double PixelsPerMm(const DiscOptions& options) {
  return options.dpi / 25.4;
}

int GapSector(const DiscOptions& options) {
  return 1 + ((options.rotationSectors % kSectors) + kSectors) % kSectors;
}

double HoleAreaPixels(const DiscOptions& options) {
  const double ppm = PixelsPerMm(options);
  return options.holeWidthMm * options.holeLengthMm * ppm * ppm;
}

PicturePoint NotePointInPicture(const DiscNote& note, const DiscOptions& options) {
  const Geometry g = GeometryOf(options);
  const MmPoint p = NotePointMm(note, GapSector(options));
  return {g.centre + p.x * g.pixelsPerMm, g.centre - p.y * g.pixelsPerMm};
}

Raster RenderDisc(const std::vector<DiscNote>& notes, const DiscOptions& options) {
  const Geometry g = GeometryOf(options);
  const double pixel = 1.0 / g.pixelsPerMm;
  if (options.holeWidthMm > kPinSpacingMm - 2.0 * pixel) {
    throw std::invalid_argument("holes too wide: neighbouring tracks would touch");
  }
  // Slots on one pin keep 4 pixels apart, more than the engine's note mark reaches.
  CheckDiscNotes(notes, GapSector(options), options.holeLengthMm, std::max(0.4, 4.0 * pixel),
                 3.0 * pixel);
  const std::vector<double> offsets = SampleOffsets(options.supersampling);
  Raster raster;
  raster.Resize(g.side, g.side, options.lightColour);
  DrawDisc(raster, g, options, offsets);
  for (const DiscNote& note : notes) DrawSlot(raster, g, options, note, offsets);
  DrawDust(raster, g, options);
  DrawFrame(raster, options);
  Blur(raster, options.blurRadiusPx);
  if (options.darkCornerLight < 1.0) DimLighting(raster, options);
  if (options.noise > 0) {
    const auto span = static_cast<uint32_t>(2 * options.noise + 1);
    for (int32_t y = 0; y < g.side; ++y) {
      for (int32_t x = 0; x < g.side; ++x) {
        const int offset = static_cast<int>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                                                 options.noiseSeed) %
                                            span) -
                           options.noise;
        raster.SetPixel(x, y, AddNoise(raster.Pixel(x, y), offset));
      }
    }
  }
  if (options.oneBit) ReduceToOneBit(raster);
  return raster;
}

void PaintLightPatches(Raster& picture, const DiscOptions& options, double radiusMm, double sideMm,
                       int count) {
  const Geometry g = GeometryOf(options);
  const double half = 0.5 * sideMm * g.pixelsPerMm;
  for (int i = 0; i < count; ++i) {
    const double turn = 0.25 + 0.5 * (i + 0.5) / count;
    const double cx = g.centre + radiusMm * g.pixelsPerMm * std::cos(2.0 * std::numbers::pi * turn);
    const double cy = g.centre - radiusMm * g.pixelsPerMm * std::sin(2.0 * std::numbers::pi * turn);
    for (auto y = static_cast<int32_t>(std::ceil(cy - half)); y <= cy + half; ++y) {
      for (auto x = static_cast<int32_t>(std::ceil(cx - half)); x <= cx + half; ++x) {
        picture.SetPixel(x, y, options.lightColour);
      }
    }
  }
}

}  // namespace tivenor::testing
