#pragma once
// The camera of a photographed disc: the disc's plane seen in perspective from a few rim radii
// away, then bent by the lens. Maps points of the disc to pixels of the photo and back, with the
// very arithmetic the photo is drawn with, so a test knows where every part of the disc landed.
//
// The disc's plane: x to the right and y upwards as seen on the disc's face, in rim radii, the
// disc's centre at the origin, angles counter-clockwise from +x (the clean picture's axes). A
// photo pixel (x, y) has its centre at (x, y), y downwards.

#include <array>
#include <cstdint>

#include "tests/support/disc_renderer.h"

namespace tivenor::testing {

struct CameraOptions {
  int32_t width = 6000;  // the photo, pixels
  int32_t height = 4000;
  double discRadiusPx = 0.0;  // the rim's radius seen square-on; 0: 0.45 of the shorter side
  // The disc's centre off the middle of the frame, in shorter sides (x right, y down): the lens
  // bends an off-centre disc's tracks unevenly, as on real photos.
  double offCentreX = 0.05;
  double offCentreY = -0.03;
  double turnDegrees = 0.0;       // the disc turned in its plane, counter-clockwise as seen
  double tiltDegrees = 10.0;      // the disc's plane away from square to the camera
  double tiltAxisDegrees = 30.0;  // the axis it leans about, counter-clockwise from the frame's x
  double distanceInRims = 10.0;   // from the camera to the disc's centre
  // Radial lens bend: a photo pixel r half-diagonals from the frame's middle shows what an ideal
  // lens shows at r (1 + lensDistortion r²). Above 0 barrel, below 0 pincushion.
  double lensDistortion = 0.08;
};

struct DiscPoint {
  double radius = 0.0;   // rim radii
  double degrees = 0.0;  // counter-clockwise from the disc's +x, as seen on its face
};

struct PlanePoint {
  double x = 0.0;
  double y = 0.0;
};

// Plain data, copied freely.
struct PhotoCamera {
  int32_t width = 0;
  int32_t height = 0;
  std::array<double, 9> planeToIdeal{};  // homography, row by row: the plane to a perfect lens
  std::array<double, 9> idealToPlane{};
  double opticalCentreX = 0.0;
  double opticalCentreY = 0.0;
  double lensUnit = 1.0;  // half the frame's diagonal, pixels
  double lensDistortion = 0.0;
  double discRadiusPx = 0.0;
  PlanePoint cameraFoot;      // the point of the disc's plane right below the camera
  double cameraHeight = 0.0;  // the camera's height over the plane, rim radii
};

// Throws std::invalid_argument for a frame, size, tilt or distance no camera can have.
PhotoCamera MakeCamera(const CameraOptions& options);

// The point of the disc's plane a photo pixel shows: what the photo is drawn with.
inline PlanePoint PictureToPlane(const PhotoCamera& camera, double x, double y) {
  const double dx = x - camera.opticalCentreX;
  const double dy = y - camera.opticalCentreY;
  const double r2 = (dx * dx + dy * dy) / (camera.lensUnit * camera.lensUnit);
  const double bend = 1.0 + camera.lensDistortion * r2;
  const double ix = camera.opticalCentreX + dx * bend;
  const double iy = camera.opticalCentreY + dy * bend;
  const auto& h = camera.idealToPlane;
  const double w = h[6] * ix + h[7] * iy + h[8];
  return {(h[0] * ix + h[1] * iy + h[2]) / w, (h[3] * ix + h[4] * iy + h[5]) / w};
}

PicturePoint PlaneToPicture(const PhotoCamera& camera, PlanePoint point);
PicturePoint DiscToPicture(const PhotoCamera& camera, DiscPoint point);
DiscPoint PictureToDisc(const PhotoCamera& camera, PicturePoint point);
// Where a lens without bend puts a photo pixel, and back: the perspective alone.
PicturePoint PictureToIdeal(const PhotoCamera& camera, PicturePoint point);
PicturePoint IdealToPicture(const PhotoCamera& camera, PicturePoint ideal);

// The centre of the ellipse a perfect lens makes of the rim (not the image of the disc's centre
// under a tilt), moved by the lens's bend at that point.
PicturePoint RimEllipseCentre(const PhotoCamera& camera);

}  // namespace tivenor::testing
