#include "tests/e2e/note_match.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace tivenor::testing {

namespace {

double ArcPixelsPerTick(int pin, double pixelsPerMm) {
  return 2.0 * std::numbers::pi * PinRadiusMm(pin) * pixelsPerMm / kTicksPerRevolution;
}

}  // namespace

int TickTolerance(int pin, double pixelsPerMm) {
  return static_cast<int>(std::ceil(1.5 / ArcPixelsPerTick(pin, pixelsPerMm))) + 1;
}

std::vector<MidiNote> DiscNotesOf(const MidiFile& midi) {
  uint32_t setUpEnd = 0;
  for (const MidiEvent& event : midi.events) {
    if ((event.status & 0xF0u) == 0x90) break;
    setUpEnd = event.tick;
  }
  std::vector<MidiNote> notes = NoteOns(midi);
  for (MidiNote& note : notes) note.tick -= setUpEnd;
  return notes;
}

NoteComparison CompareNotes(const std::vector<ExpectedNote>& drawn,
                            const std::vector<MidiNote>& read, double pixelsPerMm) {
  NoteComparison result;
  std::vector<bool> used(read.size(), false);
  double errorPixels = 0.0;
  int matched = 0;
  for (const ExpectedNote& note : drawn) {
    const int tolerance = TickTolerance(note.pin, pixelsPerMm);
    std::size_t best = read.size();
    int bestError = 0;
    for (std::size_t i = 0; i < read.size(); ++i) {
      if (used[i] || read[i].key != note.key) continue;
      const int error = std::abs(static_cast<int>(read[i].tick) - note.tick);
      if (best == read.size() || error < bestError) {
        best = i;
        bestError = error;
      }
    }
    const std::string what =
        "key " + std::to_string(note.key) + " at tick " + std::to_string(note.tick);
    if (best == read.size()) {
      result.differences += "missing " + what + "\n";
    } else if (bestError > tolerance) {
      result.differences += what + " read at tick " + std::to_string(read[best].tick) +
                            ", more than " + std::to_string(tolerance) + " ticks off\n";
    } else {
      used[best] = true;
      result.worstTickError = std::max(result.worstTickError, bestError);
      errorPixels += bestError * ArcPixelsPerTick(note.pin, pixelsPerMm);
      ++matched;
    }
  }
  if (matched > 0) result.meanErrorPixels = errorPixels / matched;
  if (matched >= kNotesForMeanError && result.meanErrorPixels > kMeanErrorLimitPixels) {
    result.differences +=
        "notes lie " + std::to_string(result.meanErrorPixels) + " pixels of arc off on average\n";
  }
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (!used[i]) {
      result.differences += "unexpected key " + std::to_string(read[i].key) + " at tick " +
                            std::to_string(read[i].tick) + "\n";
    }
  }
  return result;
}

}  // namespace tivenor::testing
