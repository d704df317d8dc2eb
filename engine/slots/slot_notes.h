#pragma once
// The keyed slots as notes: a note starts where its slot's leading end has travelled from the
// start, in the music's direction, as a share of a turn; a sustained note ends at the slot's
// trailing end, a plucked one sounds for a fixed short time.

#include <cstdint>
#include <span>
#include <vector>

#include "engine/disc/disc_format.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_shape.h"

namespace tivenor {

inline constexpr double kPluckedNoteSeconds = 0.5;

struct SlotNote {
  uint8_t key = 0;
  double onsetSeconds = 0.0;
  double lengthSeconds = 0.0;
  std::size_t shape = 0;  // the slot it comes from
};

// In time order, ties by key. A slot across the start sounds from the start to its trailing end.
std::vector<SlotNote> NotesOfSlots(std::span<const SlotShape> shapes, const KeyedSlots& keyed,
                                   const DiscFormat& format, double startAngle, double turnSeconds);

}  // namespace tivenor
