#include "engine/making/layout_warnings.h"

#include <algorithm>
#include <cstdio>

#include "engine/disc/geometry.h"
#include "engine/making/format_turn.h"
#include "engine/reading/scan_state.h"

namespace tivenor {
namespace {

std::string Notes(int count) {
  return std::to_string(count) + (count == 1 ? " note" : " notes");
}

std::string Rounded(const char* format, double value) {
  char text[32];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::vector<std::string> FormatWarnings(const DiscLayout& layout) {
  const FormatPlacement& placement = layout.placement;
  const std::string shortest = Rounded("%.1f mm", placement.shortestSlotMm);
  std::vector<std::string> warnings;
  if (placement.shortenedNotes > 0) {
    warnings.push_back(Notes(placement.shortenedNotes) + " shortened to leave " +
                       Rounded("%.1f mm", placement.webMm) +
                       " of card before the next slot on their track");
  }
  if (placement.lengthenedNotes > 0) {
    warnings.push_back(Notes(placement.lengthenedNotes) + " shorter than the shortest slot (" +
                       shortest + "), punched at that length");
  }
  if (placement.notesWithoutLength > 0) {
    warnings.push_back("the tune gives no length for " + Notes(placement.notesWithoutLength) +
                       ": punched as the shortest slot (" + shortest + ")");
  }
  if (layout.format.start == StartRule::kWidestGap &&
      placement.widestRestDegrees * kStartGapOverRest > placement.startGapDegrees) {
    warnings.push_back("a rest of " + Rounded("%.1f", placement.widestRestDegrees) +
                       " degrees inside the tune is nearly as wide as the gap of " +
                       Rounded("%.1f", placement.startGapDegrees) +
                       " degrees where it ends and begins: a reader may start at the rest");
  }
  return warnings;
}

}  // namespace

std::vector<std::string> LayoutWarnings(const DiscLayout& layout) {
  if (!IsBuiltIn(layout.format)) return FormatWarnings(layout);
  std::vector<std::string> warnings;
  if (layout.notes.size() > static_cast<std::size_t>(kMaxNotes)) {
    warnings.push_back(std::to_string(layout.notes.size()) + " holes: Tivenor's reader keeps " +
                       std::to_string(kMaxNotes) + " notes");
  }
  const int outerPin = kPinCount - 1;
  const auto outer = std::count_if(layout.notes.begin(), layout.notes.end(),
                                   [&](const PunchedNote& note) { return note.pin == outerPin; });
  if (outer > 0) {
    warnings.push_back(std::to_string(outer) + (outer == 1 ? " note" : " notes") + " on pin " +
                       std::to_string(outerPin) +
                       ", outside the ring Tivenor's reader scans: it may miss them");
  }
  return warnings;
}

}  // namespace tivenor
