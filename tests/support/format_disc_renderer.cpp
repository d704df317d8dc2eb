#include "tests/support/format_disc_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

namespace tivenor::testing {
namespace {

constexpr double kMmPerInch = 25.4;
constexpr double kDegrees = 180.0 / std::numbers::pi;
constexpr double kSpindleRadius = 0.02;     // rim units
constexpr double kDriveHoleRadius = 0.015;  // rim units
// A pixel whose centre lies farther than this from every edge is wholly on one side.
constexpr double kClearOfEdgePx = 0.75;

double Wrap(double degrees) {
  return degrees - 360.0 * std::floor(degrees / 360.0);
}

uint32_t Channel(uint32_t colour, int shift) {
  return (colour >> shift) & 0xFFu;
}

// `from` moved towards `to` by `share` of the way, channel by channel.
uint32_t Mix(uint32_t from, uint32_t to, double share) {
  uint32_t mixed = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const double a = Channel(from, shift), b = Channel(to, shift);
    mixed |= static_cast<uint32_t>(std::lround(a + (b - a) * share)) << shift;
  }
  return mixed;
}

struct Picture {
  double centreX = 0.0;
  double centreY = 0.0;
  double rim = 0.0;             // pixels
  std::vector<double> offsets;  // sample offsets inside a pixel

  // Share of pixel (x, y) inside a region, given the region's test for a point and how far the
  // pixel's centre lies from the region's nearest edge.
  template <typename Inside>
  double Coverage(int32_t x, int32_t y, double edgeDistancePx, Inside inside) const {
    if (edgeDistancePx > kClearOfEdgePx) return inside(x, y) ? 1.0 : 0.0;
    int lit = 0;
    for (double oy : offsets)
      for (double ox : offsets) lit += inside(x + ox, y + oy) ? 1 : 0;
    return static_cast<double>(lit) / static_cast<double>(offsets.size() * offsets.size());
  }
  double Distance(double x, double y) const { return std::hypot(x - centreX, y - centreY); }
  double AngleDegrees(double x, double y) const {
    return Wrap(std::atan2(centreY - y, x - centreX) * kDegrees);
  }
};

// A light circle at (cx, cy), radius r pixels.
void DrawLightCircle(Raster& raster, const Picture& p, double cx, double cy, double r,
                     uint32_t light) {
  for (auto y = static_cast<int32_t>(std::floor(cy - r - 1)); y <= std::ceil(cy + r + 1); ++y) {
    for (auto x = static_cast<int32_t>(std::floor(cx - r - 1)); x <= std::ceil(cx + r + 1); ++x) {
      if (!raster.Contains(x, y)) continue;
      const double edge = std::fabs(std::hypot(x - cx, y - cy) - r);
      const double share = p.Coverage(
          x, y, edge, [&](double sx, double sy) { return std::hypot(sx - cx, sy - cy) <= r; });
      if (share > 0.0) raster.SetPixel(x, y, Mix(raster.Pixel(x, y), light, share));
    }
  }
}

// The sector from picture angle `low` counter-clockwise through `span` degrees.
void DrawSector(Raster& raster, const Picture& p, double inner, double outer, double low,
                double span, uint32_t light) {
  double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
  const int steps = std::max(2, static_cast<int>(std::ceil(span)) + 1);
  for (int i = 0; i <= steps; ++i) {
    const double a = (low + span * i / steps) / kDegrees;
    for (const double r : {inner, outer}) {
      const double x = p.centreX + r * std::cos(a), y = p.centreY - r * std::sin(a);
      minX = std::min(minX, x);
      maxX = std::max(maxX, x);
      minY = std::min(minY, y);
      maxY = std::max(maxY, y);
    }
  }
  const auto inside = [&](double x, double y) {
    const double d = p.Distance(x, y);
    return d >= inner && d <= outer && Wrap(p.AngleDegrees(x, y) - low) <= span;
  };
  for (auto y = static_cast<int32_t>(std::floor(minY - 2)); y <= std::ceil(maxY + 2); ++y) {
    for (auto x = static_cast<int32_t>(std::floor(minX - 2)); x <= std::ceil(maxX + 2); ++x) {
      if (!raster.Contains(x, y)) continue;
      const double d = p.Distance(x, y);
      const double along = Wrap(p.AngleDegrees(x, y) - low);
      // Degrees to the nearer end, from inside or from outside the sector.
      const double toEnd =
          along <= span ? std::min(along, span - along) : std::min(along - span, 360.0 - along);
      const double edge = std::min({std::fabs(d - inner), std::fabs(d - outer),
                                    d * std::sin(std::min(toEnd, 90.0) / kDegrees)});
      const double share = p.Coverage(x, y, edge, inside);
      if (share > 0.0) raster.SetPixel(x, y, Mix(raster.Pixel(x, y), light, share));
    }
  }
}

double DiameterMm(const DiscFormat& format, const FormatDiscOptions& options) {
  const double mm = options.diameterMm > 0.0 ? options.diameterMm : format.diameterMm;
  if (mm <= 0.0)
    throw std::invalid_argument("format " + format.name + " has no diameter: give diameterMm");
  return mm;
}

int32_t Side(const DiscFormat& format, const FormatDiscOptions& options) {
  return static_cast<int32_t>(
      std::ceil((DiameterMm(format, options) + 2.0 * options.marginMm) * DiscPixelsPerMm(options)));
}

}  // namespace

double DiscPixelsPerMm(const FormatDiscOptions& options) {
  return options.dpi / kMmPerInch;
}

