#include "engine/making/time_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "engine/disc/geometry.h"
#include "engine/making/layout_error.h"

namespace tivenor {
namespace {

// Arc every note point keeps from the borders of the sector that must stay empty, so that a
// print, a scan or a coarse picture cannot move it inside.
constexpr double kGapClearanceMm = 1.0;

// Ticks the note point of `pin` lies after the start direction, from the gap's border with
// clearance, plus the lead the reader adds on that pin: its first or last usable tick.
double UsableTick(int pin, double side) {
  const double radius = PinTrackRadiusMm(pin);
  const double halfSector = 0.5 / SectorCount;
  const double clearance = kGapClearanceMm / (2.0 * std::numbers::pi * radius);
  const double afterStart = side > 0 ? halfSector + clearance : 1.0 - halfSector - clearance;
  return (afterStart + static_cast<double>(kTimeLead) / radius) * kTicksPerTurn;
}

}  // namespace

int TimeMap::TickOf(double seconds) const {
  return static_cast<int>(std::lround(ticksPerSecond * seconds + tickAtZero));
}

int FirstUsableTick() {
  double first = 0.0;
  for (int pin = 0; pin < kPinCount; ++pin) first = std::max(first, UsableTick(pin, +1));
  return static_cast<int>(std::ceil(first));
}

int LastUsableTick() {
  double last = kTicksPerTurn;
  for (int pin = 0; pin < kPinCount; ++pin) last = std::min(last, UsableTick(pin, -1));
  return static_cast<int>(std::floor(last));
}

TimeMap MapTime(double firstSeconds, double lastSeconds, std::optional<double> secondsPerTurn) {
  const int first = FirstUsableTick();
  const int last = LastUsableTick();
  TimeMap map;
  if (secondsPerTurn) {
    map.ticksPerSecond = kTicksPerTurn / *secondsPerTurn;
    map.tickAtZero = first - map.ticksPerSecond * firstSeconds;
    if (map.TickOf(lastSeconds) > last) {
      const double holds = (last - first) / map.ticksPerSecond;
      char text[160];
      std::snprintf(text, sizeof text,
                    "the tune lasts %.2f s from its first to its last note; at %g s per turn a "
                    "disc holds %.2f s",
                    lastSeconds - firstSeconds, *secondsPerTurn, holds);
      throw LayoutError(text);
    }
    return map;
  }
  if (lastSeconds > firstSeconds)
    map.ticksPerSecond = (last - first) / (lastSeconds - firstSeconds);
  map.tickAtZero = first - map.ticksPerSecond * firstSeconds;
  return map;
}

}  // namespace tivenor
