#pragma once
// Tunes for discs of any format, and how far the notes read back from a disc lie from the tune it
// was drawn from, in degrees of the disc's turn.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/disc/disc_format.h"
#include "tests/support/format_disc_renderer.h"

namespace tivenor::testing {

struct TuneSpec {
  int notes = 60;
  uint32_t seed = 1;
  double spanDegrees = 350.0;    // the tune ends before this, from its first note
  double shortestDegrees = 0.8;  // sustained notes' lengths
  double longestDegrees = 14.0;
  double webDegrees = 1.5;   // at least this between two slots on one track
  double chordShare = 0.25;  // notes struck with the one before
};

// Deterministic for a seed: the first note at 0, every track's slots apart by the web, and no
// rest as wide as the gap the tune leaves before its start.
std::vector<TuneNote> TuneFor(const DiscFormat& format, double turnSeconds, const TuneSpec& spec);

// A note in degrees of the turn from the reading's time 0.
struct DegreeNote {
  int key = 0;
  double onset = 0.0;
  double length = 0.0;
};

// The tune as a reading should give it back, its time 0 `originDegrees` before the tune's start.
std::vector<DegreeNote> ExpectedDegrees(const std::vector<TuneNote>& tune, double turnSeconds,
                                        double originDegrees);
// The notes of MIDI bytes, with `turnSeconds` to a turn.
std::vector<DegreeNote> ReadDegrees(std::span<const uint8_t> midi, double turnSeconds);

struct TuneComparison {
  std::string differences;  // one line per note missing, unexpected or off; empty if none
  double worstOnset = 0.0;  // degrees, among matched notes
  double worstLength = 0.0;
  int matched = 0;
};

// Pairs each expected note with the read note of its key nearest in onset.
TuneComparison CompareTune(const std::vector<DegreeNote>& expected,
                           const std::vector<DegreeNote>& read, double toleranceDegrees,
                           bool compareLengths = true);

}  // namespace tivenor::testing
