#include "engine/reading/hole_scan.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "engine/base/checked_math.h"
#include "engine/reading/hole_shape.h"
#include "engine/reading/outline.h"
#include "engine/reading/oversize_log.h"
#include "engine/reading/pixel_search.h"

namespace tivenor {

namespace {

// The rows the walk visits in each column of the outline, clipped to the picture (nothing
// outside it is bright). The outline's columns always lie inside the picture.
std::vector<WalkedStretch> ColumnStretches(const ScanState& state, const Raster& work) {
  std::vector<WalkedStretch> stretches;
  for (int32_t x = state.EdgeLeft.x; x <= state.EdgeRight.x; ++x) {
    const WalkedStretch rows = WalkedRows(state, x);
    stretches.push_back({std::max(rows.first, 0), std::min(rows.last, work.height - 1)});
  }
  return stretches;
}

// The ring in which a fill takes pixels: farther than the inner radius from the centre and
// nearer than ScanRadius.
bool InRing(const ScanState& state, double innerRadiusPx, PixelPoint pixel) {
  const long double ex = static_cast<long double>(pixel.x) - state.CenterX;
  const long double ey = static_cast<long double>(pixel.y) - state.CenterY;
  const double d = std::sqrt(ex * ex + ey * ey);
  return d < state.ScanRadius && d > innerRadiusPx;
}

double InnerRadiusPx(const ScanState& state) {
  return static_cast<long double>(InnerRadiusMm) * state.PixelsPerMm;
}

// Columns of one row, both ends included; empty when first > last.
struct ColumnSpan {
  int32_t first = 0;
  int32_t last = -1;
};

// The columns of row y that may hold ring pixels: at most two spans, either side of the centre
// area. They reach a pixel beyond the ring on every side, so rounding never drops a pixel; the
// exact test is still made for every pixel found in them.
int RingSpans(const ScanState& state, double innerRadiusPx, int32_t y, ColumnSpan spans[2]) {
  const long double dy = static_cast<long double>(y) - state.CenterY;
  const long double outer = state.ScanRadius;
  if (std::fabs(dy) > outer + 1) return 0;
  const long double halfWidth = std::sqrt(std::max(outer * outer - dy * dy, 0.0L));
  const ColumnSpan ring{static_cast<int32_t>(std::floor(state.CenterX - halfWidth)) - 1,
                        static_cast<int32_t>(std::ceil(state.CenterX + halfWidth)) + 1};
  const long double inner = innerRadiusPx;
  if (std::fabs(dy) < inner) {
    const long double holeHalfWidth = std::sqrt(inner * inner - dy * dy);
    const ColumnSpan hole{static_cast<int32_t>(std::ceil(state.CenterX - holeHalfWidth)) + 1,
                          static_cast<int32_t>(std::floor(state.CenterX + holeHalfWidth)) - 1};
    if (hole.first <= hole.last) {
      spans[0] = {ring.first, hole.first - 1};
      spans[1] = {hole.last + 1, ring.last};
      return 2;
    }
  }
  spans[0] = ring;
  return 1;
}

constexpr int32_t kBlockWidth = 1024;  // columns read together: a memory page of each row

}  // namespace

WalkedStretch WalkedRows(const ScanState& state, int32_t x) {
  const int32_t dx = CheckedSub(state.EdgeRight.x, state.EdgeLeft.x);
  const int32_t dy = CheckedSub(state.EdgeBottom.y, state.EdgeTop.y);
  const double b = static_cast<long double>(dx) * 0.25L * static_cast<long double>(dy);
  const long double fromCentre = static_cast<long double>(x) - state.CenterX;
  const double a = fromCentre * fromCentre;
  // Columns beyond the radius (a wide outline) take the root of |b - a| instead of failing.
  const double halfChord = std::sqrt(std::fabs(static_cast<long double>(b) - a));
  return {Round32(static_cast<long double>(state.CenterY) - halfChord),
          Round32(static_cast<long double>(state.CenterY) + halfChord)};
}

void ScanDisc(ScanState& state, Host& host) {
  const int threshold = host.Threshold();  // the seed test keeps this value for the whole walk
  PrepareWorkBitmap(state, host);
  FindMidpointDiameter(state, host);
  state.NoteCount = 0;
  state.Rejected = {};
  state.OversizePixels = 0;

  // The walk visits columns left to right and each column top to bottom. To read memory in
  // order, each block of columns is first read row by row for the pixels that are bright before
  // the walk; the walk then visits only those, in column order, and tests each again, since
  // the fills and note marks of earlier seeds only ever darken pixels. A seed outside the ring
  // would start a fill that takes nothing and makes no note, so only the ring is read.
  Raster& work = state.WorkBitmap;
  const std::vector<WalkedStretch> stretches = ColumnStretches(state, work);
  const double innerRadiusPx = InnerRadiusPx(state);
  const int32_t columns = static_cast<int32_t>(stretches.size());
  FillQueue queue;
  std::vector<std::vector<int32_t>> seedRows(static_cast<std::size_t>(kBlockWidth));
  for (int32_t blockStart = 0; blockStart < columns; blockStart += kBlockWidth) {
    const int32_t blockWidth = std::min(kBlockWidth, columns - blockStart);
    const int32_t x0 = state.EdgeLeft.x + blockStart;  // the outline keeps columns inside
    const WalkedStretch* blockStretches = stretches.data() + blockStart;
    int32_t yFirst = work.height, yLast = -1;
    for (int32_t c = 0; c < blockWidth; ++c) {
      seedRows[static_cast<std::size_t>(c)].clear();
      if (blockStretches[c].first > blockStretches[c].last) continue;
      yFirst = std::min(yFirst, blockStretches[c].first);
      yLast = std::max(yLast, blockStretches[c].last);
    }
    for (int32_t y = yFirst; y <= yLast; ++y) {
      const uint32_t* row = work.pixels.data() + static_cast<std::size_t>(y) * work.width + x0;
      ColumnSpan spans[2];
      const int spanCount = RingSpans(state, innerRadiusPx, y, spans);
      for (int i = 0; i < spanCount; ++i) {
        const int32_t first = std::max(spans[i].first - x0, 0);
        const int32_t last = std::min(spans[i].last - x0, blockWidth - 1);
        if (first > last) continue;
        ForEachBright(row + first, last - first + 1, threshold, [&](int32_t offset) {
          const int32_t c = first + offset;
          if (y >= blockStretches[c].first && y <= blockStretches[c].last &&
              InRing(state, innerRadiusPx, {x0 + c, y})) {
            seedRows[static_cast<std::size_t>(c)].push_back(y);
          }
        });
      }
    }
    for (int32_t c = 0; c < blockWidth; ++c) {
      const int32_t x = x0 + c;
      for (const int32_t y : seedRows[static_cast<std::size_t>(c)]) {
        if (IsBright(work.Pixel(x, y), threshold) && FillHole(state, host, queue, x, y))
          HoleToNote(state, host);
      }
    }
  }

  LogOversizeLeftOut(state, host);

  // The working copy ends here: the display takes it over.
  host.TakeBitmap(std::exchange(work, Raster{}));
}

bool FillHole(ScanState& state, Host& host, FillQueue& queue, int32_t x, int32_t y) {
  const int threshold = host.Threshold();
  const int minimum = host.MinimumHoleSize();
  const int maximum = host.MaximumHoleSize();
  Raster& work = state.WorkBitmap;

  state.HolePixelCount = 0;
  queue.clear();
  queue.push_back({x, y});
  const double innerRadiusPx = InnerRadiusPx(state);
  bool overfull = false;

  for (std::size_t read = 0; read < queue.size(); ++read) {
    const PixelPoint pixel = queue[read];
    if (!(InRing(state, innerRadiusPx, pixel) &&
          IsBright(work.Pixel(pixel.x, pixel.y), threshold))) {
      continue;
    }
    work.SetPixel(pixel.x, pixel.y, kGreen);
    state.HolePixelCount = CheckedAdd(state.HolePixelCount, 1);
    if (state.HolePixelCount > kMaxHolePixels) {
      LogOversizePixel(state, host);
      state.HolePixelCount = kMaxHolePixels;
      overfull = true;
    }
    state.HolePixels[state.HolePixelCount] = pixel;

    const PixelPoint neighbours[] = {{CheckedAdd(pixel.x, 1), pixel.y},
                                     {CheckedSub(pixel.x, 1), pixel.y},
                                     {pixel.x, CheckedAdd(pixel.y, 1)},
                                     {pixel.x, CheckedSub(pixel.y, 1)}};
    for (const PixelPoint& next : neighbours)
      if (IsBright(work.Pixel(next.x, next.y), threshold)) queue.push_back(next);
  }
  const int32_t size = state.HolePixelCount;
  if (overfull) ++state.Rejected.overfull;
  if (size > maximum) {
    ++state.Rejected.tooLarge;
    state.Rejected.largest = std::max(state.Rejected.largest, size);
  } else if (size < minimum && size > 0) {
    ++state.Rejected.tooSmall;
  }
  return minimum <= size && size <= maximum;
}

}  // namespace tivenor
