#pragma once
// Cameras store a photograph as the sensor saw it and record how to turn it upright; some
// scanners do the same. The picture is read as it is meant to be seen.

#include "engine/base/raster.h"

namespace tivenor {

// Applied in this order: mirrored left to right, flipped top to bottom, turned a quarter
// clockwise.
struct Orientation {
  bool mirror = false;
  bool flip = false;
  bool quarterTurn = false;
  friend bool operator==(const Orientation&, const Orientation&) = default;
};

// From the orientation tag of EXIF and TIFF, 1 to 8; any other value leaves the picture alone.
Orientation OrientationFromTag(int tag);

// Turns the stored picture upright, reusing `spare`'s storage for a quarter turn.
void TurnUpright(Raster& picture, Orientation orientation, Raster& spare);

}  // namespace tivenor
