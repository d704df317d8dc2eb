#include "engine/slots/patch_labelling.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tivenor {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// Nearer the centre than this, a run could pass round it within one row; no ring is that small.
constexpr double kSmallestInnerRadius = 1.5;

double PictureAngle(double dx, double dyUp) {
  return std::atan2(dyUp, dx) * kDegreesPerRadian;
}

bool InRing(const PixelRing& ring, double dx, double dy) {
  const double d2 = dx * dx + dy * dy;
  return d2 > ring.inner * ring.inner && d2 < ring.outer * ring.outer;
}

struct Span {
  int32_t first = 0;
  int32_t last = -1;
};

// The pixels of row y inside the ring: up to two spans, left and right of the inner circle.
int RingSpans(const PixelRing& ring, int32_t y, int32_t width, Span (&spans)[2]) {
  const double dy = y - ring.centreY;
  const double outerReach = ring.outer * ring.outer - dy * dy;
  if (outerReach <= 0.0) return 0;
  const double outerHalf = std::sqrt(outerReach);
  int32_t first = static_cast<int32_t>(std::floor(ring.centreX - outerHalf));
  int32_t last = static_cast<int32_t>(std::ceil(ring.centreX + outerHalf));
  first = std::max(first, 0);
  last = std::min(last, width - 1);
  while (first <= last &&
         !InRing({ring.centreX, ring.centreY, 0.0, ring.outer}, first - ring.centreX, dy)) {
    ++first;
  }
  while (last >= first &&
         !InRing({ring.centreX, ring.centreY, 0.0, ring.outer}, last - ring.centreX, dy)) {
    --last;
  }
  if (first > last) return 0;
  const double innerReach = ring.inner * ring.inner - dy * dy;
  if (innerReach < 0.0) {
    spans[0] = {first, last};
    return 1;
  }
  // Pixels on or inside the inner circle are left out: find the last one left of it and the
  // first one right of it that lie outside.
  const double innerHalf = std::sqrt(innerReach);
  int32_t leftLast = std::min(static_cast<int32_t>(std::ceil(ring.centreX - innerHalf)), last);
  while (leftLast >= first && !InRing(ring, leftLast - ring.centreX, dy)) --leftLast;
  while (leftLast < last && InRing(ring, leftLast + 1 - ring.centreX, dy) &&
         leftLast + 1 < ring.centreX) {
    ++leftLast;
  }
  int32_t rightFirst = std::max(static_cast<int32_t>(std::floor(ring.centreX + innerHalf)), first);
  while (rightFirst <= last && !InRing(ring, rightFirst - ring.centreX, dy)) ++rightFirst;
  while (rightFirst > first && InRing(ring, rightFirst - 1 - ring.centreX, dy) &&
         rightFirst - 1 > ring.centreX) {
    --rightFirst;
  }
  int count = 0;
  if (first <= leftLast) spans[count++] = {first, leftLast};
  if (rightFirst <= last && rightFirst > leftLast) spans[count++] = {rightFirst, last};
  return count;
}

}  // namespace

void PatchLabelling::Label(const Raster& picture, const PixelRing& given, int threshold,
                           Channel channel) {
  runs_.clear();
  parent_.clear();
  parentTurns_.clear();
  measures_.clear();
  patches_.clear();
  PixelRing ring = given;
  ring.inner = std::max(ring.inner, kSmallestInnerRadius);
  aboveFirst_ = aboveEnd_ = 0;
  aboveY_ = -2;
  if (ring.outer <= ring.inner) return;
  const int32_t yFirst =
      std::max(static_cast<int32_t>(std::floor(ring.centreY - ring.outer)), int32_t{0});
  const int32_t yLast =
      std::min(static_cast<int32_t>(std::ceil(ring.centreY + ring.outer)), picture.height - 1);
  for (int32_t y = yFirst; y <= yLast; ++y) LabelRow(picture, ring, threshold, channel, y);
  Finish();
}

void PatchLabelling::LabelRow(const Raster& picture, const PixelRing& ring, int threshold,
                              Channel channel, int32_t y) {
  Span spans[2];
  const int spanCount = RingSpans(ring, y, picture.width, spans);
  const std::size_t rowFirst = runs_.size();
  const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.width;
  const auto light = [&](int32_t x) {
    return static_cast<int>(LevelOf(row[x], channel)) > threshold;
  };
  for (int s = 0; s < spanCount; ++s) {
    int32_t x = spans[s].first;
    const int32_t last = spans[s].last;
    while (x <= last) {
      while (x <= last && !light(x)) ++x;
      if (x > last) break;
      const int32_t runFirst = x;
      while (x <= last && light(x)) ++x;
      AddRun(ring, y, runFirst, x - 1);
    }
  }
  const std::size_t rowEnd = runs_.size();

  if (aboveY_ == y - 1) {
    // Runs on both rows are in order of x: walk them together.
    std::size_t a = aboveFirst_;
    const double aboveUp = ring.centreY - (y - 1);
    const double hereUp = ring.centreY - y;
    for (std::size_t r = rowFirst; r < rowEnd; ++r) {
      while (a < aboveEnd_ && runs_[a].xLast < runs_[r].xFirst) ++a;
      for (std::size_t k = a; k < aboveEnd_ && runs_[k].xFirst <= runs_[r].xLast; ++k) {
        const int32_t touching = std::max(runs_[k].xFirst, runs_[r].xFirst);
        // Going down across the centre's row left of the centre, angles jump from 180 to -180.
        const bool crossesSeam = touching < ring.centreX && aboveUp >= 0.0 && hereUp < 0.0;
        Link(k, r, crossesSeam);
      }
    }
  }
  aboveFirst_ = rowFirst;
  aboveEnd_ = rowEnd;
  aboveY_ = y;
}

