#pragma once
// A note as a tune file gives it: when it starts, how long it sounds, which key, how hard and on
// which channel.

#include <vector>

#include "engine/making/note_onset.h"

namespace tivenor {

struct TuneNote {
  double seconds = 0.0;        // onset, from the start of the tune through its tempo map
  double lengthSeconds = 0.0;  // from the onset to the release
  int key = 0;                 // MIDI key in the source
  int velocity = 0;            // of the note-on, 1 to 127
  int channel = 0;             // 0-based
};

// The onsets of `notes` with their lengths, in the same order.
std::vector<NoteOnset> OnsetsOf(const std::vector<TuneNote>& notes);

}  // namespace tivenor
