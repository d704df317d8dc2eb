#include "tests/e2e/format_tunes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "tests/support/midi_reader.h"

namespace tivenor::testing {

namespace {

struct Random {
  uint64_t state;
  double Next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(state >> 11) / static_cast<double>(1ull << 53);
  }
};

}  // namespace

std::vector<TuneNote> TuneFor(const DiscFormat& format, double turnSeconds, const TuneSpec& spec) {
  Random random{spec.seed * 0x9E3779B97F4A7C15ull + 1};
  const std::size_t tracks = format.keys.size();
  std::vector<double> trackFree(tracks, 0.0);  // degrees where each track may take a slot
  const double step = spec.spanDegrees / spec.notes;
  std::vector<TuneNote> tune;
  double onset = 0.0;
  for (int i = 0; i < spec.notes; ++i) {
    if (i > 0 && random.Next() >= spec.chordShare) onset += step * (0.5 + random.Next());
    if (onset + spec.shortestDegrees > spec.spanDegrees) break;
    // A free track, tried from a random one on.
    const auto first = static_cast<std::size_t>(random.Next() * static_cast<double>(tracks));
    std::size_t track = tracks;
    for (std::size_t k = 0; k < tracks && track == tracks; ++k) {
      if (trackFree[(first + k) % tracks] <= onset) track = (first + k) % tracks;
    }
    if (track == tracks) continue;
    const double longest = std::min(spec.longestDegrees, spec.spanDegrees - onset);
    const double length =
        spec.shortestDegrees + random.Next() * std::max(longest - spec.shortestDegrees, 0.0);
    trackFree[track] = onset + length + spec.webDegrees;
    tune.push_back({format.keys[track], onset / 360.0 * turnSeconds, length / 360.0 * turnSeconds});
  }
  return tune;
}

std::vector<DegreeNote> ExpectedDegrees(const std::vector<TuneNote>& tune, double turnSeconds,
                                        double originDegrees) {
  std::vector<DegreeNote> notes;
  notes.reserve(tune.size());
  for (const TuneNote& note : tune) {
    notes.push_back({note.key, originDegrees + note.onsetSeconds / turnSeconds * 360.0,
                     note.lengthSeconds / turnSeconds * 360.0});
  }
  return notes;
}

std::vector<DegreeNote> ReadDegrees(std::span<const uint8_t> midi, double turnSeconds) {
  const MidiFile file = ParseMidi(midi);
  const double degreesPerTick = SecondsPerTick(file) / turnSeconds * 360.0;
  std::vector<DegreeNote> notes;
  for (const SoundingNote& note : SoundingNotes(file)) {
    notes.push_back(
        {note.key, note.onTick * degreesPerTick, (note.offTick - note.onTick) * degreesPerTick});
  }
  return notes;
}

TuneComparison CompareTune(const std::vector<DegreeNote>& expected,
                           const std::vector<DegreeNote>& read, double toleranceDegrees,
                           bool compareLengths) {
  TuneComparison comparison;
  std::vector<bool> used(read.size(), false);
  char line[160];
  for (const DegreeNote& want : expected) {
    std::size_t best = read.size();
    double bestError = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < read.size(); ++i) {
      if (used[i] || read[i].key != want.key) continue;
      const double error = std::fabs(read[i].onset - want.onset);
      if (error < bestError) {
        bestError = error;
        best = i;
      }
    }
    if (best == read.size() || bestError > 10.0 * toleranceDegrees + 1.0) {
      std::snprintf(line, sizeof line, "missing: key %d at %.2f deg\n", want.key, want.onset);
      comparison.differences += line;
      continue;
    }
    used[best] = true;
    ++comparison.matched;
    const double lengthError = compareLengths ? std::fabs(read[best].length - want.length) : 0.0;
    comparison.worstOnset = std::max(comparison.worstOnset, bestError);
    comparison.worstLength = std::max(comparison.worstLength, lengthError);
    if (bestError > toleranceDegrees || lengthError > toleranceDegrees) {
      std::snprintf(line, sizeof line,
                    "off: key %d at %.2f deg for %.2f deg read at %.2f deg for %.2f deg\n",
                    want.key, want.onset, want.length, read[best].onset, read[best].length);
      comparison.differences += line;
    }
  }
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (used[i]) continue;
    std::snprintf(line, sizeof line, "unexpected: key %d at %.2f deg\n", read[i].key,
                  read[i].onset);
    comparison.differences += line;
  }
  return comparison;
}

}  // namespace tivenor::testing
