#include "bench/bench_host.h"

#include <algorithm>
#include <utility>

namespace tivenor::bench {
namespace {

// Copies pixels into storage that is already there, as a display's back buffer would.
void CopyInto(const Raster& from, Raster& into) {
  into.width = from.width;
  into.height = from.height;
  into.pixels.resize(from.pixels.size());
  std::copy(from.pixels.begin(), from.pixels.end(), into.pixels.begin());
}

}  // namespace

void BenchHost::ReloadPicture(const std::string&) {
  CopyInto(picture, display);
}
void BenchHost::CopyDisplayedPicture(Raster& into) {
  CopyInto(display, into);
}
void BenchHost::ShowBitmap(const Raster& bitmap) {
  if (keepShownBitmaps) CopyInto(bitmap, display);
}
void BenchHost::TakeBitmap(Raster&& bitmap) {
  if (keepShownBitmaps) display = std::move(bitmap);
}
void BenchHost::DrawStartLine(PixelPoint from, PixelPoint to) {
  DrawLine(display, from, to, kYellow);
}

}  // namespace tivenor::bench
