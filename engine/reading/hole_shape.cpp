#include "engine/reading/hole_shape.h"

#include <cmath>
#include <string>

#include "engine/base/checked_math.h"

namespace tivenor {

namespace {

struct Vector {
  double x = 0.0;
  double y = 0.0;
};

// Unit vector along v, or nothing when v has no length.
bool Normalise(Vector& v) {
  const double length =
      std::sqrt(static_cast<long double>(v.x) * v.x + static_cast<long double>(v.y) * v.y);
  if (length == 0.0) return false;
  v.x = static_cast<long double>(v.x) / length;
  v.y = static_cast<long double>(v.y) / length;
  return true;
}

}  // namespace

void HoleToNote(ScanState& state, Host& host) {
  const int32_t n = state.HolePixelCount;
  if (n < 2) return;  // no mean and no spread can be taken from fewer than two pixels

  double sumX = 0.0, sumY = 0.0, sumXX = 0.0, sumYY = 0.0, sumXY = 0.0;
  for (int32_t i = 1; i <= n; ++i) {
    const PixelPoint& p = state.HolePixels[i];
    sumX = static_cast<long double>(sumX) + p.x;
    sumY = static_cast<long double>(sumY) + p.y;
    sumXX = static_cast<long double>(sumXX) + CheckedMul(p.x, p.x);
    sumYY = static_cast<long double>(sumYY) + CheckedMul(p.y, p.y);
    sumXY = static_cast<long double>(sumXY) + CheckedMul(p.x, p.y);
  }
  const long double count = n;
  const double mx = sumX / count;
  const double my = sumY / count;
  const double sxx = (sumXX - count * mx * mx) / (count - 1);
  const double syy = (sumYY - count * my * my) / (count - 1);
  const double sxy = (sumXY - count * mx * my) / (count - 1);

  const long double spread = static_cast<long double>(sxx) - syy;
  const double root = std::sqrt(spread * spread + 4 * static_cast<long double>(sxy) * sxy);
  const double lambda = (static_cast<long double>(sxx) + syy + root) * 0.5L;

  Vector axis = sxx > syy
                    ? Vector{static_cast<double>(static_cast<long double>(syy) - lambda), -sxy}
                    : Vector{-sxy, static_cast<double>(static_cast<long double>(sxx) - lambda)};
  if (!Normalise(axis)) {
    // A round hole has no long axis: take the direction of rotation (counter-clockwise).
    axis = {static_cast<double>(static_cast<long double>(my) - state.CenterY),
            static_cast<double>(-(static_cast<long double>(mx) - state.CenterX))};
    if (!Normalise(axis)) return;  // the hole lies on the centre itself
  }
  const double scale =
      CheckedReal(std::sqrt(static_cast<long double>(host.HoleLengthExtrapolation()) * lambda));
  axis.x = static_cast<long double>(scale) * axis.x;
  axis.y = static_cast<long double>(scale) * axis.y;

  const double side = (static_cast<long double>(mx) - state.CenterX) * axis.y -
                      (static_cast<long double>(my) - state.CenterY) * axis.x;
  double px = mx, py = my;  // a hole whose axis points at the centre keeps its mean
  if (side < 0) {
    px = static_cast<long double>(mx) + axis.x;
    py = static_cast<long double>(my) + axis.y;
  } else if (side > 0) {
    px = static_cast<long double>(mx) - axis.x;
    py = static_cast<long double>(my) - axis.y;
  }

  state.NoteCount = CheckedAdd(state.NoteCount, 1);
  if (state.NoteCount > kMaxNotes) {
    host.WriteLogLine("ERROR: too many notes");
    state.NoteCount = kMaxNotes;
  }
  host.ShowMessageLine("# Music Notes = " + std::to_string(state.NoteCount));
  state.NoteX[state.NoteCount] =
      static_cast<double>((static_cast<long double>(px) - state.CenterX) * state.MmPerPixel);
  state.NoteY[state.NoteCount] =
      static_cast<double>((static_cast<long double>(py) - state.CenterY) * -state.MmPerPixel);

  const int32_t ix = Trunc32(px);
  const int32_t iy = Trunc32(py);
  FillEllipse(state.WorkBitmap, CheckedSub(ix, 2), CheckedSub(iy, 2), CheckedAdd(ix, 2),
              CheckedAdd(iy, 2), kBlue);
}

}  // namespace tivenor
