#pragma once
// A connected patch of light pixels in the disc's ring, as the labelling measures it: in picture
// pixels and in degrees counter-clockwise on the picture as shown (y upwards), before a format
// gives it a meaning.

#include <cstdint>

namespace tivenor {

struct LightPatch {
  int64_t pixels = 0;
  double meanRadius = 0.0;       // pixels from the disc's centre, over the patch's pixel centres
  double innerRadius = 0.0;      // of its nearest pixel centre
  double outerRadius = 0.0;      // of its farthest
  double firstAngle = 0.0;       // degrees in [0, 360) of its clockwise-most pixel centre
  double sweep = 0.0;            // degrees from there counter-clockwise to its last pixel centre
  bool encirclesCentre = false;  // it closes around the centre: a ring, no slot
};

}  // namespace tivenor
