#pragma once
// The threshold between a disc's material and its holes, from the levels of the ring that holds
// the holes alone. A front-lit disc's holes show the sheet under it in the disc's own shade,
// darker than the sheet around the disc that a threshold for the whole picture is fitted to.

#include <optional>

#include "engine/base/raster.h"
#include "engine/slots/patch_labelling.h"

namespace tivenor {

// The level that best parts the ring's red levels into two (Otsu's rule); nothing when the ring
// holds no two levels far enough apart to be a disc and its holes.
std::optional<int> RingThreshold(const Raster& picture, const PixelRing& ring);

}  // namespace tivenor
