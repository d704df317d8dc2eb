#pragma once
// The printed radial line a disc's music starts at. The gap at a tune's start can be narrower
// than a rest inside it, so where a disc carries a printed line it, not the widest gap, tells
// where the music begins. It is looked for on the label (or, without one, just inside the holes'
// ring) as the one narrow direction along which nearly every point is dark: text beside it or
// round the label never darkens most of a ray from the centre.

#include <optional>

#include "engine/base/channel_level.h"
#include "engine/base/raster.h"
#include "engine/disc/disc_format.h"
#include "engine/slots/disc_frame.h"

namespace tivenor {

// The line's music angle, degrees in [0, 360); nothing when no such line stands out. Levels are
// read in `channel`.
std::optional<double> FindStartLine(const Raster& picture, const DiscFrame& frame,
                                    const DiscFormat& format, Channel channel = Channel::kRed);

}  // namespace tivenor
