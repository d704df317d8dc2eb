#pragma once
// The column walk over the disc and the fill of each hole it meets.

#include <vector>

#include "engine/base/host.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

// Queue storage of one fill, kept by the caller so that no fill allocates.
using FillQueue = std::vector<PixelPoint>;

// The rows the column walk visits in column x, from the outline: the disc's chord through the
// column, rounded half to even (before clipping to the picture).
struct WalkedStretch {
  int32_t first = 0;
  int32_t last = -1;
};
WalkedStretch WalkedRows(const ScanState& state, int32_t x);

// The whole image analysis of one START: outline, holes, notes; leaves NoteCount set.
void ScanDisc(ScanState& state, Host& host);

// Fills the bright patch seeded at (x, y) inside the ring, paints it green, records its pixels
// in HolePixels; true when its size lies within the Minimum and Maximum settings.
bool FillHole(ScanState& state, Host& host, FillQueue& queue, int32_t x, int32_t y);

}  // namespace tivenor
