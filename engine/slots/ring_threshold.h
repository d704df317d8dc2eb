#pragma once
// The threshold between a disc's material and its holes, from the levels of the ring that holds
// the holes alone. A front-lit disc's holes show the sheet under it in the disc's own shade,
// darker than the sheet around the disc that a threshold for the whole picture is fitted to; and
// a brown disc's holes stand out from it far more in blue than in red.

#include <optional>

#include "engine/base/channel_level.h"
#include "engine/base/raster.h"
#include "engine/slots/patch_labelling.h"

namespace tivenor {

struct RingLevels {
  Channel channel = Channel::kRed;  // the channel that parts material and holes the most
  int threshold = 0;
};

// For each channel, the level that best parts the ring's levels into two (Otsu's rule); the
// channel whose two parts lie farthest apart wins, red among equals. Nothing when the ring holds
// no two levels far enough apart to be a disc and its holes.
std::optional<RingLevels> RingThreshold(const Raster& picture, const PixelRing& ring);

}  // namespace tivenor
