#include "engine/reading/outline.h"

#include <cmath>

#include "engine/base/checked_math.h"
#include "engine/reading/pixel_search.h"

namespace tivenor {

namespace {

// The first dark pixel of each of the four scans; a scan that finds none leaves its point at
// (0, 0). All four read rows in memory order: a column scan keeps, row by row, the best column
// found so far and reads each row only up to it, so the first row to reach a column wins, as
// the topmost (or, from the bottom, the lowest) dark pixel of that column.
struct EdgeScan {
  const Raster& raster;
  int32_t limit;  // DarkLimit
  int32_t xFirst, xLast, yFirst, yLast;

  const uint32_t* Row(int32_t y) const {
    return raster.pixels.data() + static_cast<std::size_t>(y) * raster.width;
  }

  PixelPoint Top() const {
    for (int32_t y = yFirst; y <= yLast; ++y) {
      const int32_t x = FirstDarkUp(Row(y), xFirst, xLast + 1, limit);
      if (x >= 0) return {x, y};
    }
    return {};
  }
  PixelPoint Bottom() const {
    for (int32_t y = yLast; y >= yFirst; --y) {
      const int32_t x = FirstDarkDown(Row(y), xLast, xFirst, limit);
      if (x >= 0) return {x, y};
    }
    return {};
  }
  PixelPoint Left() const {
    PixelPoint best{};
    int32_t bestX = xLast + 1;
    for (int32_t y = yFirst; y <= yLast && bestX > xFirst; ++y) {
      const int32_t x = FirstDarkUp(Row(y), xFirst, bestX, limit);
      if (x >= 0) best = {bestX = x, y};
    }
    return best;
  }
  PixelPoint Right() const {
    PixelPoint best{};
    int32_t bestX = xFirst - 1;
    for (int32_t y = yLast; y >= yFirst && bestX < xLast; --y) {
      const int32_t x = FirstDarkDown(Row(y), xLast, bestX + 1, limit);
      if (x >= 0) best = {bestX = x, y};
    }
    return best;
  }
};

void MarkAround(Raster& raster, PixelPoint point, int32_t half, uint32_t colour) {
  FillEllipse(raster, CheckedSub(point.x, half), CheckedSub(point.y, half),
              CheckedAdd(point.x, half), CheckedAdd(point.y, half), colour);
}

}  // namespace

void PrepareWorkBitmap(ScanState& state, Host& host) {
  if (!state.PictureClean) host.ReloadPicture(state.SourceFileName);
  host.CopyDisplayedPicture(state.WorkBitmap);
}

void FindMidpointDiameter(ScanState& state, Host& host) {
  host.ShowMessageLine("Find Midpoint + Diameter");
  state.EdgeLeft = state.EdgeRight = state.EdgeTop = state.EdgeBottom = PixelPoint{};

  const Raster& work = state.WorkBitmap;
  const EdgeScan scan{work, CheckedMul(host.Threshold(), 65793), 2, CheckedSub(work.width, 3),
                      2,    CheckedSub(work.height, 3)};
  state.EdgeTop = scan.Top();
  state.EdgeBottom = scan.Bottom();
  state.EdgeLeft = scan.Left();
  state.EdgeRight = scan.Right();

  const int32_t dx = CheckedSub(state.EdgeRight.x, state.EdgeLeft.x);
  const int32_t dy = CheckedSub(state.EdgeBottom.y, state.EdgeTop.y);
  const int32_t p = CheckedMul(dx, dy);
  // Without an extent in both directions there is no radius to measure the disc by.
  if (p <= 0) throw RunError(kNoDiscFound);

  const double discRadius = std::sqrt(static_cast<long double>(p)) * 0.5L;
  state.MmPerPixel = static_cast<double>((0.5L * DiscDiameterMm) / discRadius);
  state.PixelsPerMm = static_cast<double>(1.0L / state.MmPerPixel);
  state.ScanRadius = static_cast<double>(
      (1.0L - static_cast<long double>(EdgeMarginMm) / (0.5L * DiscDiameterMm)) * discRadius);
  state.CenterX = CheckedAdd(state.EdgeRight.x, state.EdgeLeft.x) * 0.5;
  state.CenterY = CheckedAdd(state.EdgeBottom.y, state.EdgeTop.y) * 0.5;

  DrawOutlineMarks(state, host);
}

void DrawOutlineMarks(ScanState& state, Host& host) {
  Raster& work = state.WorkBitmap;
  MarkAround(work, {Trunc32(state.CenterX), Trunc32(state.CenterY)}, 2, kRed);
  for (const PixelPoint& edge : {state.EdgeTop, state.EdgeBottom, state.EdgeLeft, state.EdgeRight})
    MarkAround(work, edge, 4, kGreen);
  host.ShowBitmap(work);
}

}  // namespace tivenor
