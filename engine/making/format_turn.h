#pragma once
// Where a tune lies on one turn of a disc of another format than the built-in one, and how fast
// the turn goes: degrees from the start, in the music's direction, from seconds of the tune.

#include <optional>
#include <vector>

#include "engine/disc/disc_format.h"

namespace tivenor {

// Real discs with a printed start line begin their first slot 3.3° after it and end their last
// by 356°; discs found by their widest gap or started at an angle are made the same way.
inline constexpr double kLeadInDegrees = 3.3;
inline constexpr double kLastEndDegrees = 356.0;
// Where the printed start line goes when the format leaves it to the maker: at the top.
inline constexpr double kPrintedStartDegrees = 90.0;
// A start gap that a reader finds as the widest without fail: this much wider than any rest
// inside the tune.
inline constexpr double kStartGapOverRest = 1.5;

// The directions a tune may use.
struct MusicSpan {
  double startDegrees = 0.0;  // the start, counter-clockwise from +x
  double firstDegrees = 0.0;  // from the start, in the music's direction: the first slot's start
  double lastDegrees = 0.0;   // and where the last slot must have ended
};

MusicSpan MusicSpanOf(const DiscFormat& format);

// A note as the turn is planned: its slot runs for its length, and at least `shortestDegrees`.
struct PlannedSlot {
  double seconds = 0.0;
  double lengthSeconds = 0.0;  // 0 for a slot of fixed length
  double shortestDegrees = 0.0;
  double leadTurns = 0.0;  // the format's time lead on the slot's track
};

struct TurnMap {
  double secondsPerTurn = 0.0;
  double firstSeconds = 0.0;
  double offsetDegrees = 0.0;
  // The direction, from the start, of a slot's leading end: linear in the seconds.
  double DegreesOf(double seconds, double leadTurns) const {
    return offsetDegrees + ((seconds - firstSeconds) / secondsPerTurn - leadTurns) * 360.0;
  }
  double DegreesOfLength(double lengthSeconds) const {
    return lengthSeconds / secondsPerTurn * 360.0;
  }
};

// At `secondsPerTurn` when given, the first slot at the span's first degree; throws LayoutError
// when the tune does not fit the span at that speed. Otherwise the quickest turn that holds the
// tune, and where `keepStartGapWidest`, whose gap at the start is clearly wider than any rest
// inside the tune, for readers that start at the widest gap. `slots` in time order.
TurnMap PlanTurn(const std::vector<PlannedSlot>& slots, const MusicSpan& span,
                 std::optional<double> secondsPerTurn, bool keepStartGapWidest);

}  // namespace tivenor
