#pragma once
// What a reading of slots found, drawn on the working copy of the picture as the built-in reading
// draws its own: the centre in red and the rim in green, the pixels of every keyed slot in green,
// patches kept out in red, and a blue point where each note starts.

#include <span>

#include "engine/base/raster.h"
#include "engine/slots/disc_frame.h"
#include "engine/slots/patch_labelling.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_notes.h"
#include "engine/slots/slot_shape.h"

namespace tivenor {

void DrawSlotMarks(Raster& work, const DiscFrame& frame, const PatchLabelling& labelling,
                   std::span<const SlotVerdict> verdicts, std::span<const SlotShape> shapes,
                   std::span<const SlotNote> notes);

}  // namespace tivenor
