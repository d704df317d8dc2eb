#pragma once
// What every MIDI file of a disc must be, whatever its notes: the set-up, one channel, the
// velocity of each key, releases only where a key is struck again, and the closing events.

#include <string>

#include "tests/support/midi_reader.h"

namespace tivenor::testing {

// One line per fault found; empty when the track is as it should be.
std::string TrackFaults(const MidiFile& midi);

}  // namespace tivenor::testing
