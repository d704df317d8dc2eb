#include "programs/window/window/picture_display.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

#include "adapters/picture/picture_file.h"
#include "programs/window/window/playhead_overlay.h"

namespace tivenor {

PictureDisplay::PictureDisplay(QWidget* parent) : QWidget(parent) {
  setFixedSize(kWidth, kHeight);
}

void PictureDisplay::LoadPicture(const std::string& fileName) {
  // Read into the spare storage, so that on failure the display keeps what it showed.
  spare_ = tivenor::LoadPicture(fileName, std::move(spare_));
  std::swap(picture_, spare_);
  PictureChanged();
}

void PictureDisplay::ShowBitmap(const Raster& bitmap) {
  picture_.CopyFrom(bitmap);
  PictureChanged();
}

void PictureDisplay::TakeBitmap(Raster&& bitmap) {
  std::swap(picture_, bitmap);
  spare_ = std::move(bitmap);
  PictureChanged();
}

void PictureDisplay::CopyPicture(Raster& into) {
  if (into.pixels.capacity() < picture_.pixels.size()) std::swap(into, spare_);
  into.CopyFrom(picture_);
}

void PictureDisplay::DrawLineOnPicture(PixelPoint from, PixelPoint to, uint32_t colour) {
  DrawLine(picture_, from, to, colour);
  PictureChanged();
}

void PictureDisplay::PictureChanged() {
  ConvertShownPart();
  playhead_.reset();  // it belonged to the picture it was shown on
  Arrange();
  repaint();
  emit PictureReplaced();
}

void PictureDisplay::ConvertShownPart() {
  // In the layout's view only the part the display shows is converted: a 600 dpi scan is twenty
  // times as large.
  const QSize whole(picture_.width, picture_.height);
  const QSize shown =
      view_ == PictureView::kSpecified ? whole.boundedTo(QSize(kWidth, kHeight)) : whole;
  if (image_.size() != shown) image_ = QImage(shown, QImage::Format_RGB32);
  CopyRasterIntoImage(picture_, image_);
}

void PictureDisplay::SetView(PictureView view, QSize available) {
  const bool wasCropped = view_ == PictureView::kSpecified;
  view_ = view;
  available_ = available;
  if (wasCropped != (view_ == PictureView::kSpecified)) ConvertShownPart();
  Arrange();
  update();
  emit PictureReplaced();
}

void PictureDisplay::Arrange() {
  const QSize picture(picture_.width, picture_.height);
  QSize size(kWidth, kHeight);
  scale_ = 1.0;
  if (view_ == PictureView::kActualSize) {
    size = size.expandedTo(picture);
  } else if (view_ == PictureView::kFitToWindow && !picture.isEmpty() && !available_.isEmpty()) {
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
