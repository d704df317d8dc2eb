#include "app/window/picture_display.h"

#include <QPaintEvent>
#include <QPainter>

#include <utility>

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
  repaint();
}

void PictureDisplay::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setClipRegion(event->region());
  painter.drawImage(0, 0, image_);
}

}  // namespace tivenor