double RimRadiusPx(const DiscFormat& format, const FormatDiscOptions& options) {
  return 0.5 * DiameterMm(format, options) * DiscPixelsPerMm(options);
}

double CentreXPx(const DiscFormat& format, const FormatDiscOptions& options) {
  return 0.5 * (Side(format, options) - 1) + options.centreOffsetXPx;
}

double CentreYPx(const DiscFormat& format, const FormatDiscOptions& options) {
  return 0.5 * (Side(format, options) - 1) + options.centreOffsetYPx;
}

Raster RenderFormatDisc(const DiscFormat& format, const std::vector<AnnularSlot>& slots,
                        const FormatDiscOptions& options) {
  Picture p;
  p.centreX = CentreXPx(format, options);
  p.centreY = CentreYPx(format, options);
  p.rim = RimRadiusPx(format, options);
  const int n = std::max(options.supersampling, 1);
  for (int i = 0; i < n; ++i) p.offsets.push_back((i + 0.5) / n - 0.5);

  const int32_t side = Side(format, options);
  Raster raster;
  raster.Resize(side, side, options.lightColour);
  const bool label = options.drawLabel && format.labelRadius > 0.0;
  const double labelPx = format.labelRadius * p.rim;
  for (int32_t y = 0; y < side; ++y) {
    for (int32_t x = 0; x < side; ++x) {
      const double d = p.Distance(x, y);
      const double disc = p.Coverage(x, y, std::fabs(d - p.rim), [&](double sx, double sy) {
        return p.Distance(sx, sy) <= p.rim;
      });
      if (disc == 0.0) continue;
      uint32_t colour = Mix(options.lightColour, options.discColour, disc);
      if (label) {
        const double onLabel = p.Coverage(x, y, std::fabs(d - labelPx), [&](double sx, double sy) {
          return p.Distance(sx, sy) <= labelPx;
        });
        colour = Mix(colour, options.labelColour, onLabel);
      }
      raster.SetPixel(x, y, colour);
    }
  }
  if (options.drawSpindle)
    DrawLightCircle(raster, p, p.centreX, p.centreY, kSpindleRadius * p.rim, options.lightColour);
  if (options.drawDriveHoles) {
    for (int i = 0; i < format.driveHoles; ++i) {
      const double a = 2.0 * std::numbers::pi * (i + 0.5) / format.driveHoles;
      DrawLightCircle(raster, p, p.centreX + format.driveHoleRadius * p.rim * std::cos(a),
                      p.centreY - format.driveHoleRadius * p.rim * std::sin(a),
                      kDriveHoleRadius * p.rim, options.lightColour);
    }
  }

  // Music degrees u lie at face angle start + u (counter-clockwise music) or start - u; the back
  // shows face angle f at picture angle 180 - f.
  const int along = format.music == MusicDirection::kCounterClockwise ? 1 : -1;
  const int orientation = options.mirrored ? -along : along;
  const auto pictureAngle = [&](double music) {
    const double face = options.startLineDegrees + along * music;
    return options.mirrored ? 180.0 - face : face;
  };
  for (const AnnularSlot& slot : slots) {
    const double low = orientation > 0 ? pictureAngle(slot.startDegrees)
                                       : pictureAngle(slot.startDegrees + slot.lengthDegrees);
    DrawSector(raster, p, (slot.radius - 0.5 * slot.width) * p.rim,
               (slot.radius + 0.5 * slot.width) * p.rim, Wrap(low), slot.lengthDegrees,
               options.lightColour);
  }
  return raster;
}

double DefaultSlotWidth(const DiscFormat& format) {
  double pitch = INFINITY;
  for (std::size_t k = 1; k < format.trackRadii.size(); ++k)
    pitch = std::min(pitch, std::fabs(format.trackRadii[k] - format.trackRadii[k - 1]));
  const double typical = 0.5 * (format.holeWidth.minimum + format.holeWidth.maximum);
  const double roomy = std::isfinite(pitch) ? 0.88 * pitch : typical;
  return typical > 0.0 ? std::min(typical, roomy) : roomy;
}

std::vector<AnnularSlot> SlotsOfTune(const DiscFormat& format, const std::vector<TuneNote>& tune,
                                     double turnSeconds, const SlotPlacement& placement) {
  const double width = placement.width > 0.0 ? placement.width : DefaultSlotWidth(format);
  std::vector<AnnularSlot> slots;
  for (const TuneNote& note : tune) {
    int track = -1;
    for (std::size_t k = 0; k < format.keys.size(); ++k) {
      if (format.keys[k] == note.key &&
          (track < 0 ||
           format.trackRadii[k] < format.trackRadii[static_cast<std::size_t>(track)])) {
        track = static_cast<int>(k);
      }
    }
    if (track < 0) {
      throw std::invalid_argument("format " + format.name + " has no track for key " +
                                  std::to_string(note.key));
    }
    const double formatRadius = format.trackRadii[static_cast<std::size_t>(track)];
    AnnularSlot slot;
    slot.radius = placement.trackShift + placement.trackStretch * formatRadius;
    slot.width = width;
    slot.startDegrees = placement.leadInDegrees + note.onsetSeconds / turnSeconds * 360.0;
    slot.lengthDegrees = format.notes == NoteKind::kSustained
                             ? note.lengthSeconds / turnSeconds * 360.0
                             : 0.5 * (format.holeLength.minimum + format.holeLength.maximum) /
                                   slot.radius * kDegrees;
    slots.push_back(slot);
  }
  return slots;
}

}  // namespace tivenor::testing
