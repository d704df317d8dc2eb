#include "tests/support/photo_label.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <string_view>

#include "tests/support/photo_texture.h"

namespace tivenor::testing {
namespace {

using Glyph = std::array<uint8_t, 7>;  // rows from the top, the left column in bit 4

// A 5 x 7 capital font with the letters the label uses; the others stay blank.
constexpr std::array<Glyph, 26> kFont = [] {
  std::array<Glyph, 26> font{};
  const auto set = [&font](char letter, Glyph glyph) {
    font[static_cast<std::size_t>(letter - 'A')] = glyph;
  };
  set('A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11});
  set('B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E});
  set('C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E});
  set('D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E});
  set('E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F});
  set('G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F});
  set('H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11});
  set('I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E});
  set('L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F});
  set('M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11});
  set('N', {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11});
  set('O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E});
  set('R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11});
  set('S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E});
  set('T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04});
  set('U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E});
  return font;
}();

constexpr std::string_view kSmallTextLetters = "ABCDEGHILMNORSTU";
constexpr std::string_view kLegend = "THE BEGINNING";
constexpr std::string_view kTitle = "GRAND ORGAN MUSIC";
constexpr int kAdvance = 6;  // cells from one letter to the next

double Smooth(double t) {
  t = std::clamp(t, 0.0, 1.0);
  return t * t * (3.0 - 2.0 * t);
}

// Ink of a letter at (column, row), in cells from its top-left corner. The font's cells are
// smoothed (bilinear) and cut below half, which rounds the strokes and joins the diagonal ones
// as printed type has them.
double LetterInk(char letter, double column, double row, double softness) {
  if (letter < 'A' || letter > 'Z' || column < 0.0 || column >= kAdvance || row < -1.0 ||
      row > 8.0) {
    return 0.0;
  }
  const Glyph& glyph = kFont[static_cast<std::size_t>(letter - 'A')];
  const double fx = column - 0.5, fy = row - 0.5;
  const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
  const double ax = fx - ix, ay = fy - iy;
  const auto bit = [&glyph](int x, int y) -> double {
    if (x < 0 || x > 4 || y < 0 || y > 6) return 0.0;
    return (glyph[static_cast<std::size_t>(y)] >> (4 - x)) & 1u;
  };
  const double value = (bit(ix, iy) * (1.0 - ax) + bit(ix + 1, iy) * ax) * (1.0 - ay) +
                       (bit(ix, iy + 1) * (1.0 - ax) + bit(ix + 1, iy + 1) * ax) * ay;
  return Smooth((value - 0.4) / softness + 0.5);
}

// A line of text from `along` = 0, letters `cell` high / 7.
double TextInk(std::string_view text, double along, double row, double cell, double edge) {
  if (along < 0.0) return 0.0;
  const double column = along / cell;
  const auto index = static_cast<std::size_t>(column / kAdvance);
  if (index >= text.size()) return 0.0;
  return LetterInk(text[index], column - static_cast<double>(index) * kAdvance, row,
                   std::max(edge / cell, 0.05));
}

double BandInk(double distance, double halfWidth, double edge) {
  return Smooth((halfWidth - std::abs(distance)) / edge + 0.5);
}

double TitleCell(const LabelPrint& print) {
  return 0.012 * print.labelRadius;
}
double SmallTextCell(const LabelPrint& print) {
  return std::min(0.0021, 0.0065 * print.labelRadius);
}
constexpr double kLegendGap = 0.005;  // between the start line and its legend

double LegendCell(const LabelPrint& print) {
  const double room = 0.92 * print.labelRadius - StartLineInnerRadius(print) - 0.01;
  return std::clamp(room / (kLegend.size() * kAdvance), 0.0, 0.0028);
}

double StartLineAndLegendInk(const LabelPrint& print, double tx, double ty) {
  const double r0 = StartLineInnerRadius(print);
  const double e = print.edgeWidth;
  double ink = 0.0;
  if (ty > r0 - e) ink = BandInk(tx, 0.5 * kStartLineWidth, e) * Smooth((ty - r0) / e + 0.5);
  // The legend reads outwards along the line, on its counter-clockwise side.
  const double cell = LegendCell(print);
  if (cell > 0.0) {
    const double up = -tx - 0.5 * kStartLineWidth - kLegendGap;
    ink = std::max(ink, TextInk(kLegend, ty - r0 - 0.01, 7.0 - up / cell, cell, e));
  }
  return ink;
}

double TitleInk(const LabelPrint& print, double tx, double ty, double r) {
  const double cell = TitleCell(print);
  const double baseline = 0.90 * print.labelRadius;
  if (ty >= 0.0 || r < baseline - 8.0 * cell || r > baseline + cell) return 0.0;
  // Along the lower rim, left to right, the letters' tops towards the centre.
  const double angle = std::atan2(ty, tx) + 0.5 * std::numbers::pi;
  const double halfLength = 0.5 * static_cast<double>(kTitle.size() * kAdvance) * cell;
  return TextInk(kTitle, angle * baseline + halfLength, (r - baseline + 7.0 * cell) / cell, cell,
                 print.edgeWidth);
}

double SmallTextInk(const LabelPrint& print, double tx, double ty, double r) {
  const double l = print.labelRadius;
  const double cell = SmallTextCell(print);
  const double pitch = 13.0 * cell;
  const long line = std::lround(ty / pitch);
  const double lineY = static_cast<double>(line) * pitch;
  if (std::abs(lineY) > 0.55 * l || r < print.keepClearRadius + 0.015) return 0.0;
  // Keep the start line and its legend free.
  if (print.startLine && ty > 0.0 &&
      tx > -(0.5 * kStartLineWidth + kLegendGap + 7.0 * LegendCell(print) + 0.012) &&
      tx < 0.5 * kStartLineWidth + 0.012) {
    return 0.0;
  }
  const double reach = std::sqrt(std::max(0.0, 0.78 * 0.78 * l * l - lineY * lineY));
  const auto lineBits = HashBits(static_cast<uint64_t>(line + 1000), 17, print.seed);
  const double ragged = reach * 0.3 * static_cast<double>(lineBits % 1000) / 1000.0;
  if (tx < -reach || tx > reach - ragged) return 0.0;
  const double column = (tx + reach) / cell;
  const auto index = static_cast<uint64_t>(column / kAdvance);
  const uint64_t bits = HashBits(static_cast<uint64_t>(line + 1000), index, print.seed);
  if (bits % 100 < 18) return 0.0;  // a space between words
  const char letter = kSmallTextLetters[(bits >> 8) % kSmallTextLetters.size()];
  return LetterInk(letter, column - static_cast<double>(index) * kAdvance,
                   (lineY + 3.5 * cell - ty) / cell, std::max(print.edgeWidth / cell, 0.05));
}

}  // namespace

double StartLineInnerRadius(const LabelPrint& print) {
  return std::max(print.keepClearRadius + 0.02, 0.35 * print.labelRadius);
}

double LabelInk(const LabelPrint& print, PlanePoint point) {
  const double l = print.labelRadius;
  const double r = std::hypot(point.x, point.y);
  if (l <= 0.0 || r > l || r < print.keepClearRadius) return 0.0;
  const double e = print.edgeWidth;
  double ink = std::max(BandInk(r - 0.955 * l, 0.0018, e), BandInk(r - 0.93 * l, 0.0008, e));
  // The label's own frame: the start line points up, its right side is clockwise from it.
  const double a = print.startLineDegrees * std::numbers::pi / 180.0;
  const double tx = point.x * std::sin(a) - point.y * std::cos(a);
  const double ty = point.x * std::cos(a) + point.y * std::sin(a);
  if (print.startLine) ink = std::max(ink, StartLineAndLegendInk(print, tx, ty));
  ink = std::max(ink, TitleInk(print, tx, ty, r));
  return std::max(ink, SmallTextInk(print, tx, ty, r));
}

}  // namespace tivenor::testing
