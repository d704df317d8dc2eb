#include "programs/window/playback/transport_button.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace tivenor {

TransportButtonWidget::TransportButtonWidget(TransportButton button, QWidget* parent)
    : QAbstractButton(parent), button_(button) {
  setObjectName(TransportButtonName(button));
  setAccessibleName(TransportButtonName(button));
  setToolTip(TransportButtonName(button));
  setFocusPolicy(Qt::NoFocus);
}

void TransportButtonWidget::SetKeyboardFocus(bool on) {
  if (keyboardFocus_ == on) return;
  keyboardFocus_ = on;
  update();
}

QSize TransportButtonWidget::sizeHint() const {
  return {28, 20};
}

void TransportButtonWidget::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton bevel;
  bevel.initFrom(this);
  bevel.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
  painter.drawControl(QStyle::CE_PushButtonBevel, bevel);
  PaintTransportGlyph(painter, button_, QRectF(rect()).adjusted(2, 2, -2, -2), isEnabled());
  if (keyboardFocus_) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(3, 3, -3, -3);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

}  // namespace tivenor
