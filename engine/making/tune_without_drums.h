#pragma once

#include <vector>

#include "engine/making/note_onset.h"

namespace tivenor {

// The tune's notes but the drums, in time order and at one time by key; counts the drum notes.
// Throws LayoutError when no other note is left.
std::vector<NoteOnset> TuneWithoutDrums(const std::vector<NoteOnset>& source, int& drumNotes);

}  // namespace tivenor
