#include "engine/transcription/start_gap.h"

#include <cmath>

#include "engine/base/checked_math.h"
#include "engine/disc/geometry.h"
#include "engine/transcription/extended_constants.h"
#include "engine/transcription/revolution_angle.h"

namespace tivenor {

namespace {

NotePoint RimPoint(int32_t corner, double step, double rim) {
  const long double angle = static_cast<long double>(corner) * step;
  return {static_cast<double>(std::cos(angle) * rim), static_cast<double>(std::sin(angle) * rim)};
}

}  // namespace

bool PointInTriangle(NotePoint p, NotePoint v0, NotePoint v1, NotePoint v2) {
  const NotePoint e1{v1.x - v0.x, v1.y - v0.y};
  const NotePoint e2{v2.x - v0.x, v2.y - v0.y};
  const NotePoint q{p.x - v0.x, p.y - v0.y};
  const double det = static_cast<long double>(e1.x) * e2.y - static_cast<long double>(e1.y) * e2.x;
  const double u = static_cast<double>(CheckedDivide(
      static_cast<long double>(q.x) * e2.y - static_cast<long double>(q.y) * e2.x, det));
  const double v = static_cast<double>(CheckedDivide(
      static_cast<long double>(e1.x) * q.y - static_cast<long double>(e1.y) * q.x, det));
  const double w = 1.0L - u - v;
  double m = 1.0;
  if (u < m) m = u;
  if (v < m) m = v;
  if (w < m) m = w;
  return m >= 0;
}

double FindStartAngle(ScanState& state, Host& host) {
  const double step = kTwoPi / SectorCount;
  const double rim = kRimRadiusMm;
  const NotePoint centre{0.0, 0.0};
  for (int32_t i = 1; i <= SectorCount; ++i) {
    const NotePoint v1 = RimPoint(i - 1, step, rim);
    const NotePoint v2 = RimPoint(i, step, rim);
    bool occupied = false;
    for (int32_t j = 1; j <= state.NoteCount && !occupied; ++j)
      occupied = PointInTriangle({state.NoteX[j], state.NoteY[j]}, centre, v1, v2);
    if (occupied) continue;

    const long double halfScale = static_cast<long double>(state.PixelsPerMm) * 0.5L;
    const PixelPoint from{Trunc32(state.CenterX), Trunc32(state.CenterY)};
    const PixelPoint to{
        Round32(state.CenterX + (static_cast<long double>(v1.x) + v2.x) * halfScale),
        Round32(state.CenterY - (static_cast<long double>(v1.y) + v2.y) * halfScale)};
    host.DrawStartLine(from, to);
    return RevolutionAngle(static_cast<double>((static_cast<long double>(v1.x) + v2.x) * 0.5L),
                           static_cast<double>((static_cast<long double>(v1.y) + v2.y) * 0.5L));
  }
  return 0.0;
}

}  // namespace tivenor
