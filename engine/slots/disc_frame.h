#pragma once
// The disc as the picture shows it: its centre and rim, and which side of it faces the camera.
// Angles pass between three frames: the picture's (degrees counter-clockwise as shown), the
// face's (the same, flipped left to right when the picture shows the disc's back) and the
// music's (degrees from the face's +x axis in the way the music runs).

#include "engine/base/raster.h"
#include "engine/disc/disc_format.h"

namespace tivenor {

struct DiscFrame {
  double centreX = 0.0;  // pixels
  double centreY = 0.0;
  double rimRadius = 0.0;  // pixels in one rim unit
  bool mirrored = false;   // the picture shows the disc's back
  MusicDirection music = MusicDirection::kCounterClockwise;

  // +1 when the music runs counter-clockwise on the picture, -1 when clockwise.
  int Orientation() const;
  double MusicAngle(double pictureAngle) const;  // in [0, 360)
  double PictureAngle(double musicAngle) const;  // in [0, 360)
  // An angle on the disc's face, counter-clockwise from the face's +x axis, in the music's frame.
  double MusicAngleOfFace(double faceAngle) const;
  // The point at a music angle and a radius in rim units, in picture pixels (y downwards).
  double PictureX(double musicAngle, double radius) const;
  double PictureY(double musicAngle, double radius) const;
  PixelPoint PixelAt(double musicAngle, double radius) const;
};

// A stretch of angle: from `lead` (in [0, 360)) on through `sweep` degrees.
struct Arc {
  double lead = 0.0;
  double sweep = 0.0;
};

// A patch's arc on the picture (counter-clockwise from its first angle) in the music's frame.
Arc MusicArc(const DiscFrame& frame, const Arc& pictureArc);

double WrapDegrees(double degrees);  // into [0, 360)

}  // namespace tivenor
