#pragma once
// A light patch in the terms a format describes slots in: rim units, and an arc in the music's
// frame.

#include "engine/slots/disc_frame.h"
#include "engine/slots/light_patch.h"

namespace tivenor {

struct SlotShape {
  double radius = 0.0;  // mean, rim units
  double width = 0.0;   // across the track, rim units
  double length = 0.0;  // along the track at its mean radius, rim units
  Arc arc;              // music degrees, from the end the music reaches first
  double pixel = 0.0;   // one pixel, rim units
  int64_t pixels = 0;
  bool encirclesCentre = false;
};

// The patch's pixel centres reach to within about a quarter of a pixel, on average, of its true
// edges: each end is moved out by that much.
SlotShape ShapeOf(const LightPatch& patch, const DiscFrame& frame);

}  // namespace tivenor
