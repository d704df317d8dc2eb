#pragma once
// Disc formats for the tests, as plain values: the two bundled historic formats from their
// measured facts, and one of our own that differs from both in diameter, track count, direction
// and start rule.

#include "engine/disc/disc_format.h"

namespace tivenor::testing {

// 33 cm organette disc, 24 tracks, music counter-clockwise from a printed line.
DiscFormat Ariston24();
// A 36-track piano player's disc of unknown diameter.
DiscFormat PianoPlayer36();
// 20 cm, 20 tracks, music clockwise from a fixed angle.
DiscFormat Clockwise20();

}  // namespace tivenor::testing
