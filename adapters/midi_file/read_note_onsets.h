#pragma once
// Reads a Standard MIDI File (format 0 or 1, time in pulses per quarter note) into the note
// onsets the disc maker lays out.

#include <stdexcept>
#include <string>
#include <vector>

#include "engine/making/note_onset.h"

namespace tivenor {

// A MIDI file that cannot be read; the text says why in one line.
class MidiReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Every note-on with a velocity above 0, with its time in seconds through the tempo map, in
// file order. Throws MidiReadError when the file is missing, not a MIDI file, or damaged.
// The MIDI library reads in a child process, so that a file that makes it abort or hang is an
// error like any other; call it before starting threads of your own.
std::vector<NoteOnset> ReadNoteOnsets(const std::string& fileName);

}  // namespace tivenor
