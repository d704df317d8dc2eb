#pragma once
// The one in-memory host of the tests, the benchmarks and the fuzz target: settings are a plain
// value, messages and log lines are counted (and kept unless `keepTexts` is off), and the display
// is a raster whose storage is reused as a display's back buffer would be, so that benchmark
// figures show the engine and not the allocator.

#include <string>
#include <utility>
#include <vector>

#include "engine/base/host.h"
#include "engine/base/raster.h"
#include "engine/base/settings.h"

namespace tivenor::testing {

class MemoryHost : public Host {
 public:
  MemoryHost() = default;
  explicit MemoryHost(Raster shown) : picture(std::move(shown)), display(picture) {}

  ScanSettings settings;
  bool keepTexts = true;  // false: messages and log lines are only counted
  // false: ShowBitmap costs nothing and nothing marks the display, to time single steps on the
  // same picture every time
  bool keepShownBitmaps = true;

  Raster picture;  // what ReloadPicture loads
  Raster display;  // what the display shows
  std::vector<std::string> messages;
  std::vector<std::string> logLines;
  long messageCount = 0;
  long logLineCount = 0;
  int reloads = 0;
  int bitmapsShown = 0;
  int fittedSettingsUsed = 0;
  std::vector<std::pair<PixelPoint, PixelPoint>> startLines;
  int fillsRun = 0;  // every fill reads the minimum once

  int Threshold() override { return settings.threshold; }
  int MinimumHoleSize() override {
    ++fillsRun;
    return settings.minimum;
  }
  int MaximumHoleSize() override { return settings.maximum; }
  int HoleLengthExtrapolation() override { return settings.extrapolation; }
  void UseFittedSettings(const ScanSettings& fitted) override {
    ++fittedSettingsUsed;
    settings = fitted;
  }
  void ShowMessageLine(const std::string& text) override {
    ++messageCount;
    if (keepTexts) messages.push_back(text);
  }
  void WriteLogLine(const std::string& text) override {
    ++logLineCount;
    if (keepTexts) logLines.push_back(text);
  }
  void ReloadPicture(const std::string&) override {
    ++reloads;
    CopyInto(picture, display);
  }
  const Raster& ShownPicture() override { return display; }
  void CopyDisplayedPicture(Raster& into) override { CopyInto(display, into); }
  void ShowBitmap(const Raster& bitmap) override {
    ++bitmapsShown;
    if (keepShownBitmaps) CopyInto(bitmap, display);
  }
  void TakeBitmap(Raster&& bitmap) override {
    ++bitmapsShown;
    if (keepShownBitmaps) std::swap(display, bitmap);
    spare_ = std::move(bitmap);  // the storage no longer shown serves the next copy
  }
  void DrawStartLine(PixelPoint from, PixelPoint to) override {
    startLines.emplace_back(from, to);
    if (keepShownBitmaps) DrawLine(display, from, to, kYellow);
  }

 private:
  // Copies pixels into `into`, reusing its storage or the spare's.
  void CopyInto(const Raster& from, Raster& into) {
    if (into.pixels.capacity() < from.pixels.size()) std::swap(into, spare_);
    into.width = from.width;
    into.height = from.height;
    into.pixels.assign(from.pixels.begin(), from.pixels.end());
  }

  Raster spare_;
};

}  // namespace tivenor::testing
