#pragma once
// Points on the rim's edge, to sub-pixel precision, for fitting the rim's true shape: a photo
// taken at a slant shows an ellipse where a scan shows the circle the settings' fit finds.

#include <vector>

#include "engine/base/channel_level.h"
#include "engine/base/raster.h"
#include "engine/view/plane_point.h"

namespace tivenor {

// Looks along rays from `centre`, between 0.9 and 1.1 times `radius`, for the rim: the
// outermost sharp step from the disc's dark to the light around it. A soft shadow along the rim
// is passed over; rays that find no sharp step give no point. Levels are read in `channel`.
std::vector<PlanePoint> FindRimEdge(const Raster& picture, PlanePoint centre, double radius,
                                    Channel channel = Channel::kRed);

}  // namespace tivenor
