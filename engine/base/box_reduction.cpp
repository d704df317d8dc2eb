#include "engine/base/box_reduction.h"

#include <algorithm>

namespace tivenor {

int32_t ReducedSize(int32_t size, int factor) {
  const int32_t f = std::clamp(factor, 1, kMaxBoxReduction);
  return size <= 0 ? 0 : (size - 1) / f + 1;
}

BoxReduction::BoxReduction(int32_t width, int32_t height, int factor, Raster& into)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      factor_(std::clamp(factor, 1, kMaxBoxReduction)),
      into_(into) {
  into_.ResizeForOverwrite(ReducedSize(width_, factor_), ReducedSize(height_, factor_));
  redBlue_.assign(static_cast<std::size_t>(into_.width), 0u);
  green_.assign(redBlue_.size(), 0u);
}

BoxReduction::BoxReduction(int32_t width, int32_t height, int factor, Raster& into,
                           int32_t firstRow)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      factor_(std::clamp(factor, 1, kMaxBoxReduction)),
      into_(into),
      firstOutRow_(std::max(firstRow, 0) / factor_) {
  // Rows the raster does not have are not written.
  height_ = std::clamp((into_.height - firstOutRow_) * factor_, 0, height_);
  redBlue_.assign(static_cast<std::size_t>(into_.width), 0u);
  green_.assign(redBlue_.size(), 0u);
}

void BoxReduction::AddRow(const uint32_t* row) {
  if (rowsAdded_ >= height_) return;
  ++rowsAdded_;
  if (factor_ == 1) {
    uint32_t* out =
        into_.pixels.data() + static_cast<std::size_t>(firstOutRow_ + rowsAdded_ - 1) * into_.width;
    for (int32_t x = 0; x < width_; ++x) out[x] = row[x] & 0x00FFFFFFu;
    return;
  }
  const int32_t fullBlocks = width_ / factor_;
  for (int32_t block = 0; block < fullBlocks; ++block) {
    const uint32_t* pixel = row + static_cast<std::size_t>(block) * factor_;
    uint32_t rb = 0, g = 0;
    for (int i = 0; i < factor_; ++i) {
      rb += pixel[i] & 0x00FF00FFu;
      g += (pixel[i] >> 8) & 0xFFu;
    }
    redBlue_[static_cast<std::size_t>(block)] += rb;
    green_[static_cast<std::size_t>(block)] += g;
  }
  if (fullBlocks < into_.width) {
    uint32_t rb = 0, g = 0;
    for (int32_t x = fullBlocks * factor_; x < width_; ++x) {
      rb += row[x] & 0x00FF00FFu;
      g += (row[x] >> 8) & 0xFFu;
    }
    redBlue_[static_cast<std::size_t>(fullBlocks)] += rb;
    green_[static_cast<std::size_t>(fullBlocks)] += g;
  }
  if (++rowsInBlock_ == factor_ || rowsAdded_ == height_) FinishBlockRow();
}

void BoxReduction::FinishBlockRow() {
  const int32_t outY = firstOutRow_ + (rowsAdded_ - 1) / factor_;
  uint32_t* out = into_.pixels.data() + static_cast<std::size_t>(outY) * into_.width;
  const auto rows = static_cast<uint32_t>(rowsInBlock_);
  for (int32_t x = 0; x < into_.width; ++x) {
    const auto columns = static_cast<uint32_t>(std::min(factor_, width_ - x * factor_));
    const uint32_t count = rows * columns;
    const auto mean = [count](uint32_t sum) { return (sum + count / 2) / count; };
    const uint32_t rb = redBlue_[static_cast<std::size_t>(x)];
    out[x] =
        mean(rb & 0xFFFFu) | mean(green_[static_cast<std::size_t>(x)]) << 8 | mean(rb >> 16) << 16;
  }
  std::fill(redBlue_.begin(), redBlue_.end(), 0u);
  std::fill(green_.begin(), green_.end(), 0u);
  rowsInBlock_ = 0;
}

}  // namespace tivenor
