#include "engine/making/arc_slot.h"

#include <cmath>
#include <numbers>

namespace tivenor {

double DegreesAlong(double lengthMm, double radiusMm) {
  return lengthMm / radiusMm * 180.0 / std::numbers::pi;
}

ArcSlot ArcAlongTrack(double radiusMm, double widthMm, double fromStart, double toStart,
                      double startDegrees, MusicDirection music) {
  const double span = toStart - fromStart;
  double from = music == MusicDirection::kCounterClockwise ? startDegrees + fromStart
                                                           : startDegrees - toStart;
  from -= 360.0 * std::floor(from / 360.0);
  return {radiusMm, widthMm, from, from + span};
}

}  // namespace tivenor
