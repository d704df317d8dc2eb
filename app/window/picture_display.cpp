#include "app/window/picture_display.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

#include "picture/picture_file.h"

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
  // Only the part the display shows is converted: a 600 dpi scan is twenty times as large.
  const QSize shown(std::min(kWidth, picture_.width), std::min(kHeight, picture_.height));
  if (image_.size() != shown) image_ = QImage(shown, QImage::Format_RGB32);
  CopyRasterIntoImage(picture_, image_);
  repaint();
}

void PictureDisplay::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(0, 0, image_);
}

}  // namespace tivenor
