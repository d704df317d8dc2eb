#include "programs/window/window/picture_view.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

#include "programs/window/window/picture_display.h"

namespace tivenor {

PictureViewKeeper::PictureViewKeeper(QScrollArea* area, PictureDisplay* display)
    : QObject(area), area_(area), display_(display) {
  area_->viewport()->installEventFilter(this);
}

void PictureViewKeeper::SetView(PictureView view) {
  // A fitted picture needs no scroll bars; without this they would take room from it.
  const Qt::ScrollBarPolicy bars =
      view == PictureView::kFitToWindow ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
  area_->setHorizontalScrollBarPolicy(bars);
  area_->setVerticalScrollBarPolicy(bars);
  display_->SetView(view, area_->maximumViewportSize());
}

bool PictureViewKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && display_->View() == PictureView::kFitToWindow) {
    display_->SetView(PictureView::kFitToWindow, area_->maximumViewportSize());
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tivenor
