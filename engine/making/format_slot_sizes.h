#pragma once
// The size of the slots the maker punches on a disc of another format than the built-in one,
// from the format's typical slots.

#include "engine/disc/disc_format.h"

namespace tivenor {

struct FormatSlotSizes {
  double widthMm = 0.0;
  double pluckedLengthMm = 0.0;  // plucked formats: every slot
  double shortestMm = 0.0;       // sustained formats: the shortest slot
  double trackWebMm = 0.0;       // card left between slots of the closest neighbouring tracks
};

// Slots of neighbouring tracks keep `trackWebMm` of card between them, or half the pitch where
// the tracks lie closer than twice that.
FormatSlotSizes SlotSizesOf(const DiscFormat& format, double rimRadiusMm, double trackWebMm);

}  // namespace tivenor
