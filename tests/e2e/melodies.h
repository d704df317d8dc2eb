#pragma once
// Note lists that exercise what a disc can hold: chords, repeated keys, the whole revolution.

#include <string>
#include <vector>

#include "tests/support/disc_geometry.h"

namespace tivenor::testing {

struct Melody {
  std::string name;
  std::vector<DiscNote> notes;
};

// An E major scale over two octaves with same-tick chords under it.
Melody ScaleWithChords();
// Keys struck again and again: one pin repeated, the two pins of key 71 in turn, two pins of
// key 88 at one tick, a key whose first strike comes late.
Melody RepeatedKeys();
// A note every 90 ticks from just after the start gap to just before it, inner and outer pins in
// turn: every sector holds notes, so the disc can be turned by whole sectors.
Melody AcrossTheRevolution();
// One note on each pin from 0 to 28 (pin 29 lies partly outside the scanned ring).
Melody EveryPin();
// `count` notes spread over all pins, more than a byte can number.
Melody ManyNotes(int count);

}  // namespace tivenor::testing
