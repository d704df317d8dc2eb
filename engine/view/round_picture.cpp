#include "engine/view/round_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tivenor {

namespace {

// The view is smooth: it is worked out exactly every this many pixels and in between by
// bilinear interpolation, which is off by far less than a hundredth of a pixel.
constexpr int32_t kNodeSpacing = 8;
constexpr double kMargin = 1.03;  // of the rim, drawn around the disc

uint32_t RedAt(const Raster& picture, double x, double y) {
  const auto x0 = static_cast<int32_t>(std::floor(x)), y0 = static_cast<int32_t>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const auto red = [&](int32_t px, int32_t py) {
    return static_cast<double>(picture.Pixel(px, py) & 0xFFu);
  };
  const double level = (1.0 - fy) * ((1.0 - fx) * red(x0, y0) + fx * red(x0 + 1, y0)) +
                       fy * ((1.0 - fx) * red(x0, y0 + 1) + fx * red(x0 + 1, y0 + 1));
  return static_cast<uint32_t>(std::lround(level)) * 0x010101u;
}

}  // namespace

RoundFrame RoundFrameFor(double rimPx) {
  RoundFrame frame;
  frame.rimPx = rimPx;
  frame.side = 2 * static_cast<int32_t>(std::ceil(kMargin * rimPx)) + 1;
  frame.centre = 0.5 * (frame.side - 1);
  return frame;
}

PlanePoint PictureOfRound(const DiscView& view, const RoundFrame& frame, PlanePoint round) {
  return view.DiscToPicture(
      {(round.x - frame.centre) / frame.rimPx, (frame.centre - round.y) / frame.rimPx});
}

void DrawRoundPicture(const Raster& picture, const DiscView& view, const RoundFrame& frame,
                      Raster& round) {
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
  for (int32_t y = 0; y < frame.side; ++y) {
    const int32_t j = y / kNodeSpacing;
    const double fy = static_cast<double>(y - j * kNodeSpacing) / kNodeSpacing;
    uint32_t* row = round.pixels.data() + static_cast<std::size_t>(y) * frame.side;
    for (int32_t x = 0; x < frame.side; ++x) {
      const int32_t i = x / kNodeSpacing;
      const double fx = static_cast<double>(x - i * kNodeSpacing) / kNodeSpacing;
      const PlanePoint& a = grid[static_cast<std::size_t>(j) * nodes + i];
      const PlanePoint& b = grid[static_cast<std::size_t>(j) * nodes + i + 1];
      const PlanePoint& c = grid[static_cast<std::size_t>(j + 1) * nodes + i];
      const PlanePoint& d = grid[static_cast<std::size_t>(j + 1) * nodes + i + 1];
      const double px = (1 - fy) * ((1 - fx) * a.x + fx * b.x) + fy * ((1 - fx) * c.x + fx * d.x);
      const double py = (1 - fy) * ((1 - fx) * a.y + fx * b.y) + fy * ((1 - fx) * c.y + fx * d.y);
      row[x] = RedAt(picture, px, py);
    }
  }
}

void CopyMarksBack(const Raster& unmarked, const Raster& marked, const DiscView& view,
                   const RoundFrame& frame, Raster& picture) {
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
  for (int32_t y = y0; y <= y1; ++y) {
    for (int32_t x = x0; x <= x1; ++x) {
      const PlanePoint disc = view.PictureToDisc({static_cast<double>(x), static_cast<double>(y)});
      const auto rx = static_cast<int32_t>(std::lround(frame.centre + disc.x * frame.rimPx));
      const auto ry = static_cast<int32_t>(std::lround(frame.centre - disc.y * frame.rimPx));
      if (!marked.Contains(rx, ry)) continue;
      const uint32_t mark = marked.Pixel(rx, ry);
      if (mark != unmarked.Pixel(rx, ry)) picture.SetPixel(x, y, mark);
    }
  }
}

}  // namespace tivenor
