#pragma once
// Keeps a picture fitted to the window: the display is fitted again whenever the scroll area's
// viewport changes size.

#include <QObject>

class QScrollArea;

namespace tivenor {

class PictureDisplay;
enum class PictureView;

class PictureViewKeeper : public QObject {
  Q_OBJECT

 public:
  PictureViewKeeper(QScrollArea* area, PictureDisplay* display);

  void SetView(PictureView view);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QScrollArea* area_;
  PictureDisplay* display_;
};

}  // namespace tivenor
