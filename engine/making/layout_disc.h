#pragma once
// A tune to a disc: keys to pins, seconds to ticks, notes to slots.

#include <optional>
#include <string>
#include <vector>

#include "engine/disc/disc_format.h"
#include "engine/making/disc_layout.h"
#include "engine/making/layout_error.h"
#include "engine/making/note_onset.h"

namespace tivenor {

struct LayoutOptions {
  DiscFormat format = BuiltInDiscFormat();  // the built-in disc is laid out as it always was
  std::optional<int> transpose;             // semitones; chosen from the tune when absent
  // Absent: the built-in disc spreads the tune over one turn, other formats take their own turn
  // (or spread it when they give none).
  std::optional<double> secondsPerTurn;
  double slotLengthMm = 1.8;  // along the direction of rotation
  double slotWidthMm = 0.7;
  double slotGapMm = 0.8;  // slots on one pin keep at least this much disc between them
  bool outerPin = false;   // punch the pin outside the ring the reader scans
  // Other formats: the disc's size, over the format's own; a format in fractions of the rim has
  // none of its own. Their slot sizes come from the format, and slotGapMm is the least card left
  // between two slots on a track.
  std::optional<double> diameterMm;
  // Other formats: the least card left between slots on neighbouring tracks, as real organette
  // discs have; slots are made narrower than the format's typical width where its tracks lie too
  // close for that.
  double trackWebMm = 0.45;
};

// Lays out every note-on of the tune but the drums. A note that cannot be punched at its time
// is left out with its reason, never moved. Throws LayoutError when nothing could be punched
// or the tune does not fit a turn at `secondsPerTurn`.
DiscLayout LayoutDisc(const std::vector<NoteOnset>& tune, const LayoutOptions& options);

// What the user reads for a left-out note, e.g. "no pin plays key 82". Tracks count from 1, the
// innermost, as format files count them.
std::string LeftOutText(const LeftOutNote& note);

}  // namespace tivenor
