#pragma once
// A point with sub-pixel coordinates: in a picture (x right, y down, pixel (x, y) centred at
// (x, y)) or on the disc's plane (rim units, y up), as the function taking it says.

namespace tivenor {

struct PlanePoint {
  double x = 0.0;
  double y = 0.0;
};

}  // namespace tivenor
