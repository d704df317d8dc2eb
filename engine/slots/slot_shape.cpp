#include "engine/slots/slot_shape.h"

#include <algorithm>
#include <numbers>

namespace tivenor {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
// How far, in pixels, a patch's edge lies on average beyond its outermost pixel centres: none
// where the edge runs slanted across the rows, half a pixel where it runs along them.
constexpr double kEdgeBeyondCentresPx = 0.25;

}  // namespace

SlotShape ShapeOf(const LightPatch& patch, const DiscFrame& frame) {
  SlotShape shape;
  const double rim = frame.rimRadius;
  shape.pixel = 1.0 / rim;
  shape.pixels = patch.pixels;
  shape.encirclesCentre = patch.encirclesCentre;
  shape.radius = patch.meanRadius / rim;
  shape.width = (patch.outerRadius - patch.innerRadius + 2.0 * kEdgeBeyondCentresPx) / rim;
  const double reach =
      patch.meanRadius > 0.0 ? kEdgeBeyondCentresPx / patch.meanRadius * kDegreesPerRadian : 0.0;
  const Arc onPicture{patch.firstAngle - reach, patch.sweep + 2.0 * reach};
  shape.arc = MusicArc(frame, onPicture);
  shape.length = shape.arc.sweep / kDegreesPerRadian * shape.radius;
  return shape;
}

}  // namespace tivenor
