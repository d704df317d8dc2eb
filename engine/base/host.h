#pragma once
// Everything the engine needs from the outside world: the four settings, the message line, the
// log and the picture display. The window, the converter and the tests each implement it.

#include <string>

#include "engine/base/raster.h"
#include "engine/base/settings.h"

namespace tivenor {

class Host {
 public:
  virtual ~Host() = default;

  // The settings, read afresh at the moment a step needs them.
  virtual int Threshold() = 0;        // ranges: engine/base/settings.h
  virtual int MinimumHoleSize() = 0;  // pixels
  virtual int MaximumHoleSize() = 0;  // pixels
  virtual int HoleLengthExtrapolation() = 0;
  // Settings fitted to the picture shown: from now on the four calls above return them, except
  // where the host's user has fixed a setting himself. The window also shows them.
  virtual void UseFittedSettings(const ScanSettings& fitted) = 0;

  // Progress for the user; replaces the previous message.
  virtual void ShowMessageLine(const std::string& text) = 0;
  // A data error worth keeping; one line of the log.
  virtual void WriteLogLine(const std::string& text) = 0;

  // Loads the picture again from its file into the display, dropping any marks.
  virtual void ReloadPicture(const std::string& fileName) = 0;
  // The displayed picture, for steps that only look at it (fitting the settings).
  virtual const Raster& ShownPicture() = 0;
  // Copies the displayed picture into `into`, reusing its storage.
  virtual void CopyDisplayedPicture(Raster& into) = 0;
  // The display keeps its own copy of `bitmap` and repaints at once.
  virtual void ShowBitmap(const Raster& bitmap) = 0;
  // The same for a bitmap the engine no longer needs: a host may take its storage instead of
  // copying it.
  virtual void TakeBitmap(Raster&& bitmap) { ShowBitmap(bitmap); }
  // Draws the yellow start line on the displayed picture and repaints at once.
  virtual void DrawStartLine(PixelPoint from, PixelPoint to) = 0;
};

}  // namespace tivenor
