#pragma once
// Seconds of a tune to ticks of the disc: linear, so that punched notes keep their timing, and
// clear of the start gap on both sides.

#include <optional>

namespace tivenor {

struct TimeMap {
  double ticksPerSecond = 0.0;
  double tickAtZero = 0.0;
  int TickOf(double seconds) const;
};

// The ticks a note may have on any pin without its note point falling into, or near, the sector
// the reader must find empty.
int FirstUsableTick();
int LastUsableTick();

// Spreads first..last over the usable ticks, or runs at `secondsPerTurn` from the first usable
// tick; throws LayoutError when the tune does not fit one turn at that speed.
TimeMap MapTime(double firstSeconds, double lastSeconds, std::optional<double> secondsPerTurn);

}  // namespace tivenor
