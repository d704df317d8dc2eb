#include "engine/making/slot_geometry.h"

#include <cmath>
#include <numbers>

#include "engine/disc/geometry.h"

namespace tivenor {

double StartDirection() {
  return 0.5 / SectorCount;
}

double NotePointDirection(int tick, int pin) {
  const double afterStart = static_cast<double>(tick) / kTicksPerTurn -
                            static_cast<double>(kTimeLead) / PinTrackRadiusMm(pin);
  const double direction = StartDirection() + afterStart;
  return direction - std::floor(direction);
}

double SlotSpan(double lengthMm, int pin) {
  const double radius = PinTrackRadiusMm(pin);
  return 2.0 * std::asin(lengthMm / (2.0 * radius)) / (2.0 * std::numbers::pi);
}

Slot SlotForNote(int tick, int pin, double lengthMm, double widthMm) {
  const double radius = PinTrackRadiusMm(pin);
  const double end = 2.0 * std::numbers::pi * NotePointDirection(tick, pin);
  const double start = end - 2.0 * std::numbers::pi * SlotSpan(lengthMm, pin);
  const MmPoint a{radius * std::cos(start), radius * std::sin(start)};
  const MmPoint b{radius * std::cos(end), radius * std::sin(end)};
  Slot slot;
  slot.centre = {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5};
  slot.axisRadians = std::atan2(b.y - a.y, b.x - a.x);
  slot.lengthMm = lengthMm;
  slot.widthMm = widthMm;
  slot.notePoint = b;
  return slot;
}

}  // namespace tivenor
