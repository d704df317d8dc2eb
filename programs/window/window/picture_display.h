#pragma once
// The picture display: shows the disc picture unscaled from its top-left corner, cut off at
// the display's edges, and keeps the picture as the analysis reads and marks it.

#include <QImage>
#include <QWidget>

#include <optional>
#include <string>

#include "engine/base/raster.h"
#include "engine/midi/playhead.h"

namespace tivenor {

// How the picture fills the display: as laid out (unscaled in a display of fixed size, a larger
// picture cut off), unscaled with the display as large as the picture, or scaled to fit.
enum class PictureView { kSpecified, kActualSize, kFitToWindow };

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
  // What is on screen, unscaled and without the playhead, for checks and screenshots: in the
  // layout's view the picture's top-left part, at most the display's size; else all of it.
  const QImage& Image() const { return image_; }

  // `available` is the room the display may take, used when fitting the picture.
  void SetView(PictureView view, QSize available);
  PictureView View() const { return view_; }
  // Screen pixels per picture pixel.
  double Scale() const { return scale_; }

  // Follows the music over the picture until the picture is replaced.
  void ShowPlayhead(PlayheadMap map);
  // Repaints when the playhead moved.
  void MovePlayhead(double discTicks);
  bool PlayheadShown() const { return playhead_.has_value(); }
  const PlayheadMap& Playhead() const { return *playhead_; }
  double PlayheadTicks() const { return playheadTicks_; }

 signals:
  // A new picture, or a new view of it.
  void PictureReplaced();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PictureChanged();
  void ConvertShownPart();
  void Arrange();

  Raster picture_;
  // Storage of a picture no longer shown, kept for the next load or working copy: a START
  // then takes no fresh memory for its full-size pictures.
  Raster spare_;
  QImage image_;
  QImage scaled_;  // image_ at scale_, when that is not 1
  PictureView view_ = PictureView::kSpecified;
  QSize available_;
  double scale_ = 1.0;
  std::optional<PlayheadMap> playhead_;
  double playheadTicks_ = 0.0;
};

}  // namespace tivenor
