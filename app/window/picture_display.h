#pragma once
// The picture display: shows the disc picture unscaled from its top-left corner, cut off at
// the display's edges, and keeps the picture as the analysis reads and marks it.

#include <QImage>
#include <QWidget>

#include <string>

#include "analysis/raster.h"

namespace tivenor {

class PictureDisplay : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 681;
  static constexpr int kHeight = 617;

  explicit PictureDisplay(QWidget* parent = nullptr);

  // Replaces the picture, marks and all. Throws RunError naming the file; on failure the
  // display keeps what it showed.
  void LoadPicture(const std::string& fileName);
  // The display keeps its own copy and repaints at once.
  void ShowBitmap(const Raster& bitmap);
  // The same, taking the bitmap's storage instead of copying it.
  void TakeBitmap(Raster&& bitmap);
  // Copies the picture into `into`, reusing its storage or storage the display no longer needs.
  void CopyPicture(Raster& into);
  // Draws on the picture itself and repaints at once.
  void DrawLineOnPicture(PixelPoint from, PixelPoint to, uint32_t colour);

  const Raster& Picture() const { return picture_; }
  // What is on screen (the picture's top-left part, at most the display's size), for checks
  // and screenshots.
  const QImage& Image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PictureChanged();

  Raster picture_;
  // Storage of a picture no longer shown, kept for the next load or working copy: a START
  // then takes no fresh memory for its full-size pictures.
  Raster spare_;
  QImage image_;
};

}  // namespace tivenor
