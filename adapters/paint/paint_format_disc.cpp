#include "adapters/paint/paint_format_disc.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRectF>

#include <cmath>
#include <numbers>

#include "adapters/paint/disc_page.h"
#include "adapters/paint/paint_disc.h"
#include "engine/making/disc_layout.h"

namespace tivenor {
namespace {

// The label is the card's own colour inside a thin printed ring: a light label would read as
// one large hole.
constexpr double kLabelRingMm = 0.3;
constexpr double kStartLineMm = 0.5;

class FormatPage {
 public:
  explicit FormatPage(const DiscLayout& layout)
      : centre_(PageSizeMm(layout) / 2), rim_(layout.placement.diameterMm / 2) {}

  double Rim() const { return rim_; }

  QRectF Circle(double radiusMm) const {
    return {centre_ - radiusMm, centre_ - radiusMm, 2 * radiusMm, 2 * radiusMm};
  }

  // The page point `radiusMm` from the centre towards `degrees`, counter-clockwise from +x.
  QPointF Towards(double degrees, double radiusMm) const {
    const double radians = degrees * std::numbers::pi / 180.0;
    return {centre_ + radiusMm * std::cos(radians), centre_ - radiusMm * std::sin(radians)};
  }

 private:
  double centre_;
  double rim_;
};

// A slot as a part of a ring; the page's y runs downwards, and Qt's arcs turn counter-clockwise
// as seen on it, as the layout's directions do.
QPainterPath SlotPath(const FormatPage& page, const ArcSlot& slot) {
  const QRectF outer = page.Circle(slot.radiusMm + slot.widthMm / 2);
  const QRectF inner = page.Circle(slot.radiusMm - slot.widthMm / 2);
  const double span = slot.toDegrees - slot.fromDegrees;
  QPainterPath path;
  path.arcMoveTo(outer, slot.fromDegrees);
  path.arcTo(outer, slot.fromDegrees, span);
  path.arcTo(inner, slot.toDegrees, -span);
  path.closeSubpath();
  return path;
}

bool HasStartLine(const DiscFormat& format) {
  return format.start == StartRule::kLine || format.start == StartRule::kAngle;
}

void PaintPrint(QPainter& painter, const FormatPage& page, const DiscLayout& layout) {
  const DiscFormat& format = layout.format;
  painter.setBrush(Qt::NoBrush);
  QPen print(QColor(kPrintGrey, kPrintGrey, kPrintGrey));
  print.setCapStyle(Qt::FlatCap);
  if (format.labelRadius > 0.0) {
    print.setWidthF(kLabelRingMm);
    painter.setPen(print);
    painter.drawEllipse(page.Circle(format.labelRadius * page.Rim()));
  }
  if (HasStartLine(format)) {
    print.setWidthF(kStartLineMm);
    painter.setPen(print);
    const double inner = format.labelRadius > 0.0 ? format.labelRadius : format.ringInner;
    const double start = layout.placement.startDegrees;
    painter.drawLine(page.Towards(start, inner * page.Rim()),
                     page.Towards(start, page.Rim() - kStartLineMm));
  }
}

}  // namespace

void PaintFormatDisc(QPainter& painter, const DiscLayout& layout, const DiscLook& look) {
  const FormatPage page(layout);
  const DiscFormat& format = layout.format;
  painter.setRenderHint(QPainter::Antialiasing);
  const double side = PageSizeMm(layout);
  painter.fillRect(QRectF(0, 0, side, side), Qt::white);
  UseDiscPen(painter, look);
  painter.drawEllipse(page.Circle(page.Rim()));
  if (!look.cut) {
    PaintPrint(painter, page, layout);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
  }
  painter.drawEllipse(page.Circle(kSpindleHoleRadius * page.Rim()));
  for (int hole = 0; hole < format.driveHoles; ++hole) {
    const double degrees = layout.placement.startDegrees + (hole + 0.5) * 360.0 / format.driveHoles;
    const QPointF at = page.Towards(degrees, format.driveHoleRadius * page.Rim());
    const double radius = kDriveHoleDiameter * page.Rim() / 2;
    painter.drawEllipse(at, radius, radius);
  }
  for (const PunchedNote& note : layout.notes) painter.drawPath(SlotPath(page, note.arc));
}

}  // namespace tivenor
