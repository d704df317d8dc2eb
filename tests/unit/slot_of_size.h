#pragma once
// A slot-shaped patch as the reader measures one, on a rim of 1000 pixels: for tests of keying
// slots and fitting formats that need no picture.

#include <cstdint>

#include "engine/slots/slot_shape.h"

namespace tivenor::testing {

// Radius, width and length in rim units; the arc starts at 0 degrees.
inline SlotShape Slot(double radius, double width, double length) {
  constexpr double kPixel = 1.0 / 1000.0;
  SlotShape shape;
  shape.radius = radius;
  shape.width = width;
  shape.length = length;
  shape.arc = {0.0, length / radius * 57.3};
  shape.pixel = kPixel;
  shape.pixels = static_cast<int64_t>(width * length / (kPixel * kPixel));
  return shape;
}

}  // namespace tivenor::testing
