#include "engine/view/round_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "engine/base/channel_level.h"
#include "engine/base/run_at_once.h"

namespace tivenor {

namespace {

// The view is smooth: it is worked out exactly every this many pixels and in between by
// bilinear interpolation, which is off by far less than a hundredth of a pixel.
constexpr int32_t kNodeSpacing = 8;
constexpr double kMargin = 1.03;  // of the rim, drawn around the disc

// Points of the picture in fixed point, for the bilinear level of millions of them: a 256th of
// a pixel is far finer than any edge is found to.
constexpr int kFractionBits = 8;
constexpr int32_t kOne = 1 << kFractionBits;

int32_t Fixed(double value) {
  return static_cast<int32_t>(std::lround(value * kOne));
}

uint32_t Grey(uint32_t level) {
  return level * 0x010101u;
}

// The level at fixed point (x, y), as grey.
uint32_t GreyAt(const Raster& picture, int32_t x, int32_t y, Channel channel) {
  const int32_t x0 = x >> kFractionBits, y0 = y >> kFractionBits;
  if (x0 < 0 || y0 < 0 || x0 + 1 >= picture.width || y0 + 1 >= picture.height) {
    const double level =
        LevelAt(picture, static_cast<double>(x) / kOne, static_cast<double>(y) / kOne, channel);
    return Grey(static_cast<uint32_t>(std::lround(level)));
  }
  const uint32_t fx = static_cast<uint32_t>(x & (kOne - 1)),
                 fy = static_cast<uint32_t>(y & (kOne - 1));
  const uint32_t* row = picture.pixels.data() + static_cast<std::size_t>(y0) * picture.width + x0;
  const uint32_t* below = row + picture.width;
  const uint32_t top = LevelOf(row[0], channel) * (kOne - fx) + LevelOf(row[1], channel) * fx;
  const uint32_t bottom =
      LevelOf(below[0], channel) * (kOne - fx) + LevelOf(below[1], channel) * fx;
  const uint32_t half = 1u << (2 * kFractionBits - 1);
  return Grey((top * (kOne - fy) + bottom * fy + half) >> (2 * kFractionBits));
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
    // The picture's points down each column of nodes at this row, then along the row between
    // them by equal steps.
    std::vector<PlanePoint> column(static_cast<std::size_t>(nodes));
    for (int32_t y = yFirst; y < yEnd; ++y) {
      const int32_t j = y / kNodeSpacing;
      const double fy = static_cast<double>(y - j * kNodeSpacing) / kNodeSpacing;
      const PlanePoint* above = grid.data() + static_cast<std::size_t>(j) * nodes;
      const PlanePoint* below = above + nodes;
      for (int32_t i = 0; i < nodes; ++i) {
        column[static_cast<std::size_t>(i)] = {(1 - fy) * above[i].x + fy * below[i].x,
                                               (1 - fy) * above[i].y + fy * below[i].y};
      }
      uint32_t* row = round.pixels.data() + static_cast<std::size_t>(y) * frame.side;
      // Only the disc is read: the corners beyond it stay black.
      const double dy = y - frame.centre;
      const double reach = std::sqrt(std::max(0.0, frame.reach * frame.reach - dy * dy));
      const int32_t xFirst = std::max(0, static_cast<int32_t>(std::floor(frame.centre - reach)));
      const int32_t xLast =
          std::min(frame.side - 1, static_cast<int32_t>(std::ceil(frame.centre + reach)));
      std::fill(row, row + std::max(0, xFirst), 0u);
      if (xLast + 1 < frame.side) std::fill(row + xLast + 1, row + frame.side, 0u);
      for (int32_t x = xFirst; x <= xLast;) {
        const int32_t i = x / kNodeSpacing;
        const PlanePoint& left = column[static_cast<std::size_t>(i)];
        const PlanePoint& right = column[static_cast<std::size_t>(i) + 1];
        const int32_t stepX = Fixed((right.x - left.x) / kNodeSpacing);
        const int32_t stepY = Fixed((right.y - left.y) / kNodeSpacing);
        const int32_t cellEnd = std::min(xLast, (i + 1) * kNodeSpacing - 1);
        const int32_t k = x - i * kNodeSpacing;
        int32_t px = Fixed(left.x) + k * stepX, py = Fixed(left.y) + k * stepY;
        for (; x <= cellEnd; ++x, px += stepX, py += stepY)
          row[x] = GreyAt(picture, px, py, channel);
      }
    }
  };
  // Two halves at once: the drawing is most of what a photograph adds to the reading.
  RunAtOnce(2, [&](std::size_t half) {
    half == 0 ? drawRows(0, frame.side / 2) : drawRows(frame.side / 2, frame.side);
  });
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
  RunAtOnce(2, [&](std::size_t half) {
    half == 0 ? findMarks(0, tiles / 2) : findMarks(tiles / 2, tiles);
  });
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
