#include "app/window/picture_display.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

#include "app/window/playhead_overlay.h"
#include "picture/picture_file.h"

namespace tivenor {

PictureDisplay::PictureDisplay(QWidget* parent) : QWidget(parent) {
  setFixedSize(kWidth, kHeight);
}

void PictureDisplay::LoadPicture(const std::string& fileName) {
  picture_ = tivenor::LoadPicture(fileName);
  PictureChanged();
}

void PictureDisplay::ShowBitmap(const Raster& bitmap) {
  picture_ = bitmap;
  PictureChanged();
}

void PictureDisplay::TakeBitmap(Raster&& bitmap) {
  picture_ = std::move(bitmap);
  PictureChanged();
}

void PictureDisplay::CopyPicture(Raster& into) const {
  into = picture_;
}

void PictureDisplay::DrawLineOnPicture(PixelPoint from, PixelPoint to, uint32_t colour) {
  DrawLine(picture_, from, to, colour);
  PictureChanged();
}

void PictureDisplay::PictureChanged() {
  image_ = ImageFromRaster(picture_);
  playhead_.reset();  // it belonged to the picture it was shown on
  Arrange();
  repaint();
  emit PictureReplaced();
}

void PictureDisplay::SetView(PictureView view, QSize available) {
  view_ = view;
  available_ = available;
  Arrange();
  update();
  emit PictureReplaced();
}

void PictureDisplay::Arrange() {
  const QSize picture = image_.size();
  QSize size(kWidth, kHeight);
  scale_ = 1.0;
  if (view_ == PictureView::ActualSize) {
    size = size.expandedTo(picture);
  } else if (view_ == PictureView::FitToWindow && !picture.isEmpty() && !available_.isEmpty()) {
    scale_ = std::min(static_cast<double>(available_.width()) / picture.width(),
                      static_cast<double>(available_.height()) / picture.height());
    size = picture.scaled(available_, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
  }
  scaled_ =
      scale_ == 1.0 ? QImage() : image_.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  setFixedSize(size);
}

void PictureDisplay::ShowPlayhead(PlayheadMap map) {
  playhead_ = std::move(map);
  playheadTicks_ = 0.0;
  update();
}

void PictureDisplay::MovePlayhead(double discTicks) {
  if (!playhead_ || discTicks == playheadTicks_) return;
  playheadTicks_ = discTicks;
  update();
}

void PictureDisplay::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(0, 0, scale_ == 1.0 ? image_ : scaled_);
  if (playhead_) {
    painter.scale(scale_, scale_);
    PaintPlayhead(painter, *playhead_, playheadTicks_, scale_);
  }
}

}  // namespace tivenor
