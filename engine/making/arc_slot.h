#pragma once
// Slots along the tracks of a disc of any format, as parts of rings.

#include "engine/disc/disc_format.h"
#include "engine/making/disc_layout.h"

namespace tivenor {

// Degrees a length in millimetres covers along a track of this radius.
double DegreesAlong(double lengthMm, double radiusMm);

// The slot from `fromStart` to `toStart` degrees after the start direction `startDegrees`, in the
// music's direction.
ArcSlot ArcAlongTrack(double radiusMm, double widthMm, double fromStart, double toStart,
                      double startDegrees, MusicDirection music);

}  // namespace tivenor
