#pragma once
// A host that keeps everything in memory: settings are plain fields, messages and log lines are
// recorded, and the display is a raster.

#include <string>
#include <utility>
#include <vector>

#include "engine/base/host.h"
#include "engine/base/raster.h"

namespace tivenor::testing {

class FakeHost : public Host {
 public:
  FakeHost() = default;
  explicit FakeHost(Raster picture) : picture(std::move(picture)), display(this->picture) {}

  int threshold = 100;
  int minimum = 10;
  int maximum = 75;
  int extrapolation = 3;

  Raster picture;  // what ReloadPicture loads
  Raster display;  // what the display shows
  std::vector<std::string> messages;
  std::vector<std::string> logLines;
  int reloads = 0;
  int bitmapsShown = 0;
  std::vector<std::pair<PixelPoint, PixelPoint>> startLines;

  int fillsRun = 0;  // every fill reads the minimum once

  int Threshold() override { return threshold; }
  int MinimumHoleSize() override {
    ++fillsRun;
    return minimum;
  }
  int MaximumHoleSize() override { return maximum; }
  int HoleLengthExtrapolation() override { return extrapolation; }
  void ShowMessageLine(const std::string& text) override { messages.push_back(text); }
  void WriteLogLine(const std::string& text) override { logLines.push_back(text); }
  void ReloadPicture(const std::string&) override {
    ++reloads;
    display = picture;
  }
  void CopyDisplayedPicture(Raster& into) override { into = display; }
  void ShowBitmap(const Raster& bitmap) override {
    ++bitmapsShown;
    display = bitmap;
  }
  void DrawStartLine(PixelPoint from, PixelPoint to) override {
    startLines.emplace_back(from, to);
    DrawLine(display, from, to, kYellow);
  }
};

}  // namespace tivenor::testing
