#include "engine/view/fit_view.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

#include "engine/base/run_at_once.h"
#include "engine/slots/track_grid.h"
#include "engine/view/simplex_search.h"

namespace tivenor {

namespace {

// The farthest the disc's centre lies from the rim ellipse's centre, in rim radii: a tilt of
// 20 degrees seen from three rim radii away.
constexpr double kCentreReach = 0.08;
constexpr double kSearchStepPitches = 0.3;
// A slot farther than this from its track counts as this far: a stray patch must not steer.
constexpr double kMisfitCapPitches = 0.35;
constexpr double kLargestBend = 0.35;
constexpr double kFirstBendStep = 0.03;
// Lenses bend either way; the misfit has a dip for each, and the search starts in each.
constexpr double kCoarseBends[] = {-0.08, 0.0, 0.08};
constexpr int kSimplexRounds = 120;
// A view closer than this to the circle everywhere on the disc leaves the circle as it is.
constexpr double kSquareTolerancePx = 0.3;
// The view replaces the circle only when it lays the slots nearer their tracks by this much.
constexpr double kBetterMisfitShare = 0.85;
// Nor when they still lie this far off their tracks, root mean square in pitches: the slots of
// the right format lie within a tenth of a pitch; the view has found nothing but a distortion
// that suits another format's slots a little better.
constexpr double kLargestViewMisfit = 0.15;
constexpr int kLeastSlots = 12;
constexpr std::size_t kLeastRimPoints = 64;
// Slot-sized patches, from a little below the format's smallest hole to above its largest.
constexpr double kSmallestHoleShare = 0.25;
constexpr double kLargestHoleShare = 2.5;
constexpr int64_t kLeastSlotPixels = 6;
constexpr double kRunPiecePx = 4.0;
constexpr std::size_t kCoarseSlots = 240;
constexpr std::size_t kSearchRimPoints = 480;
// A grid stretched further than this is no disc's: a few slots on two tracks can ask for it.
constexpr double kLargestStretch = 0.15;

// The patches that may be slots, each as the middles of its runs.
struct SlotPoints {
  std::vector<PlanePoint> points;
  std::vector<double> weights;
  std::vector<std::size_t> first;  // the points of patch i: [first[i], first[i + 1])
  std::vector<PlanePoint> centroids;
  std::size_t Count() const { return centroids.size(); }
};

SlotPoints SlotPointsOf(const PatchLabelling& labelling, double radius, const DiscFormat& format) {
  const double r2 = radius * radius;
  const double least =
      std::max(static_cast<double>(kLeastSlotPixels),
               kSmallestHoleShare * format.holeLength.minimum * format.holeWidth.minimum * r2);
  const double most = kLargestHoleShare * format.holeLength.maximum * format.holeWidth.maximum * r2;
  const auto& patches = labelling.Patches();
  std::vector<int32_t> slotOfPatch(patches.size(), -1);
  SlotPoints slots;
  for (std::size_t i = 0; i < patches.size(); ++i) {
    const LightPatch& patch = patches[i];
    const auto pixels = static_cast<double>(patch.pixels);
    if (patch.encirclesCentre || pixels < least || pixels > most) continue;
    // Only the format's own ring: a wider search for other formats brings in label print.
    const double r = patch.meanRadius / radius;
    if (r < format.ringInner || r > format.ringOuter) continue;
    slotOfPatch[i] = static_cast<int32_t>(slots.centroids.size());
    slots.centroids.push_back({});
  }
  std::vector<std::size_t> counts(slots.Count() + 1, 0);
  for (const PatchRun& run : labelling.Runs()) {
    const int32_t slot = slotOfPatch[static_cast<std::size_t>(run.patch)];
    if (slot >= 0) ++counts[static_cast<std::size_t>(slot) + 1];
  }
  for (std::size_t i = 1; i < counts.size(); ++i) counts[i] += counts[i - 1];
  slots.first = counts;
  slots.points.resize(counts.back());
  slots.weights.resize(counts.back());
  std::vector<double> total(slots.Count(), 0.0);
  for (const PatchRun& run : labelling.Runs()) {
    const int32_t slot = slotOfPatch[static_cast<std::size_t>(run.patch)];
    if (slot < 0) continue;
    const auto s = static_cast<std::size_t>(slot);
    const std::size_t at = counts[s]++;
    const double weight = run.xLast - run.xFirst + 1.0;
    const PlanePoint middle{0.5 * (run.xFirst + run.xLast), static_cast<double>(run.y)};
    slots.points[at] = middle;
    slots.weights[at] = weight;
    slots.centroids[s].x += weight * middle.x;
    slots.centroids[s].y += weight * middle.y;
    total[s] += weight;
  }
  for (std::size_t s = 0; s < slots.Count(); ++s) {
    slots.centroids[s].x /= total[s];
    slots.centroids[s].y /= total[s];
  }
  return slots;
}

double Radius(const DiscView& view, PlanePoint picture) {
  const PlanePoint disc = view.PictureToDisc(picture);
  return std::sqrt(disc.x * disc.x + disc.y * disc.y);  // hypot is slow here, and needs no guard
}

std::vector<double> CentroidRadii(const DiscView& view, const SlotPoints& slots) {
  std::vector<double> radii(slots.Count());
  for (std::size_t s = 0; s < slots.Count(); ++s) radii[s] = Radius(view, slots.centroids[s]);
  return radii;
}

// Each slot's mean radius over its pixels: a long slot's centroid lies inside its arc.
std::vector<double> MeanRadii(const DiscView& view, const SlotPoints& slots) {
  std::vector<double> radii(slots.Count());
  for (std::size_t s = 0; s < slots.Count(); ++s) {
    double sum = 0.0, weight = 0.0;
    for (std::size_t i = slots.first[s]; i < slots.first[s + 1]; ++i) {
      // Along the run, not at its middle: a run along a curved slot is a chord of it.
      const double length = slots.weights[i];
      const int pieces = std::max(1, static_cast<int>(std::ceil(length / kRunPiecePx)));
      const double first = slots.points[i].x - 0.5 * (length - 1.0);
      for (int k = 0; k < pieces; ++k) {
        const double x = first + (k + 0.5) * (length - 1.0) / pieces;
        sum += length / pieces * Radius(view, {x, slots.points[i].y});
      }
      weight += length;
    }
    radii[s] = sum / weight;
  }
  return radii;
}

// The slots' mean squared distance from their nearest tracks, in pitches, each capped; with
// `refine`, the grid is first moved by least squares onto the slots near their tracks.
double Misfit(std::span<const double> radii, const TrackRuler& ruler, TrackGrid& grid,
              bool refine) {
  const double pitch = ruler.pitch;
  for (int round = 0; refine && round < 2; ++round) {
    double n = 0, st = 0, sr = 0, stt = 0, str = 0;
    for (const double r : radii) {
      const double t = ruler.Nearest(grid.FormatRadius(r));
      if (std::fabs(r - grid.Centre(t)) > kMisfitCapPitches * pitch * grid.stretch) continue;
      n += 1;
      st += t;
      sr += r;
      stt += t * t;
      str += t * r;
    }
    const double det = n * stt - st * st;
    if (n < 2 || !(det > 1e-12)) break;
    grid.stretch =
        std::clamp((n * str - st * sr) / det, 1.0 - kLargestStretch, 1.0 + kLargestStretch);
    grid.shift = (sr - grid.stretch * st) / n;
  }
  double sum = 0.0;
  for (const double r : radii) {
    const double t = ruler.Nearest(grid.FormatRadius(r));
    const double d =
        std::min(std::fabs(r - grid.Centre(t)) / (pitch * grid.stretch), kMisfitCapPitches);
    sum += d * d;
  }
  return radii.empty() ? 0.0 : sum / static_cast<double>(radii.size());
}

// The largest distance, in pixels, between where the view and the circle put points of the disc.
double LargestDifference(const DiscView& view, const DiscView& circle) {
  double largest = 0.0;
  for (const double r : {0.25, 0.5, 0.75, 1.0}) {
    for (int k = 0; k < 24; ++k) {
      const double a = 2.0 * std::numbers::pi * k / 24.0;
      const PlanePoint disc{r * std::cos(a), r * std::sin(a)};
      const PlanePoint p = view.DiscToPicture(disc), q = circle.DiscToPicture(disc);
      largest = std::max(largest, std::hypot(p.x - q.x, p.y - q.y));
    }
  }
  return largest;
}

double SlantDegrees(const Ellipse& rim) {
  const double mean = 0.5 * (rim.qxx + rim.qyy);
  const double spread = std::hypot(0.5 * (rim.qxx - rim.qyy), rim.qxy);
  const double ratio = std::sqrt(std::max(mean - spread, 0.0) / (mean + spread));
  return std::acos(std::clamp(ratio, 0.0, 1.0)) * 180.0 / std::numbers::pi;
}

}  // namespace

ViewFit FitView(const Raster& picture, PlanePoint centre, double radius,
                std::span<const PlanePoint> rimPoints, const PatchLabelling& labelling,
                const DiscFormat& format) {
  ViewFit fit;
  const DiscView circle = SquareView(centre, radius);
  fit.view = circle;
  fit.misfit = kMisfitCapPitches;
  const SlotPoints slots = SlotPointsOf(labelling, radius, format);
  fit.slotsUsed = static_cast<int>(slots.Count());
  const double pitch = TrackPitch(format);
  const TrackRuler ruler(format);
  if (slots.Count() < kLeastSlots || format.trackRadii.empty() || !(pitch > 0.0)) return fit;
  if (rimPoints.size() < kLeastRimPoints) return fit;

  LensBend lens;
  lens.centreX = 0.5 * (picture.width - 1);
  lens.centreY = 0.5 * (picture.height - 1);
  lens.unit = 0.5 * std::hypot(picture.width, picture.height);

  // The circle's own misfit, the mark the view must beat.
  std::vector<double> radii = MeanRadii(circle, slots);
  TrackGrid circleGrid = FitTrackGrid(radii, format);
  const double circleMisfit = Misfit(radii, ruler, circleGrid, true);
  fit.misfit = std::sqrt(circleMisfit);

  // A long slot's centroid lies inside its arc: each slot's mean radius over its runs is its
  // centroid's times a factor that no small change of the view changes, measured once.
  const std::optional<CorrectedRim> straightRim = CorrectRim(lens, rimPoints);
  if (!straightRim) return fit;
  const std::optional<DiscView> seenView =
      ViewWithCentre(*straightRim, straightRim->ellipse.centre);
  if (!seenView) return fit;
  std::vector<double> curvature = MeanRadii(*seenView, slots);
  const std::vector<double> seenCentroids = CentroidRadii(*seenView, slots);
  for (std::size_t s = 0; s < curvature.size(); ++s) {
    curvature[s] = seenCentroids[s] > 0.0 ? curvature[s] / seenCentroids[s] : 1.0;
  }
  const auto radiiThrough = [&](const DiscView& view) {
    std::vector<double> r = CentroidRadii(view, slots);
    for (std::size_t s = 0; s < r.size(); ++s) r[s] *= curvature[s];
    return r;
  };
  // The coarse search needs no more than a few hundred slots to tell centres apart.
  std::vector<std::size_t> coarseSlots;
  const std::size_t every = std::max<std::size_t>(1, slots.Count() / kCoarseSlots);
  for (std::size_t i = 0; i < slots.Count(); i += every) coarseSlots.push_back(i);
  const auto coarseRadiiThrough = [&](const DiscView& view) {
    std::vector<double> r(coarseSlots.size());
    for (std::size_t k = 0; k < coarseSlots.size(); ++k) {
      const std::size_t i = coarseSlots[k];
      r[k] = Radius(view, slots.centroids[i]) * curvature[i];
    }
    return r;
  };
  const double pitchPx = pitch * radius;
  const double step = kSearchStepPitches * pitchPx;
  const int steps = static_cast<int>(std::ceil(kCentreReach * radius / step));

  // Coarse, for a few bends of the lens: every centre near the rim ellipse's, against a grid
  // fitted where a wrong centre moves the tracks least, near the rim.
  struct Start {
    PlanePoint centre;
    double bend = 0.0;
    TrackGrid grid;
  };
  const auto coarseStart = [&](double bend) -> std::optional<Start> {
    LensBend bent = lens;
    bent.bend = bend;
    const std::optional<CorrectedRim> rim = CorrectRim(bent, rimPoints);
    if (!rim) return std::nullopt;
    const PlanePoint seen = rim->ellipse.centre;
    const std::optional<DiscView> seenHere = ViewWithCentre(*rim, seen);
    if (!seenHere) return std::nullopt;
    std::vector<double> radii = radiiThrough(*seenHere);
    std::vector<double> sorted = radii;
    std::sort(sorted.begin(), sorted.end());
    std::vector<double> outer;
    for (const double r : radii) {
      if (r >= sorted[sorted.size() / 2]) outer.push_back(r);
    }
    const TrackGrid outerGrid = FitTrackGrid(outer, format);
    Start start{seen, bend, outerGrid};
    double least = std::numeric_limits<double>::infinity();
    for (int j = -steps; j <= steps; ++j) {
      for (int i = -steps; i <= steps; ++i) {
        if (i * i + j * j > steps * steps) continue;
        const PlanePoint c{seen.x + i * step, seen.y + j * step};
        const std::optional<DiscView> view = ViewWithCentre(*rim, c);
        if (!view) continue;
        const std::vector<double> r = coarseRadiiThrough(*view);
        // The grid fitted at the rim ellipse's centre may be stretched a track out of place
        // where the true centre lies; there the format's own grid fits, the rim being the disc's.
        for (const TrackGrid& from : {TrackGrid{}, outerGrid}) {
          TrackGrid grid = from;
          const double misfit = Misfit(r, ruler, grid, true);
          if (misfit < least) {
            least = misfit;
            start.centre = c;
            start.grid = grid;
          }
        }
      }
    }
    return start;
  };
  // Each bend on a core of its own: the coarse search is most of the view's work.
  std::array<std::optional<Start>, std::size(kCoarseBends)> found;
  RunAtOnce(found.size(), [&](std::size_t b) { found[b] = coarseStart(kCoarseBends[b]); });
  std::vector<Start> starts;
  for (const std::optional<Start>& start : found) {
    if (start) starts.push_back(*start);
  }
  if (starts.empty()) return fit;

  // The search fits the rim at every step: a few hundred of its points tell its shape as well.
  std::vector<PlanePoint> searchRim;
  const std::size_t rimEvery = std::max<std::size_t>(1, rimPoints.size() / kSearchRimPoints);
  for (std::size_t i = 0; i < rimPoints.size(); i += rimEvery) searchRim.push_back(rimPoints[i]);
  // Fine: the centre and the lens's bend together, from each coarse best; the rim, which the
  // right lens makes an ellipse again, has its say too.
  std::optional<CorrectedRim> rim = straightRim;
  TrackGrid grid;
  const auto misfitAt = [&](const SimplexPoint<3>& p) {
    if (std::fabs(p[2]) > kLargestBend) return std::numeric_limits<double>::infinity();
    if (!rim || rim->lens.bend != p[2]) {
      LensBend bent = lens;
      bent.bend = p[2];
      rim = CorrectRim(bent, searchRim);
    }
    if (!rim) return std::numeric_limits<double>::infinity();
    const std::optional<DiscView> view = ViewWithCentre(*rim, {p[0], p[1]});
    if (!view) return std::numeric_limits<double>::infinity();
    TrackGrid moved = grid;
    const double offRim = rim->offEllipse / pitchPx;
    return Misfit(radiiThrough(*view), ruler, moved, true) + offRim * offRim;
  };
  SimplexPoint<3> best{};
  double bestValue = std::numeric_limits<double>::infinity();
  TrackGrid bestGrid;
  for (const Start& start : starts) {
    grid = start.grid;
    const SimplexPoint<3> found =
        SimplexMinimum<3>(misfitAt, {start.centre.x, start.centre.y, start.bend},
                          {0.5 * step, 0.5 * step, kFirstBendStep}, kSimplexRounds, 1e-7);
    const double value = misfitAt(found);
    if (value < bestValue) {
      bestValue = value;
      best = found;
      bestGrid = grid;
    }
  }
  grid = bestGrid;
  LensBend bent = lens;
  bent.bend = best[2];
  rim = CorrectRim(bent, rimPoints);
  if (!rim) return fit;
  const std::optional<DiscView> view = ViewWithCentre(*rim, {best[0], best[1]});
  if (!view) return fit;
  radii = MeanRadii(*view, slots);
  grid = FitTrackGrid(radii, format);
  const double viewMisfit = Misfit(radii, ruler, grid, true);
  if (!(viewMisfit < kBetterMisfitShare * circleMisfit) ||
      !(viewMisfit < kLargestViewMisfit * kLargestViewMisfit) ||
      LargestDifference(*view, circle) < kSquareTolerancePx) {
    fit.misfit = std::sqrt(circleMisfit);
    return fit;
  }
  fit.view = *view;
  fit.square = false;
  const PlanePoint trueCentre = view->DiscToPicture({0.0, 0.0});
  fit.centreShift = std::hypot(trueCentre.x - centre.x, trueCentre.y - centre.y);
  fit.slantDegrees = SlantDegrees(rim->ellipse);
  fit.lensBend = best[2];
  fit.misfit = std::sqrt(viewMisfit);
  return fit;
}

}  // namespace tivenor
