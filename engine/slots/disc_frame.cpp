#include "engine/slots/disc_frame.h"

#include <cmath>
#include <numbers>

namespace tivenor {

namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

// Music angle = orientation x picture angle + this.
double MusicOffset(const DiscFrame& frame) {
  const double along = frame.music == MusicDirection::kCounterClockwise ? 1.0 : -1.0;
  return frame.mirrored ? along * 180.0 : 0.0;
}

}  // namespace

double WrapDegrees(double degrees) {
  const double wrapped = degrees - 360.0 * std::floor(degrees / 360.0);
  return wrapped >= 360.0 ? 0.0 : wrapped;
}

int DiscFrame::Orientation() const {
  const int along = music == MusicDirection::kCounterClockwise ? 1 : -1;
  return mirrored ? -along : along;
}

double DiscFrame::MusicAngle(double pictureAngle) const {
  return WrapDegrees(Orientation() * pictureAngle + MusicOffset(*this));
}

double DiscFrame::PictureAngle(double musicAngle) const {
  return WrapDegrees(Orientation() * (musicAngle - MusicOffset(*this)));
}

double DiscFrame::MusicAngleOfFace(double faceAngle) const {
  return MusicAngle(mirrored ? 180.0 - faceAngle : faceAngle);
}

double DiscFrame::PictureX(double musicAngle, double radius) const {
  return centreX + radius * rimRadius * std::cos(PictureAngle(musicAngle) * kRadiansPerDegree);
}

double DiscFrame::PictureY(double musicAngle, double radius) const {
  return centreY - radius * rimRadius * std::sin(PictureAngle(musicAngle) * kRadiansPerDegree);
}

PixelPoint DiscFrame::PixelAt(double musicAngle, double radius) const {
  return {static_cast<int32_t>(std::lround(PictureX(musicAngle, radius))),
          static_cast<int32_t>(std::lround(PictureY(musicAngle, radius)))};
}

Arc MusicArc(const DiscFrame& frame, const Arc& pictureArc) {
  const double start =
      frame.Orientation() > 0 ? pictureArc.lead : pictureArc.lead + pictureArc.sweep;
  return {frame.MusicAngle(start), pictureArc.sweep};
}

}  // namespace tivenor
