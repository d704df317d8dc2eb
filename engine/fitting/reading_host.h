#pragma once
// A host that lets the engine read the reading copy of the picture its host shows, and draws
// the engine's marks back on that picture. Everything else goes to the host as it is.

#include "engine/base/host.h"
#include "engine/fitting/reading_copy.h"

namespace tivenor {

class ReadingHost : public Host {
 public:
  // `host` must outlive this object.
  ReadingHost(Host& host, const ReadingCopy& reading) : host_(host), reading_(reading) {}

  // False when the picture is read as it is: the host may then be used directly.
  bool Active() const { return reading_.Active(); }

  int Threshold() override { return host_.Threshold(); }
  int MinimumHoleSize() override { return host_.MinimumHoleSize(); }
  int MaximumHoleSize() override { return host_.MaximumHoleSize(); }
  int HoleLengthExtrapolation() override { return host_.HoleLengthExtrapolation(); }
  void UseFittedSettings(const ScanSettings& fitted) override { host_.UseFittedSettings(fitted); }
  void ShowMessageLine(const std::string& text) override { host_.ShowMessageLine(text); }
  void WriteLogLine(const std::string& text) override { host_.WriteLogLine(text); }
  void ReloadPicture(const std::string& fileName) override { host_.ReloadPicture(fileName); }

  // The picture as the host shows it, not the copy.
  const Raster& ShownPicture() override { return host_.ShownPicture(); }
  void CopyDisplayedPicture(Raster& into) override;
  void ShowBitmap(const Raster& bitmap) override;
  // The marked picture goes back to the host without a copy.
  void TakeBitmap(Raster&& bitmap) override;
  void DrawStartLine(PixelPoint from, PixelPoint to) override {
    host_.DrawStartLine(reading_.ToPicture(from), reading_.ToPicture(to));
  }

 private:
  Host& host_;
  ReadingCopy reading_;
  Raster picture_;  // the host's picture, marks drawn on it as the engine makes them
};

}  // namespace tivenor
