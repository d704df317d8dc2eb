#pragma once
// A host for fuzzing: fixed settings, messages and log lines counted and dropped, the display a
// raster in memory.

#include <string>
#include <utility>

#include "engine/base/host.h"
#include "engine/base/raster.h"

namespace tivenor::fuzz {

class QuietHost : public Host {
 public:
  explicit QuietHost(const Raster& picture) : picture_(picture), display_(picture) {}

  int Threshold() override { return 100; }
  int MinimumHoleSize() override { return 10; }
  int MaximumHoleSize() override { return 75; }
  int HoleLengthExtrapolation() override { return 3; }
  void ShowMessageLine(const std::string&) override { ++messages; }
  void WriteLogLine(const std::string&) override { ++logLines; }
  void ReloadPicture(const std::string&) override { display_ = picture_; }
  void CopyDisplayedPicture(Raster& into) override { into = display_; }
  void ShowBitmap(const Raster& bitmap) override { display_ = bitmap; }
  void TakeBitmap(Raster&& bitmap) override { display_ = std::move(bitmap); }
  void DrawStartLine(PixelPoint from, PixelPoint to) override {
    DrawLine(display_, from, to, kYellow);
  }

  long messages = 0;
  long logLines = 0;

 private:
  const Raster& picture_;
  Raster display_;
};

}  // namespace tivenor::fuzz
