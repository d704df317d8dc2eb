#pragma once
// A tune on a disc of a format other than the built-in one: keys to the format's tracks, seconds
// to degrees of its turn, notes to slots along the tracks, as long as the notes where the
// format's notes are sustained.

#include <vector>

#include "engine/making/disc_layout.h"
#include "engine/making/layout_disc.h"
#include "engine/making/note_onset.h"

namespace tivenor {

// As LayoutDisc, for `options.format`; throws LayoutError also when the disc's size is known
// neither from the format nor from `options.diameterMm`.
DiscLayout LayoutFormatDisc(const std::vector<NoteOnset>& tune, const LayoutOptions& options);

}  // namespace tivenor
