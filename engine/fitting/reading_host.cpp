#include "engine/fitting/reading_host.h"

#include <utility>

namespace tivenor {

void ReadingHost::CopyDisplayedPicture(Raster& into) {
  host_.CopyDisplayedPicture(picture_);
  reading_.Read(picture_, into);
}

void ReadingHost::ShowBitmap(const Raster& bitmap) {
  reading_.ProjectMarks(bitmap, picture_);
  host_.ShowBitmap(picture_);
}

void ReadingHost::TakeBitmap(Raster&& bitmap) {
  reading_.ProjectMarks(bitmap, picture_);
  host_.TakeBitmap(std::move(picture_));
}

}  // namespace tivenor
