#include "adapters/paint/paint_disc.h"

#include <QPainter>
#include <QPen>
#include <QRectF>

#include <numbers>

#include "adapters/paint/disc_page.h"
#include "adapters/paint/paint_format_disc.h"
#include "engine/making/disc_layout.h"

namespace tivenor {
namespace {

constexpr double kCentreMm = kPageSizeMm / 2;

QRectF Circle(double radiusMm) {
  return {kCentreMm - radiusMm, kCentreMm - radiusMm, 2 * radiusMm, 2 * radiusMm};
}

void PaintSlot(QPainter& painter, const Slot& slot) {
  painter.save();
  // Layout y runs upwards, the page's downwards: a counter-clockwise angle turns the other way.
  painter.translate(kCentreMm + slot.centre.x, kCentreMm - slot.centre.y);
  painter.rotate(-slot.axisRadians * 180.0 / std::numbers::pi);
  painter.drawRect(QRectF(-slot.lengthMm / 2, -slot.widthMm / 2, slot.lengthMm, slot.widthMm));
  painter.restore();
}

}  // namespace

void UseDiscPen(QPainter& painter, const DiscLook& look) {
  if (look.cut) {
    QPen hairline(Qt::black);
    hairline.setWidthF(look.hairlineMm);
    hairline.setCosmetic(look.hairlineMm == 0.0);
    painter.setPen(hairline);
    painter.setBrush(Qt::NoBrush);
  } else {
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
  }
}

void PaintDisc(QPainter& painter, const DiscLayout& layout, const DiscLook& look) {
  if (!IsBuiltIn(layout.format)) {
    PaintFormatDisc(painter, layout, look);
    return;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF page(0, 0, kPageSizeMm, kPageSizeMm);
  painter.fillRect(page, Qt::white);
  UseDiscPen(painter, look);
  painter.drawEllipse(Circle(kRimRadiusMm));
  if (!look.cut) painter.setBrush(Qt::white);
  painter.drawEllipse(Circle(kCentreHoleRadiusMm));
  for (const PunchedNote& note : layout.notes) PaintSlot(painter, note.slot);
}

}  // namespace tivenor
