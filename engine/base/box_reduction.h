#pragma once
// A picture reduced while it is decoded: each block of factor x factor pixels becomes their
// mean, one row at a time, so that a decoder never holds more than one row of the whole picture.

#include <cstdint>
#include <vector>

#include "engine/base/raster.h"

namespace tivenor {

inline constexpr int kMaxBoxReduction = 16;

// ceil(size / factor): a block cut off by the picture's edge still makes a pixel.
int32_t ReducedSize(int32_t size, int factor);

class BoxReduction {
 public:
  // Makes `into` ceil(width / factor) x ceil(height / factor), reusing its storage; a block cut
  // off by the right or bottom edge is the mean of the pixels it holds. `factor` is clamped to
  // 1..kMaxBoxReduction. `into` must outlive the reduction.
  BoxReduction(int32_t width, int32_t height, int factor, Raster& into);
  // Reduces a band of a picture: its `height` rows from `firstRow` (a multiple of `factor`) on,
  // into the rows of `into` they make, `into` already sized for the whole picture. Bands apart
  // can be reduced at once, each by its own reduction.
  BoxReduction(int32_t width, int32_t height, int factor, Raster& into, int32_t firstRow);

  // The picture's next row from the top: `width` pixels 0x..BBGGRR, the top byte ignored.
  void AddRow(const uint32_t* row);
  int32_t RowsAdded() const { return rowsAdded_; }

 private:
  void FinishBlockRow();

  int32_t width_;
  int32_t height_;
  int factor_;
  Raster& into_;
  int32_t firstOutRow_ = 0;
  int32_t rowsAdded_ = 0;
  int rowsInBlock_ = 0;
  // Per reduced column, the sums of its block so far: red and blue in the two halves of one
  // word, green in another. A block of 16 x 16 pixels of 255 fits in 16 bits.
  std::vector<uint32_t> redBlue_;
  std::vector<uint32_t> green_;
};

}  // namespace tivenor
