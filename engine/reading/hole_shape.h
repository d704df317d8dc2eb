#pragma once
// Reduces the hole just filled to one note point at its counter-clockwise end.

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

// Adds one note from HolePixels[1..HolePixelCount] (nothing when no point can be derived),
// shows the note count and marks the point in blue on WorkBitmap.
void HoleToNote(ScanState& state, Host& host);

}  // namespace tivenor
