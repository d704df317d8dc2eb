#pragma once
// How a picture shows the disc's plane. A photograph bends the disc three ways: the lens bends
// lines about the picture's middle, the slant makes a perspective view (in which the rim's
// ellipse is not centred on the disc's centre), and the rim looks squashed. A scan does none of
// these, and its view is a plain circle.
//
// Picture points: pixels, x right, y down. Disc points: rim units from the disc's centre, x to
// the right and y upwards as the picture shows the disc turned square to it.

#include <optional>
#include <span>
#include <vector>

#include "engine/view/ellipse_fit.h"
#include "engine/view/plane_point.h"

namespace tivenor {

struct LensBend {
  double centreX = 0.0;  // the picture's middle, pixels
  double centreY = 0.0;
  double unit = 1.0;  // half the picture's diagonal, pixels
  // A lens without bend shows a pixel r units from the middle at r (1 + bend r^2).
  double bend = 0.0;
};

struct DiscView {
  LensBend lens;
  // Perspective, in units of `scale` pixels from `origin`: a point n of the lens-corrected
  // picture lies at n / (1 + tiltX n.x + tiltY n.y) in a view square to the disc.
  PlanePoint origin;
  double scale = 1.0;
  double tiltX = 0.0;
  double tiltY = 0.0;
  // The rim in that square view: disc = stretch (m - rim.centre), y flipped; `stretch` is the
  // square root of the ellipse's matrix, which makes the rim the unit circle.
  Ellipse rim;
  double sxx = 1.0;
  double sxy = 0.0;
  double syy = 1.0;

  PlanePoint PictureToDisc(PlanePoint picture) const;
  PlanePoint DiscToPicture(PlanePoint disc) const;
  PlanePoint LensCorrected(PlanePoint picture) const;  // where a lens without bend shows it
  PlanePoint LensBent(PlanePoint corrected) const;     // and back
};

// The view of a disc seen square-on: its rim the circle of `radius` pixels about the centre.
DiscView SquareView(PlanePoint centre, double radius);

// The rim's edge points as a lens without bend would show them, and the ellipse they make.
struct CorrectedRim {
  LensBend lens;
  std::vector<PlanePoint> points;
  Ellipse ellipse;
  // How far the points lie off the ellipse, root mean square, pixels, leaving out the far ones
  // (a shadow, the clamp): the right lens makes the rim an ellipse again.
  double offEllipse = 0.0;
};
// Nothing when the points make no ellipse.
std::optional<CorrectedRim> CorrectRim(const LensBend& lens, std::span<const PlanePoint> rimPoints);

// The view through the rim's lens whose perspective leaves the disc's centre at `centre`, a
// point of the lens-corrected picture. Nothing when the centre lies outside the rim.
std::optional<DiscView> ViewWithCentre(const CorrectedRim& rim, PlanePoint centre);

}  // namespace tivenor
