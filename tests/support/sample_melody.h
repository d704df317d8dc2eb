#pragma once
// The melody of the bundled sample disc.

#include <vector>

#include "tests/support/disc_geometry.h"
#include "tests/support/disc_renderer.h"

namespace tivenor::testing {

inline constexpr int kSampleBeatTicks = 70;
inline constexpr int kSampleFirstTick = 240;

// "Twinkle, Twinkle, Little Star" (the French folk tune "Ah ! vous dirai-je, maman"), in E major
// from E6 with tonic, subdominant and dominant chords below it. 48 beats, one revolution.
std::vector<DiscNote> SampleMelody();

// How the sample picture is drawn: 150 dpi, anti-aliased, a little noise, start gap at the top.
DiscOptions SampleDiscOptions();

}  // namespace tivenor::testing
