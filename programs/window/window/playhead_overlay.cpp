#include "programs/window/window/playhead_overlay.h"

#include <QPainter>
#include <QPen>

namespace tivenor {

PlayheadMap PlayheadOnPicture(PlayheadMap map, const ReadingCopy& reading) {
  const auto onPicture = [&reading](PixelPointF& point) {
    point = {reading.ToPictureCoordinate(point.x), reading.ToPictureCoordinate(point.y)};
  };
  onPicture(map.centre);
  map.radius *= reading.Scale();
  for (PlayheadNote& note : map.notes) onPicture(note.point);
  return map;
}

void PaintPlayhead(QPainter& painter, const PlayheadMap& map, double discTicks, double scale) {
  constexpr double kLineWidth = 2.0;  // screen pixels
  constexpr double kRingRadius = 5.0;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  QPen pen(kPlayheadColour, kLineWidth);
  pen.setCosmetic(true);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  const std::size_t played = NotesPlayed(map, discTicks);
  const double ring = kRingRadius / scale;
  for (std::size_t i = 0; i < played; ++i) {
    painter.drawEllipse(QPointF(map.notes[i].point.x, map.notes[i].point.y), ring, ring);
  }
  const PixelPointF end = PlayheadEnd(map, discTicks);
  painter.drawLine(QPointF(map.centre.x, map.centre.y), QPointF(end.x, end.y));
  painter.restore();
}

}  // namespace tivenor
