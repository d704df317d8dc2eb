#include "engine/view/round_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

#include "engine/base/channel_level.h"

namespace tivenor {

namespace {

// The view is smooth: it is worked out exactly every this many pixels and in between by
// bilinear interpolation, which is off by far less than a hundredth of a pixel.
constexpr int32_t kNodeSpacing = 8;
constexpr double kMargin = 1.03;  // of the rim, drawn around the disc

uint32_t GreyAt(const Raster& picture, double x, double y, Channel channel) {
  // Levels are never negative: adding a half rounds them.
  const double level = LevelAt(picture, x, y, channel) + 0.5;
  return static_cast<uint32_t>(level) * 0x010101u;
}

}  // namespace

RoundFrame RoundFrameFor(double rimPx) {
  RoundFrame frame;
  frame.rimPx = rimPx;
  frame.side = 2 * static_cast<int32_t>(std::ceil(kMargin * rimPx)) + 1;
  frame.centre = 0.5 * (frame.side - 1);
  frame.reach = kMargin * rimPx;
  return frame;
}

PlanePoint PictureOfRound(const DiscView& view, const RoundFrame& frame, PlanePoint round) {
  return view.DiscToPicture(
      {(round.x - frame.centre) / frame.rimPx, (frame.centre - round.y) / frame.rimPx});
}

void DrawRoundPicture(const Raster& picture, const DiscView& view, const RoundFrame& frame,
                      Raster& round, Channel channel) {
  round.ResizeForOverwrite(frame.side, frame.side);
  const int32_t nodes = (frame.side + kNodeSpacing - 1) / kNodeSpacing + 1;
  std::vector<PlanePoint> grid(static_cast<std::size_t>(nodes) * nodes);
  for (int32_t j = 0; j < nodes; ++j) {
    for (int32_t i = 0; i < nodes; ++i) {
      grid[static_cast<std::size_t>(j) * nodes + i] = PictureOfRound(
          view, frame,
          {static_cast<double>(i * kNodeSpacing), static_cast<double>(j * kNodeSpacing)});
    }
  }
  const auto drawRows = [&](int32_t yFirst, int32_t yEnd) {
    for (int32_t y = yFirst; y < yEnd; ++y) {
      const int32_t j = y / kNodeSpacing;
      const double fy = static_cast<double>(y - j * kNodeSpacing) / kNodeSpacing;
      uint32_t* row = round.pixels.data() + static_cast<std::size_t>(y) * frame.side;
      // Only the disc is read: the corners beyond it stay black.
      const double dy = y - frame.centre;
      const double reach = std::sqrt(std::max(0.0, frame.reach * frame.reach - dy * dy));
      const int32_t xFirst = std::max(0, static_cast<int32_t>(std::floor(frame.centre - reach)));
      const int32_t xLast =
          std::min(frame.side - 1, static_cast<int32_t>(std::ceil(frame.centre + reach)));
      std::fill(row, row + std::max(0, xFirst), 0u);
      if (xLast + 1 < frame.side) std::fill(row + xLast + 1, row + frame.side, 0u);
      for (int32_t x = xFirst; x <= xLast; ++x) {
        const int32_t i = x / kNodeSpacing;
        const double fx = static_cast<double>(x - i * kNodeSpacing) / kNodeSpacing;
        const PlanePoint& a = grid[static_cast<std::size_t>(j) * nodes + i];
        const PlanePoint& b = grid[static_cast<std::size_t>(j) * nodes + i + 1];
        const PlanePoint& c = grid[static_cast<std::size_t>(j + 1) * nodes + i];
        const PlanePoint& d = grid[static_cast<std::size_t>(j + 1) * nodes + i + 1];
        const double px = (1 - fy) * ((1 - fx) * a.x + fx * b.x) + fy * ((1 - fx) * c.x + fx * d.x);
        const double py = (1 - fy) * ((1 - fx) * a.y + fx * b.y) + fy * ((1 - fx) * c.y + fx * d.y);
        row[x] = GreyAt(picture, px, py, channel);
      }
    }
  };
  // Two halves at once: the drawing is most of what a photograph adds to the reading.
  std::thread lower(drawRows, frame.side / 2, frame.side);
  drawRows(0, frame.side / 2);
  lower.join();
}

bool IsMark(uint32_t pixel) {
  const uint32_t red = pixel & 0xFFu, green = (pixel >> 8) & 0xFFu, blue = (pixel >> 16) & 0xFFu;
  return red != green || green != blue;
}

void CopyMarksBack(const Raster& marked, const DiscView& view, const RoundFrame& frame,
                   Raster& picture) {
  double left = picture.width, right = 0.0, top = picture.height, bottom = 0.0;
  for (int k = 0; k < 96; ++k) {
    const double a = 2.0 * std::numbers::pi * k / 96.0;
    const PlanePoint p = view.DiscToPicture({kMargin * std::cos(a), kMargin * std::sin(a)});
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  const int32_t x0 = std::max(0, static_cast<int32_t>(std::floor(left)));
  const int32_t x1 = std::min(picture.width - 1, static_cast<int32_t>(std::ceil(right)));
  const int32_t y0 = std::max(0, static_cast<int32_t>(std::floor(top)));
  const int32_t y1 = std::min(picture.height - 1, static_cast<int32_t>(std::ceil(bottom)));
  if (x1 < x0 || y1 < y0) return;
  // Where each picture pixel lies on the round picture, exactly at nodes and interpolated
  // between them, as the round picture was drawn.
  const int32_t columns = (x1 - x0) / kNodeSpacing + 2;
  const int32_t rows = (y1 - y0) / kNodeSpacing + 2;
  std::vector<PlanePoint> grid(static_cast<std::size_t>(columns) * rows);
  for (int32_t j = 0; j < rows; ++j) {
    for (int32_t i = 0; i < columns; ++i) {
      const PlanePoint disc = view.PictureToDisc(
          {static_cast<double>(x0 + i * kNodeSpacing), static_cast<double>(y0 + j * kNodeSpacing)});
      grid[static_cast<std::size_t>(j) * columns + i] = {frame.centre + disc.x * frame.rimPx,
                                                         frame.centre - disc.y * frame.rimPx};
    }
  }
  // Which tiles of the round picture the marks changed: most of the disc has no mark.
  const int32_t tiles = (marked.width + kNodeSpacing - 1) / kNodeSpacing;
  std::vector<char> changed(static_cast<std::size_t>(tiles) * tiles, 0);
  const auto findMarks = [&](int32_t tileFirst, int32_t tileEnd) {
    for (int32_t y = tileFirst * kNodeSpacing; y < std::min(marked.height, tileEnd * kNodeSpacing);
         ++y) {
      const uint32_t* m = marked.pixels.data() + static_cast<std::size_t>(y) * marked.width;
      for (int32_t x = 0; x < marked.width; ++x) {
        if (IsMark(m[x]))
          changed[static_cast<std::size_t>(y / kNodeSpacing) * tiles + x / kNodeSpacing] = 1;
      }
    }
  };
  // Two halves at once, split between rows of tiles so that no tile is written by both.
  std::thread lower(findMarks, tiles / 2, tiles);
  findMarks(0, tiles / 2);
  lower.join();
  const auto anyChanged = [&](const PlanePoint& a, const PlanePoint& d, const PlanePoint& b,
                              const PlanePoint& c) {
    const double left = std::min({a.x, b.x, c.x, d.x}), right = std::max({a.x, b.x, c.x, d.x});
    const double top = std::min({a.y, b.y, c.y, d.y}), bottom = std::max({a.y, b.y, c.y, d.y});
    const int32_t i0 = std::max(0, static_cast<int32_t>(std::floor(left)) / kNodeSpacing);
    const int32_t i1 = std::min(tiles - 1, static_cast<int32_t>(std::ceil(right)) / kNodeSpacing);
    const int32_t j0 = std::max(0, static_cast<int32_t>(std::floor(top)) / kNodeSpacing);
    const int32_t j1 = std::min(tiles - 1, static_cast<int32_t>(std::ceil(bottom)) / kNodeSpacing);
    for (int32_t j = j0; j <= j1; ++j) {
      for (int32_t i = i0; i <= i1; ++i) {
        if (changed[static_cast<std::size_t>(j) * tiles + i]) return true;
      }
    }
    return false;
  };
  for (int32_t j = 0; j + 1 < rows; ++j) {
    for (int32_t i = 0; i + 1 < columns; ++i) {
      const PlanePoint& a = grid[static_cast<std::size_t>(j) * columns + i];
      const PlanePoint& b = grid[static_cast<std::size_t>(j) * columns + i + 1];
      const PlanePoint& c = grid[static_cast<std::size_t>(j + 1) * columns + i];
      const PlanePoint& d = grid[static_cast<std::size_t>(j + 1) * columns + i + 1];
      if (!anyChanged(a, d, b, c)) continue;
      const int32_t yEnd = std::min(y1, y0 + (j + 1) * kNodeSpacing - 1);
      const int32_t xEnd = std::min(x1, x0 + (i + 1) * kNodeSpacing - 1);
      for (int32_t y = y0 + j * kNodeSpacing; y <= yEnd; ++y) {
        const double fy = static_cast<double>(y - y0 - j * kNodeSpacing) / kNodeSpacing;
        for (int32_t x = x0 + i * kNodeSpacing; x <= xEnd; ++x) {
          const double fx = static_cast<double>(x - x0 - i * kNodeSpacing) / kNodeSpacing;
          const double rx =
              (1 - fy) * ((1 - fx) * a.x + fx * b.x) + fy * ((1 - fx) * c.x + fx * d.x);
          const double ry =
              (1 - fy) * ((1 - fx) * a.y + fx * b.y) + fy * ((1 - fx) * c.y + fx * d.y);
          const auto px = static_cast<int32_t>(std::floor(rx + 0.5));
          const auto py = static_cast<int32_t>(std::floor(ry + 0.5));
          if (!marked.Contains(px, py)) continue;
          const uint32_t mark = marked.Pixel(px, py);
          if (IsMark(mark)) picture.SetPixel(x, y, mark);
        }
      }
    }
  }
}

}  // namespace tivenor
