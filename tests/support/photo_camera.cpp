#include "tests/support/photo_camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace tivenor::testing {
namespace {

using Matrix = std::array<double, 9>;

struct Vector {
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
};

double Radians(double degrees) {
  return degrees * std::numbers::pi / 180.0;
}

// Turns v by `angle` about the unit axis (Rodrigues).
Vector Rotate(Vector v, Vector axis, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  const double dot = axis.x * v.x + axis.y * v.y + axis.z * v.z;
  const Vector cross{axis.y * v.z - axis.z * v.y, axis.z * v.x - axis.x * v.z,
                     axis.x * v.y - axis.y * v.x};
  return {v.x * c + cross.x * s + axis.x * dot * (1.0 - c),
          v.y * c + cross.y * s + axis.y * dot * (1.0 - c),
          v.z * c + cross.z * s + axis.z * dot * (1.0 - c)};
}

Matrix Inverse(const Matrix& m) {
  const Matrix adjugate{
      m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
      m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
      m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
  const double determinant = m[0] * adjugate[0] + m[1] * adjugate[3] + m[2] * adjugate[6];
  if (std::abs(determinant) < 1e-300) throw std::invalid_argument("the camera sees no disc");
  Matrix inverse{};
  for (std::size_t i = 0; i < 9; ++i) inverse[i] = adjugate[i] / determinant;
  return inverse;
}

}  // namespace

PhotoCamera MakeCamera(const CameraOptions& options) {
  if (options.width < 2 || options.height < 2 || options.width > 100'000 ||
      options.height > 100'000) {
    throw std::invalid_argument("a photo is 2 to 100000 pixels on each side");
  }
  if (!(std::abs(options.tiltDegrees) < 60.0)) {
    throw std::invalid_argument("a tilt of 60 degrees or more hides the disc");
  }
  if (!(options.distanceInRims >= 2.0)) {
    throw std::invalid_argument("the camera stands at least two rim radii from the disc");
  }
  PhotoCamera camera;
  camera.width = options.width;
  camera.height = options.height;
  camera.opticalCentreX = (options.width - 1) * 0.5;
  camera.opticalCentreY = (options.height - 1) * 0.5;
  camera.lensUnit = 0.5 * std::hypot(options.width, options.height);
  camera.lensDistortion = options.lensDistortion;
  const double shorter = std::min(options.width, options.height);
  camera.discRadiusPx = options.discRadiusPx > 0.0 ? options.discRadiusPx : 0.45 * shorter;
  if (!(camera.discRadiusPx > 1.0)) throw std::invalid_argument("the disc is too small to see");

  // Camera space: x right, y down, z away from the camera; the disc's centre D rim radii away.
  const double distance = options.distanceInRims;
  const double focal = camera.discRadiusPx * distance;
  const Vector centre{options.offCentreX * shorter / camera.discRadiusPx,
                      options.offCentreY * shorter / camera.discRadiusPx, distance};
  const double turn = Radians(options.turnDegrees);
  const double axisAngle = Radians(options.tiltAxisDegrees);
  const Vector axis{std::cos(axisAngle), -std::sin(axisAngle), 0.0};
  const double tilt = Radians(options.tiltDegrees);
  // The plane's +x and +y (upwards on the face, so downwards in camera space), turned, then tilted.
  const Vector ex = Rotate({std::cos(turn), -std::sin(turn), 0.0}, axis, tilt);
  const Vector ey = Rotate({-std::sin(turn), -std::cos(turn), 0.0}, axis, tilt);
  const double cx = camera.opticalCentreX, cy = camera.opticalCentreY;
  camera.planeToIdeal = {focal * ex.x + cx * ex.z,
                         focal * ey.x + cx * ey.z,
                         focal * centre.x + cx * centre.z,
                         focal * ex.y + cy * ex.z,
                         focal * ey.y + cy * ey.z,
                         focal * centre.y + cy * centre.z,
                         ex.z,
                         ey.z,
                         centre.z};
  camera.idealToPlane = Inverse(camera.planeToIdeal);
  // The camera stands at the origin; its foot on the plane is where the plane's axes put it.
  camera.cameraFoot = {-(centre.x * ex.x + centre.y * ex.y + centre.z * ex.z),
                       -(centre.x * ey.x + centre.y * ey.y + centre.z * ey.z)};
  const Vector normal{ex.y * ey.z - ex.z * ey.y, ex.z * ey.x - ex.x * ey.z,
                      ex.x * ey.y - ex.y * ey.x};
  camera.cameraHeight = std::abs(centre.x * normal.x + centre.y * normal.y + centre.z * normal.z);
  return camera;
}

PicturePoint PictureToIdeal(const PhotoCamera& camera, PicturePoint point) {
  const double dx = point.x - camera.opticalCentreX;
  const double dy = point.y - camera.opticalCentreY;
  const double bend =
      1.0 + camera.lensDistortion * (dx * dx + dy * dy) / (camera.lensUnit * camera.lensUnit);
  return {camera.opticalCentreX + dx * bend, camera.opticalCentreY + dy * bend};
}

PicturePoint IdealToPicture(const PhotoCamera& camera, PicturePoint ideal) {
  const double dx = (ideal.x - camera.opticalCentreX) / camera.lensUnit;
  const double dy = (ideal.y - camera.opticalCentreY) / camera.lensUnit;
  const double idealRadius = std::hypot(dx, dy);
  if (idealRadius == 0.0) return {camera.opticalCentreX, camera.opticalCentreY};
  // Solves r (1 + k r²) = idealRadius for the photo's radius r by Newton's method.
  const double k = camera.lensDistortion;
  double r = idealRadius;
  for (int i = 0; i < 30; ++i) {
    const double step = (r + k * r * r * r - idealRadius) / (1.0 + 3.0 * k * r * r);
    r -= step;
    if (std::abs(step) < 1e-15) break;
  }
  const double scale = r / idealRadius;
  return {camera.opticalCentreX + dx * scale * camera.lensUnit,
          camera.opticalCentreY + dy * scale * camera.lensUnit};
}

PicturePoint PlaneToPicture(const PhotoCamera& camera, PlanePoint point) {
  const auto& h = camera.planeToIdeal;
  const double w = h[6] * point.x + h[7] * point.y + h[8];
  return IdealToPicture(camera, {(h[0] * point.x + h[1] * point.y + h[2]) / w,
                                 (h[3] * point.x + h[4] * point.y + h[5]) / w});
}

PicturePoint DiscToPicture(const PhotoCamera& camera, DiscPoint point) {
  const double a = Radians(point.degrees);
  return PlaneToPicture(camera, {point.radius * std::cos(a), point.radius * std::sin(a)});
}

DiscPoint PictureToDisc(const PhotoCamera& camera, PicturePoint point) {
  const PlanePoint p = PictureToPlane(camera, point.x, point.y);
  double degrees = std::atan2(p.y, p.x) * 180.0 / std::numbers::pi;
  if (degrees < 0.0) degrees += 360.0;
  return {std::hypot(p.x, p.y), degrees};
}

PicturePoint RimEllipseCentre(const PhotoCamera& camera) {
  // The rim x² + y² = 1 seen through the homography is the conic Gᵀ diag(1, 1, -1) G, G the
  // inverse homography; its centre solves the conic's 2 x 2 system.
  const auto& g = camera.idealToPlane;
  const auto conic = [&](std::size_t i, std::size_t j) {
    return g[i] * g[j] + g[3 + i] * g[3 + j] - g[6 + i] * g[6 + j];
  };
  const double a = conic(0, 0), b = conic(0, 1), c = conic(1, 1);
  const double d = conic(0, 2), e = conic(1, 2);
  const double determinant = a * c - b * b;
  return IdealToPicture(camera, {(-d * c + e * b) / determinant, (-a * e + b * d) / determinant});
}

}  // namespace tivenor::testing
