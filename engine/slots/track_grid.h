#pragma once
// The format's tracks as a picture shows them. A worn rim, a lens or another maker's punching
// make the rim an imperfect ruler, so the format's track radii are first fitted to the slots
// found, by a small shift and stretch; a slot's track is then the nearest fitted track centre,
// never its rank among the radii found, so that an empty track or a stray patch cannot move the
// others.

#include <cstddef>
#include <span>
#include <vector>

#include "engine/disc/disc_format.h"

namespace tivenor {

// Track k lies at shift + stretch * radius_k, rim units: a rim measured too small or too large
// stretches every radius alike, a punch set off shifts them.
struct TrackGrid {
  double shift = 0.0;
  double stretch = 1.0;

  double Centre(double formatRadius) const { return shift + stretch * formatRadius; }
  // The format's radius that lies at `radius` on the picture.
  double FormatRadius(double radius) const { return (radius - shift) / stretch; }
};

// Widest shift and stretch looked for: a grid half a pitch off reads as well as a grid in place,
// and rims that measure a few percent off are common.
inline constexpr double kLargestGridShiftPitches = 0.6;
inline constexpr double kLargestGridStretch = 0.06;

// The distance between neighbouring tracks, as the format gives them (the median spacing for
// tracks at uneven radii); for a single track, its width.
double TrackPitch(const DiscFormat& format);

// The grid that puts most of `radii` (rim units) nearest a track centre, at the least shift and
// stretch among equals. With no radii, the format's own grid.
TrackGrid FitTrackGrid(std::span<const double> radii, const DiscFormat& format);

// The format's track radii, sorted, for finding the nearest quickly: by division where they are
// evenly spaced, by bisection where not.
struct TrackRuler {
  std::vector<double> radii;  // sorted
  double pitch = 0.0;         // TrackPitch
  bool even = false;          // all tracks `pitch` apart

  explicit TrackRuler(const DiscFormat& format);
  // The sorted index of the track nearest a radius in the format's own units.
  std::size_t NearestIndex(double formatRadius) const;
  double Nearest(double formatRadius) const { return radii[NearestIndex(formatRadius)]; }
};

struct NearestTrack {
  int track = -1;       // index into the format's tracks, innermost first
  double offset = 0.0;  // rim units, from that track's fitted centre
  double pitch = 0.0;   // fitted distance to its nearest neighbour, rim units
  double OffsetInPitches() const { return pitch > 0.0 ? offset / pitch : 0.0; }
};
NearestTrack FindNearestTrack(double radius, const DiscFormat& format, const TrackGrid& grid);

}  // namespace tivenor
