#pragma once

#include <vector>

#include "engine/making/note_onset.h"

namespace tivenor {

inline constexpr int kLargestAutomaticTranspose = 36;

// The shift, in semitones from −36 to +36, that puts the most notes on keys the comb plays; of
// equally good shifts the one nearest 0, upwards before downwards.
int ChooseTranspose(const std::vector<NoteOnset>& tune, bool outerPin);

}  // namespace tivenor
