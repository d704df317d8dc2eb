#include "engine/slots/track_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace tivenor {

namespace {

// A slot this many pitches from its track's centre adds nothing to a grid's score.
constexpr double kScoreReachPitches = 0.3;
// Slots nearer than this to a centre steer the refinement of the grid.
constexpr double kRefineReachPitches = 0.35;
constexpr double kShiftStepPitches = 0.1;
// A stretch step moves the outermost track by at most this many pitches.
constexpr double kStretchStepPitches = 0.1;
// Enough radii for the coarse search; the refinement takes them all.
constexpr std::size_t kMostRadiiSearched = 256;
constexpr int kRefineRounds = 4;
// Only breaks ties in the coarse search: between grids that score alike, the one nearer the
// format's own wins.
constexpr double kPreferLittleChange = 1e-3;
// Between refined grids, what moving the grid as far as the search goes is worth in slots: a grid
// a whole pitch off can explain the same slots on the neighbouring tracks, and only the slots
// of an outermost track, or this, tell the two apart.
constexpr double kRefinedChangeCost = 0.5;
// The refinement may stretch a little beyond the search, never without bound.
constexpr double kLargestRefinedStretch = 1.5 * kLargestGridStretch;

struct Tracks {
  TrackRuler ruler;
  std::vector<double> pitch;  // each track's distance to its nearest neighbour
};

Tracks SortedTracks(const DiscFormat& format) {
  Tracks t{TrackRuler(format), {}};
  const std::vector<double>& radii = t.ruler.radii;
  const std::size_t n = radii.size();
  t.pitch.assign(n, t.ruler.pitch);
  for (std::size_t k = 0; k < n; ++k) {
    double nearest = std::numeric_limits<double>::infinity();
    if (k > 0) nearest = std::min(nearest, radii[k] - radii[k - 1]);
    if (k + 1 < n) nearest = std::min(nearest, radii[k + 1] - radii[k]);
    if (std::isfinite(nearest) && nearest > 0.0) t.pitch[k] = nearest;
  }
  return t;
}

std::size_t NearestSorted(const Tracks& tracks, double formatRadius) {
  return tracks.ruler.NearestIndex(formatRadius);
}

double Change(const Tracks& tracks, const TrackGrid& grid) {
  return std::fabs(grid.shift) / (kLargestGridShiftPitches * tracks.ruler.pitch) +
         std::fabs(grid.stretch - 1.0) / kLargestGridStretch;
}

// How many radii lie near a track centre, each counted by how near.
double Fit(const Tracks& tracks, std::span<const double> radii, const TrackGrid& grid) {
  double score = 0.0;
  for (const double r : radii) {
    // Back into the format's own radii, where the tracks stay sorted and spaced as given.
    const double formatRadius = grid.FormatRadius(r);
    const std::size_t k = NearestSorted(tracks, formatRadius);
    const double reach = kScoreReachPitches * tracks.pitch[k];
    const double x = (formatRadius - tracks.ruler.radii[k]) / reach;
    if (x * x < 1.0) score += 1.0 - x * x;
  }
  return score;
}

// Least squares through the radii near a track, each against its track's format radius.
TrackGrid Refine(const Tracks& tracks, std::span<const double> radii, TrackGrid grid) {
  for (int round = 0; round < kRefineRounds; ++round) {
    double n = 0, st = 0, sr = 0, stt = 0, str = 0;
    double firstTrack = -1.0;
    bool twoTracks = false;
    for (const double r : radii) {
      const std::size_t k = NearestSorted(tracks, grid.FormatRadius(r));
      const double offset = r - grid.Centre(tracks.ruler.radii[k]);
      if (std::fabs(offset) > kRefineReachPitches * tracks.pitch[k] * grid.stretch) continue;
      const double t = tracks.ruler.radii[k];
      const double m = r;
      n += 1;
      st += t;
      sr += m;
      stt += t * t;
      str += t * m;
      if (firstTrack < 0) firstTrack = tracks.ruler.radii[k];
      twoTracks = twoTracks || tracks.ruler.radii[k] != firstTrack;
    }
    if (n == 0) break;
    TrackGrid next = grid;
    const double det = n * stt - st * st;
    if (twoTracks && det > 0.0) {
      next.stretch = std::clamp((n * str - st * sr) / det, 1.0 - kLargestRefinedStretch,
                                1.0 + kLargestRefinedStretch);
    }
    next.shift = (sr - next.stretch * st) / n;
    if (std::fabs(next.shift - grid.shift) < 1e-9 && std::fabs(next.stretch - grid.stretch) < 1e-9)
      return next;
    grid = next;
  }
  return grid;
}

}  // namespace

TrackRuler::TrackRuler(const DiscFormat& format)
    : radii(format.trackRadii), pitch(TrackPitch(format)) {
  std::sort(radii.begin(), radii.end());
  even = radii.size() > 1 && pitch > 0.0;
  for (std::size_t k = 1; k < radii.size() && even; ++k)
    even = std::fabs(radii[k] - radii[k - 1] - pitch) < 1e-9;
}

