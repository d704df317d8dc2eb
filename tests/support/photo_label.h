#pragma once
// The print on a disc's paper label: two border rings, a title along the lower rim, lines of
// small text, and a radial start line with "THE BEGINNING" beside it. Plain arithmetic per point
// of the disc's plane, so the photo draws the print at any size without a bitmap.

#include <cstdint>

#include "tests/support/photo_camera.h"

namespace tivenor::testing {

struct LabelPrint {
  double labelRadius = 0.0;  // rim radii; 0: no label, no print
  bool startLine = true;
  double startLineDegrees = 90.0;  // the line's direction on the disc
  double keepClearRadius = 0.0;    // no print inside this (the spindle's clamp covers it)
  double edgeWidth = 0.001;        // rim radii over which an edge of the print fades
  uint32_t seed = 1;               // which letters the small text has
};

// How much ink covers the point, 0 to 1.
double LabelInk(const LabelPrint& print, PlanePoint point);

// The start line runs along its direction from this radius out to the label's edge.
double StartLineInnerRadius(const LabelPrint& print);
inline constexpr double kStartLineWidth = 0.005;  // rim radii

}  // namespace tivenor::testing
