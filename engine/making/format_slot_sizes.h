#pragma once
// The size of the slots the maker punches on a disc of another format than the built-in one,
// from the format's typical slots.

#include "engine/disc/disc_format.h"

namespace tivenor {

struct FormatSlotSizes {
  double widthMm = 0.0;
  double pluckedLengthMm = 0.0;  // plucked formats: every slot
  double shortestMm = 0.0;       // sustained formats: the shortest slot
};

FormatSlotSizes SlotSizesOf(const DiscFormat& format, double rimRadiusMm);

}  // namespace tivenor