std::size_t TrackRuler::NearestIndex(double formatRadius) const {
  if (even) {
    // Rounded by hand: std::round is a library call, and this runs for every slot of every view
    // a photograph's search tries.
    const double steps = (formatRadius - radii.front()) / pitch + 0.5;
    if (!(steps >= 1.0)) return 0;
    const auto last = static_cast<double>(radii.size() - 1);
    return steps >= last ? radii.size() - 1 : static_cast<std::size_t>(steps);
  }
  const auto it = std::lower_bound(radii.begin(), radii.end(), formatRadius);
  std::size_t k = static_cast<std::size_t>(it - radii.begin());
  if (k == radii.size()) return k - 1;
  if (k > 0 && formatRadius - radii[k - 1] < radii[k] - formatRadius) --k;
  return k;
}

double TrackPitch(const DiscFormat& format) {
  std::vector<double> radii = format.trackRadii;
  std::sort(radii.begin(), radii.end());
  std::vector<double> gaps;
  for (std::size_t k = 1; k < radii.size(); ++k) {
    if (radii[k] > radii[k - 1]) gaps.push_back(radii[k] - radii[k - 1]);
  }
  if (gaps.empty()) return std::max(format.holeWidth.maximum, 0.0);
  std::nth_element(gaps.begin(), gaps.begin() + static_cast<long>(gaps.size() / 2), gaps.end());
  return gaps[gaps.size() / 2];
}

TrackGrid FitTrackGrid(std::span<const double> radii, const DiscFormat& format) {
  const Tracks tracks = SortedTracks(format);
  TrackGrid best;
  if (tracks.ruler.radii.empty() || radii.empty() || tracks.ruler.pitch <= 0.0) return best;

  std::vector<double> thinned;
  std::span<const double> searched = radii;
  if (radii.size() > kMostRadiiSearched) {
    const double step = static_cast<double>(radii.size()) / kMostRadiiSearched;
    for (std::size_t i = 0; i < kMostRadiiSearched; ++i)
      thinned.push_back(radii[static_cast<std::size_t>(static_cast<double>(i) * step)]);
    searched = thinned;
  }

  const double shiftStep = kShiftStepPitches * tracks.ruler.pitch;
  const int shiftSteps = static_cast<int>(std::ceil(kLargestGridShiftPitches / kShiftStepPitches));
  const double stretchStep = kStretchStepPitches * tracks.ruler.pitch / tracks.ruler.radii.back();
  const int stretchSteps = static_cast<int>(std::ceil(kLargestGridStretch / stretchStep));
  double bestScore = -std::numeric_limits<double>::infinity();
  for (int s = -stretchSteps; s <= stretchSteps; ++s) {
    for (int h = -shiftSteps; h <= shiftSteps; ++h) {
      const TrackGrid grid{h * shiftStep, 1.0 + s * stretchStep};
      const double score = Fit(tracks, searched, grid) - kPreferLittleChange * Change(tracks, grid);
      if (score > bestScore) {
        bestScore = score;
        best = grid;
      }
    }
  }
  // The best grid, and the grids a pitch either side of it, which explain the same slots on the
  // neighbouring tracks: refined, the one that fits more slots at less change wins.
  TrackGrid chosen = best;
  double chosenScore = -std::numeric_limits<double>::infinity();
  for (const double alias : {0.0, -1.0, 1.0}) {
    TrackGrid start = best;
    start.shift += alias * tracks.ruler.pitch * best.stretch;
    const TrackGrid refined = Refine(tracks, radii, start);
    const double score = Fit(tracks, radii, refined) - kRefinedChangeCost * Change(tracks, refined);
    if (score > chosenScore) {
      chosenScore = score;
      chosen = refined;
    }
  }
  return chosen;
}

NearestTrack FindNearestTrack(double radius, const DiscFormat& format, const TrackGrid& grid) {
  NearestTrack nearest;
  const int count = format.TrackCount();
  double bestDistance = std::numeric_limits<double>::infinity();
  for (int k = 0; k < count; ++k) {
    const double offset = radius - grid.Centre(format.trackRadii[static_cast<std::size_t>(k)]);
    if (std::fabs(offset) < bestDistance) {
      bestDistance = std::fabs(offset);
      nearest.track = k;
      nearest.offset = offset;
    }
  }
  if (nearest.track < 0) return nearest;
  const double own = format.trackRadii[static_cast<std::size_t>(nearest.track)];
  double pitch = std::numeric_limits<double>::infinity();
  for (int k = 0; k < count; ++k) {
    const double gap = std::fabs(format.trackRadii[static_cast<std::size_t>(k)] - own);
    if (k != nearest.track && gap > 0.0) pitch = std::min(pitch, gap);
  }
  nearest.pitch = (std::isfinite(pitch) ? pitch : TrackPitch(format)) * grid.stretch;
  return nearest;
}

}  // namespace tivenor
