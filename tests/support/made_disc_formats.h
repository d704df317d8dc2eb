#pragma once
// Disc formats for the maker's tests, written out as values: two after real discs (a 33 cm,
// 24-track organette disc and a 36-track piano player's disc given in fractions of the rim) and
// one of our own that turns the other way, starts at its widest gap and is plucked.

#include "engine/disc/disc_format.h"

namespace tivenor::testing {

DiscFormat OrganetteFormat();
DiscFormat PianoPlayerFormat();  // no diameter: "rim" units
DiscFormat ClockwisePluckedFormat();

}  // namespace tivenor::testing
