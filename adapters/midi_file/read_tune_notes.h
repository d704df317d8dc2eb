#pragma once
// Reads a Standard MIDI File (format 0 or 1) into the notes of its tune.

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/making/tune_note.h"

namespace tivenor {

// A MIDI file that cannot be read; the text says why in one line.
class MidiReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every note of every track, drums included, track after track and each track in time order:
// onset and length in seconds through the tempo map that all tracks share, key, velocity and
// channel. A note lasts from its note-on to the first release
// of its key on its channel (a note-off, or a note-on with velocity 0), earliest note first; one
// never released ends with its track. Throws MidiReadError when the file is missing, no regular
// file, not a MIDI file, damaged, or of a kind not read (format 2).
std::vector<TuneNote> ReadTuneNotes(const std::string& fileName);

}  // namespace tivenor
