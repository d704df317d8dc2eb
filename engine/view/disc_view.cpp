#include "engine/view/disc_view.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tivenor {

namespace {

constexpr int kBendInversionSteps = 6;
constexpr double kFarOffEllipse = 3.0;  // median distances

struct Matrix2 {
  double xx = 1.0, xy = 0.0, yy = 1.0;
};

// The symmetric square root of a positive definite matrix.
Matrix2 SquareRoot(double xx, double xy, double yy) {
  const double root = std::sqrt(xx * yy - xy * xy);
  const double norm = std::sqrt(xx + yy + 2.0 * root);
  return {(xx + root) / norm, xy / norm, (yy + root) / norm};
}

}  // namespace

PlanePoint DiscView::LensCorrected(PlanePoint picture) const {
  const double dx = picture.x - lens.centreX, dy = picture.y - lens.centreY;
  const double bend = 1.0 + lens.bend * (dx * dx + dy * dy) / (lens.unit * lens.unit);
  return {lens.centreX + dx * bend, lens.centreY + dy * bend};
}

PlanePoint DiscView::LensBent(PlanePoint corrected) const {
  const double dx = corrected.x - lens.centreX, dy = corrected.y - lens.centreY;
  const double s = std::hypot(dx, dy) / lens.unit;
  if (lens.bend == 0.0 || s == 0.0) return corrected;
  // r (1 + bend r^2) = s, by Newton's steps from r = s.
  double r = s;
  for (int step = 0; step < kBendInversionSteps; ++step) {
    const double slope = 1.0 + 3.0 * lens.bend * r * r;
    if (!(slope > 0.0)) break;
    r -= (r * (1.0 + lens.bend * r * r) - s) / slope;
  }
  const double factor = r / s;
  return {lens.centreX + dx * factor, lens.centreY + dy * factor};
}

PlanePoint DiscView::PictureToDisc(PlanePoint picture) const {
  const PlanePoint corrected = LensCorrected(picture);
  const double nx = (corrected.x - origin.x) / scale, ny = (corrected.y - origin.y) / scale;
  const double w = 1.0 + tiltX * nx + tiltY * ny;
  const double mx = nx / w - rim.centre.x, my = ny / w - rim.centre.y;
  return {sxx * mx + sxy * my, -(sxy * mx + syy * my)};
}

PlanePoint DiscView::DiscToPicture(PlanePoint disc) const {
  const double det = sxx * syy - sxy * sxy;
  const double dx = disc.x, dy = -disc.y;
  const double mx = rim.centre.x + (syy * dx - sxy * dy) / det;
  const double my = rim.centre.y + (-sxy * dx + sxx * dy) / det;
  const double w = 1.0 - tiltX * mx - tiltY * my;
  return LensBent({origin.x + scale * mx / w, origin.y + scale * my / w});
}

DiscView SquareView(PlanePoint centre, double radius) {
  DiscView view;
  view.origin = centre;
  view.scale = radius;
  view.rim.qxx = view.rim.qyy = 1.0;
  return view;
}

std::optional<CorrectedRim> CorrectRim(const LensBend& lens,
                                       std::span<const PlanePoint> rimPoints) {
  CorrectedRim rim;
  rim.lens = lens;
  DiscView bent;
  bent.lens = lens;
  rim.points.reserve(rimPoints.size());
  for (const PlanePoint& p : rimPoints) rim.points.push_back(bent.LensCorrected(p));
  const std::optional<Ellipse> seen = FitEllipse(rim.points);
  if (!seen) return std::nullopt;
  rim.ellipse = *seen;
  std::vector<double> distances;
  distances.reserve(rim.points.size());
  for (const PlanePoint& p : rim.points) distances.push_back(seen->Distance(p));
  std::vector<double> sorted = distances;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<long>(sorted.size() / 2),
                   sorted.end());
  const double limit = kFarOffEllipse * sorted[sorted.size() / 2];
  double sum = 0.0;
  int kept = 0;
  for (const double d : distances) {
    if (d > limit) continue;
    sum += d * d;
    ++kept;
  }
  rim.offEllipse = kept > 0 ? std::sqrt(sum / kept) : 0.0;
  return rim;
}

std::optional<DiscView> ViewWithCentre(const CorrectedRim& rim, PlanePoint centre) {
  const Ellipse& seen = rim.ellipse;
  DiscView view;
  view.lens = rim.lens;
  view.origin = seen.centre;
  view.scale = 1.0 / std::sqrt(std::sqrt(seen.qxx * seen.qyy - seen.qxy * seen.qxy));
  // The disc's centre is the pole of the line the perspective sends to infinity, with respect
  // to the rim's ellipse; in the normalised frame the ellipse is n' Q n = 1.
  const double qxx = seen.qxx * view.scale * view.scale;
  const double qxy = seen.qxy * view.scale * view.scale;
  const double qyy = seen.qyy * view.scale * view.scale;
  const double cx = (centre.x - view.origin.x) / view.scale;
  const double cy = (centre.y - view.origin.y) / view.scale;
  if (cx * (qxx * cx + qxy * cy) + cy * (qxy * cx + qyy * cy) >= 1.0) return std::nullopt;
  view.tiltX = -(qxx * cx + qxy * cy);
  view.tiltY = -(qxy * cx + qyy * cy);

  // The rim's ellipse n' Q n = 1 as the square view shows it: the conic carried through the
  // perspective exactly, with no fit of its own.
  const double tx = view.tiltX, ty = view.tiltY;
  const std::optional<Ellipse> round =
      EllipseOfConic(qxx - tx * tx, 2.0 * (qxy - tx * ty), qyy - ty * ty, 2.0 * tx, 2.0 * ty, -1.0);
  if (!round) return std::nullopt;
  view.rim = *round;
  const Matrix2 root = SquareRoot(round->qxx, round->qxy, round->qyy);
  view.sxx = root.xx;
  view.sxy = root.xy;
  view.syy = root.yy;
  return view;
}

}  // namespace tivenor
