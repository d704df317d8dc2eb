#pragma once
// A host that costs what a display costs and nothing more: it keeps the picture it shows and
// copies it on request, and drops messages and log lines.

#include "engine/base/host.h"
#include "engine/base/raster.h"

namespace tivenor::bench {

class BenchHost : public Host {
 public:
  int threshold = 100;
  int minimum = 10;
  int maximum = 75;
  int extrapolation = 3;
  bool keepShownBitmaps = true;  // false: ShowBitmap costs nothing, to time single steps

  Raster picture;  // what ReloadPicture loads
  Raster display;  // what the display shows

  int Threshold() override { return threshold; }
  int MinimumHoleSize() override { return minimum; }
  int MaximumHoleSize() override { return maximum; }
  int HoleLengthExtrapolation() override { return extrapolation; }
  void ShowMessageLine(const std::string&) override {}
  void WriteLogLine(const std::string&) override {}
  void ReloadPicture(const std::string&) override;
  void CopyDisplayedPicture(Raster& into) override;
  void ShowBitmap(const Raster& bitmap) override;
  void TakeBitmap(Raster&& bitmap) override;
  void DrawStartLine(PixelPoint from, PixelPoint to) override;

 private:
  Raster spare_;
};

}  // namespace tivenor::bench
