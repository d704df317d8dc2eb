#pragma once
// The working copy of the picture and the disc's outline, centre and scale.

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

// Reloads the picture if an earlier run marked it, then copies it into WorkBitmap.
void PrepareWorkBitmap(ScanState& state, Host& host);

// Finds the four edge points, the centre, the scale and ScanRadius; then DrawOutlineMarks.
// Throws RunError(kNoDiscFound) when the picture holds no measurable disc.
void FindMidpointDiameter(ScanState& state, Host& host);

// Marks the centre (red) and the edge points (green) and hands the copy to the display.
void DrawOutlineMarks(ScanState& state, Host& host);

}  // namespace tivenor
