#pragma once
// The copy of a picture that the analysis reads when the picture is not read as it is, and the
// way back: marks made on the copy are drawn on the picture as the user gave it.

#include "engine/base/raster.h"
#include "engine/fitting/fitted_settings.h"

namespace tivenor {

class ReadingCopy {
 public:
  ReadingCopy() = default;
  explicit ReadingCopy(const ReadingPlan& plan) : plan_(plan) {}

  // False when the picture is read as it is and the rest of this class does nothing.
  bool Active() const { return plan_.NeedsCopy(); }
  int Scale() const { return plan_.scale; }
  const ReadingPlan& Plan() const { return plan_; }

  // `picture` below is the picture in memory, which holds one pixel per pictureReduction x
  // pictureReduction pixels of its file.

  // The width or height of the copy of a picture this wide or high.
  int32_t CopySide(int32_t pictureSide) const;
  // Makes the copy: cleared outside the disc, evenly lit, then each scale x scale block of the
  // file's pixels one pixel, in one pass over the picture. A held pixel that a block covers in
  // part counts for the file pixels it shares with it. Reuses the storage of `into`.
  void Read(const Raster& picture, Raster& into) const;
  // Draws every mark of `marked` (a copy as Read made it, marked since) on the picture: each
  // marked pixel of the copy covers the picture's pixels under its block.
  void ProjectMarks(const Raster& marked, Raster& picture) const;
  // The picture pixel at the middle of the block a pixel of the copy stands for.
  PixelPoint ToPicture(PixelPoint point) const;
  // Where a coordinate of the copy lies on the picture, exactly: pixel centres stand at whole
  // numbers in both, and a copy's pixel covers its block of the picture.
  double ToPictureCoordinate(double copyCoordinate) const;

  // The pixel at (x, y) of the file's picture as if evenly lit (itself when the lighting is
  // even).
  uint32_t EvenlyLit(uint32_t pixel, int32_t x, int32_t y) const;

 private:
  ReadingPlan plan_;
};

}  // namespace tivenor
