#include "programs/window/playback/transport_glyphs.h"

#include <QColor>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace tivenor {

namespace {

QColor GlyphColour(TransportButton button) {
  switch (button) {
    case TransportButton::kPlay:
      return QColor(0, 150, 0);
    case TransportButton::kPause:
      return QColor(215, 170, 0);
    case TransportButton::kStop:
      return QColor(200, 0, 0);
    case TransportButton::kNext:
    case TransportButton::kPrev:
      return QColor(0, 70, 200);
  }
  return Qt::black;
}

// Symbols are drawn on a 12 x 10 grid, scaled to the button.
void DrawShapes(QPainter& painter, TransportButton button) {
  switch (button) {
    case TransportButton::kPlay:
      painter.drawPolygon(QPolygonF({{3, 0}, {10, 5}, {3, 10}}));
      break;
    case TransportButton::kPause:
      painter.drawRect(QRectF(2.5, 0, 2.5, 10));
      painter.drawRect(QRectF(7, 0, 2.5, 10));
      break;
    case TransportButton::kStop:
      painter.drawRect(QRectF(1.5, 0.5, 9, 9));
      break;
    case TransportButton::kNext:
      painter.drawPolygon(QPolygonF({{1, 0}, {8, 5}, {1, 10}}));
      painter.drawRect(QRectF(8.5, 0, 2, 10));
      break;
    case TransportButton::kPrev:
      painter.drawRect(QRectF(1.5, 0, 2, 10));
      painter.drawPolygon(QPolygonF({{11, 0}, {4, 5}, {11, 10}}));
      break;
  }
}

}  // namespace

const char* TransportButtonName(TransportButton button) {
  switch (button) {
    case TransportButton::kPlay:
      return "Play";
    case TransportButton::kPause:
      return "Pause";
    case TransportButton::kStop:
      return "Stop";
    case TransportButton::kNext:
      return "Next";
    case TransportButton::kPrev:
      return "Prev";
  }
  return "";
}

void PaintTransportGlyph(QPainter& painter, TransportButton button, const QRectF& area,
                         bool enabled) {
  constexpr double kGridWidth = 12.0;
  constexpr double kGridHeight = 10.0;
  const double scale = std::min(area.width() / (kGridWidth + 4), area.height() / (kGridHeight + 4));
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(area.center().x() - scale * kGridWidth / 2,
                    area.center().y() - scale * kGridHeight / 2);
  painter.scale(scale, scale);
  const QColor colour = enabled ? GlyphColour(button) : QColor(160, 160, 160);
  painter.setPen(QPen(colour.darker(140), 0.6));
  painter.setBrush(colour);
  DrawShapes(painter, button);
  painter.restore();
}

}  // namespace tivenor
