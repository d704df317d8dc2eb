#include "engine/making/format_turn.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "engine/making/layout_error.h"

namespace tivenor {
namespace {

// Sector rules keep the first sector empty and slots this far from its borders.
constexpr double kSectorClearanceDegrees = 1.0;
// A tune of a single instant has no speed of its own.
constexpr double kSecondsPerTurnOfAnInstant = 60.0;
constexpr int kDoublings = 200;
constexpr int kHalvings = 60;

double LengthDegrees(const PlannedSlot& slot, double secondsPerTurn) {
  return std::max(slot.lengthSeconds / secondsPerTurn * 360.0, slot.shortestDegrees);
}

// The turn's map at `secondsPerTurn` with the earliest slot at the span's first degree.
TurnMap MapAt(const std::vector<PlannedSlot>& slots, const MusicSpan& span, double secondsPerTurn) {
  TurnMap map{secondsPerTurn, slots.front().seconds, 0.0};
  double earliest = std::numeric_limits<double>::infinity();
  for (const PlannedSlot& slot : slots) {
    earliest = std::min(earliest, map.DegreesOf(slot.seconds, slot.leadTurns));
  }
  map.offsetDegrees = span.firstDegrees - earliest;
  return map;
}

struct Extent {
  double lastEnd = 0.0;     // degrees from the start
  double widestRest = 0.0;  // degrees
};

Extent ExtentAt(const std::vector<PlannedSlot>& slots, const TurnMap& map) {
  Extent extent;
  double end = -std::numeric_limits<double>::infinity();
  for (const PlannedSlot& slot : slots) {
    const double from = map.DegreesOf(slot.seconds, slot.leadTurns);
    if (end > -std::numeric_limits<double>::infinity()) {
      extent.widestRest = std::max(extent.widestRest, from - end);
    }
    end = std::max(end, from + LengthDegrees(slot, map.secondsPerTurn));
  }
  extent.lastEnd = end;
  return extent;
}

bool Fits(const std::vector<PlannedSlot>& slots, const MusicSpan& span, double secondsPerTurn,
          bool keepStartGapWidest) {
  const Extent extent = ExtentAt(slots, MapAt(slots, span, secondsPerTurn));
  if (extent.lastEnd > span.lastDegrees) return false;
  const double startGap = 360.0 - (extent.lastEnd - span.firstDegrees);
  return !keepStartGapWidest || startGap >= kStartGapOverRest * extent.widestRest;
}

}  // namespace

MusicSpan MusicSpanOf(const DiscFormat& format) {
  switch (format.start) {
    case StartRule::kSectors: {
      // The reader takes the middle of the first empty sector: keep sector 0 empty.
      const double half = 180.0 / std::max(format.startSectors, 1);
      return {half, half + kSectorClearanceDegrees, 360.0 - half - kSectorClearanceDegrees};
    }
    case StartRule::kAngle:
      return {format.startAngleDegrees, kLeadInDegrees, kLastEndDegrees};
    case StartRule::kWidestGap:
    case StartRule::kLine:
      break;
  }
  return {kPrintedStartDegrees, kLeadInDegrees, kLastEndDegrees};
}

TurnMap PlanTurn(const std::vector<PlannedSlot>& slots, const MusicSpan& span,
                 std::optional<double> secondsPerTurn, bool keepStartGapWidest) {
  if (secondsPerTurn) {
    const TurnMap map = MapAt(slots, span, *secondsPerTurn);
    const Extent extent = ExtentAt(slots, map);
    if (extent.lastEnd > span.lastDegrees) {
      const double lasts = (extent.lastEnd - span.firstDegrees) / 360.0 * *secondsPerTurn;
      const double holds = (span.lastDegrees - span.firstDegrees) / 360.0 * *secondsPerTurn;
      char text[200];
      std::snprintf(text, sizeof text,
                    "the tune lasts %.2f s from its first note to the end of its last; at %g s "
                    "per turn a disc holds %.2f s",
                    lasts, *secondsPerTurn, holds);
      throw LayoutError(text);
    }
    return map;
  }
  double tuneEnd = slots.front().seconds;
  for (const PlannedSlot& slot : slots)
    tuneEnd = std::max(tuneEnd, slot.seconds + slot.lengthSeconds);
  const double duration = tuneEnd - slots.front().seconds;
  if (duration <= 0.0) return MapAt(slots, span, kSecondsPerTurnOfAnInstant);
  // No turn quicker than the tune's own length over the span fits; find the quickest that does.
  double slow = duration * 360.0 / (span.lastDegrees - span.firstDegrees);
  double quick = slow;
  for (int doubling = 0; !Fits(slots, span, slow, keepStartGapWidest); ++doubling) {
    if (doubling == kDoublings) throw LayoutError("the tune's slots do not fit one turn");
    quick = slow;
    slow *= 2.0;
  }
  for (int halving = 0; halving < kHalvings; ++halving) {
    const double middle = 0.5 * (quick + slow);
    (Fits(slots, span, middle, keepStartGapWidest) ? slow : quick) = middle;
  }
  return MapAt(slots, span, slow);
}

}  // namespace tivenor
