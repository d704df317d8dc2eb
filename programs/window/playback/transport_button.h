#pragma once
// One button of the transport bar: a bevel with a coloured symbol. It never takes the focus
// itself; the bar does and marks which of its buttons the keyboard is on.

#include <QAbstractButton>

#include "programs/window/playback/transport_glyphs.h"

namespace tivenor {

class TransportButtonWidget : public QAbstractButton {
  Q_OBJECT

 public:
  TransportButtonWidget(TransportButton button, QWidget* parent);

  TransportButton Kind() const { return button_; }
  void SetKeyboardFocus(bool on);
  bool HasKeyboardFocus() const { return keyboardFocus_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TransportButton button_;
  bool keyboardFocus_ = false;
};

}  // namespace tivenor
