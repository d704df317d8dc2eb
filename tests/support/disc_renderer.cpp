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

}  // namespace

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
  return raster;
}

}  // namespace tivenor::testing
