#pragma once
// The road for discs of any format but the built-in one: the disc's circle, every light patch in
// the format's ring, the patches keyed to the format's fitted tracks, the start by the format's
// rule, the notes with their lengths and a Standard MIDI File. With candidates it first picks the
// format that fits the slots best.

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"
#include "engine/roads/read_disc.h"

namespace tivenor {

struct SlotDiscReading {
  DiscReading reading;
  // The candidates' best was the built-in disc: nothing was read or marked, the built-in road
  // reads it; `reading` holds only the choice.
  bool builtInChosen = false;
};

// Reads the picture shown by `host` with `options.format`, or with the best of
// `options.candidates`. Throws RunError when the picture holds no disc.
SlotDiscReading ReadSlotDisc(ScanState& state, Host& host, const ReadingOptions& options);

}  // namespace tivenor
