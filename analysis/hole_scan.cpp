#include "analysis/hole_scan.h"

#include <algorithm>
#include <cmath>

#include "analysis/checked_math.h"
#include "analysis/hole_shape.h"
#include "analysis/outline.h"

namespace tivenor {

namespace {

inline bool Bright(uint32_t pixel, int threshold) {
  return static_cast<int>(pixel & 0xFFu) > threshold;
}

}  // namespace

void ScanDisc(ScanState& state, Host& host) {
  const int threshold = host.Threshold();  // the seed test keeps this value for the whole walk
  PrepareWorkBitmap(state, host);
  FindMidpointDiameter(state, host);
  state.NoteCount = 0;

  Raster& work = state.WorkBitmap;
  const int32_t dx = CheckedSub(state.EdgeRight.x, state.EdgeLeft.x);
  const int32_t dy = CheckedSub(state.EdgeBottom.y, state.EdgeTop.y);
  const double b = static_cast<long double>(dx) * 0.25L * static_cast<long double>(dy);
  FillQueue queue;

  for (int32_t x = state.EdgeLeft.x; x <= state.EdgeRight.x; ++x) {
    const long double fromCentre = static_cast<long double>(x) - state.CenterX;
    const double a = fromCentre * fromCentre;
    // Columns beyond the radius (a wide outline) take the root of |b - a| instead of failing.
    const double halfChord = std::sqrt(std::fabs(static_cast<long double>(b) - a));
    const int32_t firstRow = Round32(static_cast<long double>(state.CenterY) - halfChord);
    const int32_t lastRow = Round32(static_cast<long double>(state.CenterY) + halfChord);
    if (x < 0 || x >= work.width) continue;  // nothing outside the picture is bright
    // Rows outside the picture are never bright either, so the walk can skip them.
    const int32_t yBegin = std::max(firstRow, 0);
    const int32_t yEnd = std::min(lastRow, work.height - 1);
    for (int32_t y = yBegin; y <= yEnd; ++y) {
      if (Bright(work.Pixel(x, y), threshold) && FillHole(state, host, queue, x, y)) {
        HoleToNote(state, host);
      }
    }
  }

  host.ShowBitmap(work);
  work.Release();
}

bool FillHole(ScanState& state, Host& host, FillQueue& queue, int32_t x, int32_t y) {
  const int threshold = host.Threshold();
  const int minimum = host.MinimumHoleSize();
  const int maximum = host.MaximumHoleSize();
  Raster& work = state.WorkBitmap;

  state.HolePixelCount = 0;
  queue.clear();
  queue.push_back({x, y});
  const double innerRadiusPx = static_cast<long double>(InnerRadiusMm) * state.PixelsPerMm;

  for (std::size_t read = 0; read < queue.size(); ++read) {
    const PixelPoint pixel = queue[read];
    const long double ex = static_cast<long double>(pixel.x) - state.CenterX;
    const long double ey = static_cast<long double>(pixel.y) - state.CenterY;
    const double d = std::sqrt(ex * ex + ey * ey);
    if (!(d < state.ScanRadius && d > innerRadiusPx && Bright(work.Pixel(pixel.x, pixel.y),
                                                              threshold))) {
      continue;
    }
    work.SetPixel(pixel.x, pixel.y, kGreen);
    state.HolePixelCount = CheckedAdd(state.HolePixelCount, 1);
    if (state.HolePixelCount > kMaxHolePixels) {
      host.WriteLogLine("ERROR: too many pixels in disk hole");
      state.HolePixelCount = kMaxHolePixels;
    }
    state.HolePixels[state.HolePixelCount] = pixel;

    const PixelPoint neighbours[] = {{CheckedAdd(pixel.x, 1), pixel.y},
                                     {CheckedSub(pixel.x, 1), pixel.y},
                                     {pixel.x, CheckedAdd(pixel.y, 1)},
                                     {pixel.x, CheckedSub(pixel.y, 1)}};
    for (const PixelPoint& next : neighbours)
      if (Bright(work.Pixel(next.x, next.y), threshold)) queue.push_back(next);
  }
  return minimum <= state.HolePixelCount && state.HolePixelCount <= maximum;
}

}  // namespace tivenor