void PatchLabelling::AddRun(const PixelRing& ring, int32_t y, int32_t xFirst, int32_t xLast) {
  const double dy = y - ring.centreY;
  // Upwards as centre minus row, so that the centre's own row is +0 and lies at 180 degrees
  // left of the centre, as the seam test when runs are joined takes it.
  const double up = ring.centreY - y;
  const double dy2 = dy * dy;
  Measures m;
  m.pixels = xLast - xFirst + 1;
  double inner2 = INFINITY, outer2 = 0.0, sum = 0.0;
  for (int32_t x = xFirst; x <= xLast; ++x) {
    const double dx = x - ring.centreX;
    const double d2 = dx * dx + dy2;
    inner2 = std::min(inner2, d2);
    outer2 = std::max(outer2, d2);
    sum += std::sqrt(d2);
  }
  m.radiusSum = sum;
  m.innerRadius = std::sqrt(inner2);
  m.outerRadius = std::sqrt(outer2);
  // Along a row, the angle changes one way only and never crosses 180 degrees.
  const double a = PictureAngle(xFirst - ring.centreX, up);
  const double b = PictureAngle(xLast - ring.centreX, up);
  m.lowAngle = std::min(a, b);
  m.highAngle = std::max(a, b);

  const auto label = static_cast<int32_t>(runs_.size());
  runs_.push_back({y, xFirst, xLast, label});
  parent_.push_back(label);
  parentTurns_.push_back(0);
  measures_.push_back(m);
}

int32_t PatchLabelling::Find(int32_t label, int32_t& turns) {
  int32_t root = label;
  int32_t total = 0;
  while (parent_[static_cast<std::size_t>(root)] != root) {
    total += parentTurns_[static_cast<std::size_t>(root)];
    root = parent_[static_cast<std::size_t>(root)];
  }
  // Every label on the way now points at the root, with its own distance to it.
  int32_t node = label;
  int32_t remaining = total;
  while (parent_[static_cast<std::size_t>(node)] != root && node != root) {
    const int32_t next = parent_[static_cast<std::size_t>(node)];
    const int32_t step = parentTurns_[static_cast<std::size_t>(node)];
    parent_[static_cast<std::size_t>(node)] = root;
    parentTurns_[static_cast<std::size_t>(node)] = remaining;
    remaining -= step;
    node = next;
  }
  turns = total;
  return root;
}

void PatchLabelling::Link(std::size_t above, std::size_t run, bool crossesSeam) {
  int32_t aboveTurns = 0, runTurns = 0;
  const int32_t aboveRoot = Find(static_cast<int32_t>(above), aboveTurns);
  const int32_t runRoot = Find(static_cast<int32_t>(run), runTurns);
  // An angle of the run's root frame lies `shift` turns further in the above root's frame.
  const int32_t shift = (crossesSeam ? 1 : 0) + aboveTurns - runTurns;
  if (aboveRoot == runRoot) {
    // Two ways round from one run to another that disagree by whole turns: a closed ring.
    if (shift != 0) measures_[static_cast<std::size_t>(aboveRoot)].encircles = true;
    return;
  }
  Measures& a = measures_[static_cast<std::size_t>(aboveRoot)];
  Measures& r = measures_[static_cast<std::size_t>(runRoot)];
  // The smaller tree goes under the larger, so that paths stay short.
  const bool underAbove = a.pixels >= r.pixels;
  const int32_t child = underAbove ? runRoot : aboveRoot;
  const int32_t root = underAbove ? aboveRoot : runRoot;
  const int32_t childTurns = underAbove ? shift : -shift;
  Measures& into = measures_[static_cast<std::size_t>(root)];
  const Measures& from = measures_[static_cast<std::size_t>(child)];
  const double offset = 360.0 * childTurns;
  into.pixels += from.pixels;
  into.radiusSum += from.radiusSum;
  into.innerRadius = std::min(into.innerRadius, from.innerRadius);
  into.outerRadius = std::max(into.outerRadius, from.outerRadius);
  into.lowAngle = std::min(into.lowAngle, from.lowAngle + offset);
  into.highAngle = std::max(into.highAngle, from.highAngle + offset);
  into.encircles = into.encircles || from.encircles;
  parent_[static_cast<std::size_t>(child)] = root;
  parentTurns_[static_cast<std::size_t>(child)] = childTurns;
}

void PatchLabelling::Finish() {
  patchOfRoot_.assign(parent_.size(), -1);
  for (std::size_t i = 0; i < runs_.size(); ++i) {
    int32_t turns = 0;
    const int32_t root = Find(static_cast<int32_t>(i), turns);
    int32_t& patch = patchOfRoot_[static_cast<std::size_t>(root)];
    if (patch < 0) {
      const Measures& m = measures_[static_cast<std::size_t>(root)];
      LightPatch p;
      p.pixels = m.pixels;
      p.meanRadius = m.radiusSum / static_cast<double>(m.pixels);
      p.innerRadius = m.innerRadius;
      p.outerRadius = m.outerRadius;
      p.firstAngle = m.lowAngle - 360.0 * std::floor(m.lowAngle / 360.0);
      p.sweep = m.highAngle - m.lowAngle;
      p.encirclesCentre = m.encircles || p.sweep >= 360.0;
      patch = static_cast<int32_t>(patches_.size());
      patches_.push_back(p);
    }
    runs_[i].patch = patch;
  }
}

}  // namespace tivenor
