#include "bench/bench_host.h"

#include <utility>

namespace tivenor::bench {
namespace {

// Copies pixels into `into`, reusing its storage (or the spare's) as a display's back buffer
// would, so that the figures show the copy and not the allocator.
void CopyInto(const Raster& from, Raster& into, Raster& spare) {
  if (into.pixels.capacity() < from.pixels.size()) std::swap(into, spare);
  into.width = from.width;
  into.height = from.height;
  into.pixels.assign(from.pixels.begin(), from.pixels.end());
}

}  // namespace

void BenchHost::ReloadPicture(const std::string&) {
  CopyInto(picture, display, spare_);
}
void BenchHost::CopyDisplayedPicture(Raster& into) {
  CopyInto(display, into, spare_);
}
void BenchHost::ShowBitmap(const Raster& bitmap) {
  if (keepShownBitmaps) CopyInto(bitmap, display, spare_);
}
void BenchHost::TakeBitmap(Raster&& bitmap) {
  if (keepShownBitmaps) std::swap(display, bitmap);
  spare_ = std::move(bitmap);  // the storage no longer shown serves the next copy
}
void BenchHost::DrawStartLine(PixelPoint from, PixelPoint to) {
  DrawLine(display, from, to, kYellow);
}

}  // namespace tivenor::bench
