#pragma once
// The ellipse through edge points: how a round rim looks in a picture taken at a slant.

#include <optional>
#include <span>
#include <vector>

#include "engine/view/plane_point.h"

namespace tivenor {

// The points p with (p - centre)' Q (p - centre) = 1, Q = [qxx qxy; qxy qyy] positive definite.
struct Ellipse {
  PlanePoint centre;
  double qxx = 0.0;
  double qxy = 0.0;
  double qyy = 0.0;

  // Roughly how far `point` lies off the ellipse, in the points' units: the level of the
  // ellipse's equation there over its slope.
  double Distance(PlanePoint point) const;
};

// The ellipse a x^2 + b xy + c y^2 + d x + e y + f = 0; nothing when that is no ellipse.
std::optional<Ellipse> EllipseOfConic(double a, double b, double c, double d, double e, double f);

// The least-squares ellipse through the points, taking the ones that lie far off it out of the
// fit in a few rounds, so that a shadow, a clamp or a notch in the rim cannot pull it away.
// Nothing from fewer than 6 points or points that make no ellipse.
std::optional<Ellipse> FitEllipse(std::span<const PlanePoint> points);

// The points within `tolerance` of the ellipse that most of them lie on, found from ellipses
// through six points spread round them: a worn or chipped quarter of a rim, which a least-squares
// fit bends to meet halfway, is left out whole. All the points when no ellipse gathers most.
std::vector<PlanePoint> ConsensusPoints(std::span<const PlanePoint> points, double tolerance);

}  // namespace tivenor
