#pragma once

#include <array>
#include <vector>

#include "engine/making/note_onset.h"

namespace tivenor {

inline constexpr int kLargestAutomaticTranspose = 36;

// Which of the 128 MIDI keys a disc plays.
using PlayableKeys = std::array<bool, 128>;

// The shift, in semitones from −36 to +36, that puts the most notes on keys the disc plays; of
// equally good shifts the one nearest 0, upwards before downwards.
int ChooseTranspose(const std::vector<NoteOnset>& tune, const PlayableKeys& playable);

// The same for the built-in disc's comb.
int ChooseTranspose(const std::vector<NoteOnset>& tune, bool outerPin);

}  // namespace tivenor
