#pragma once
// The converter's host: settings from the command line, the message line as progress on stderr,
// the log file, and an in-memory display.

#include <cstdio>
#include <string>
#include <utility>

#include "engine/base/host.h"
#include "engine/files/log_file.h"
#include "engine/fitting/fitted_settings.h"
#include "engine/fitting/reading_copy.h"
#include "programs/convert/converter_settings.h"

namespace tivenor::cli {

class ConverterHost : public Host {
 public:
  ConverterHost(const ConverterSettings& settings, LogFile& log, std::FILE* progress);

  int Threshold() override { return settings_.threshold; }
  int MinimumHoleSize() override { return settings_.minimum; }
  int MaximumHoleSize() override { return settings_.maximum; }
  int HoleLengthExtrapolation() override { return settings_.extrapolation; }
  void ShowMessageLine(const std::string& text) override;
  void WriteLogLine(const std::string& text) override;
  void ReloadPicture(const std::string& fileName) override;
  // Nobody looks at the converter's display during a scan, so the engine may have the picture
  // itself instead of a copy, and only the final marked bitmap is kept.
  void CopyDisplayedPicture(Raster& into) override;
  void ShowBitmap(const Raster&) override {}
  void TakeBitmap(Raster&& bitmap) override;
  void DrawStartLine(PixelPoint from, PixelPoint to) override;

  // With --auto, every picture shown gets settings fitted to it and is read as the fit says.
  void SetFitRequest(const FitRequest& request) { fitRequest_ = request; }
  const FitRequest& Fitting() const { return fitRequest_; }
  const FittedSettings& Fitted() const { return fitted_; }
  const ConverterSettings& SettingsUsed() const { return settings_; }
  // The size of the picture as the engine read it: the reading copy's when there is one.
  int32_t ReadWidth() const { return reading_.CopySide(display_.width); }
  int32_t ReadHeight() const { return reading_.CopySide(display_.height); }

  // Loads and shows a picture. With --auto it is decoded at the lower resolution the reading
  // will most likely take, where the file's type allows, unless the whole picture is wanted
  // (for a marked picture as the file holds it); read whole after all when the fit finds that
  // too coarse or finds no disc.
  void LoadPicture(const std::string& fileName, bool wholePicture);
  // Shows a freshly loaded picture, decoded at 1/reduction of its file's resolution (only with
  // --auto: the settings given are for the file's pixels); resets the per-picture counters and,
  // with --auto, fits the settings to it.
  void ShowPicture(Raster picture, int reduction = 1);
  const Raster& Display() const { return display_; }
  // Empties the display, handing over its storage for the next picture of a batch.
  Raster TakeDisplay() { return std::exchange(display_, Raster{}); }
  int LogLinesWritten() const { return logLines_; }
  // Ends the progress of one picture.
  void EndProgress();
  // Text put in front of every progress line, such as "[12/300] waltz.bmp: " in a batch.
  void SetLinePrefix(std::string prefix) { linePrefix_ = std::move(prefix); }

 private:
  static constexpr const char* kNoteCountPrefix = "# Music Notes = ";
  void FlushPendingCount();

  ConverterSettings given_;     // from the command line
  ConverterSettings settings_;  // for the picture shown
  FitRequest fitRequest_;
  FittedSettings fitted_;
  ReadingCopy reading_;
  LogFile& log_;
  std::FILE* progress_;
  bool progressInPlace_;
  bool progressOpen_ = false;
  std::string pendingCount_;
  std::string linePrefix_;
  bool logUnwritable_ = false;  // said once; the run goes on without a log
  Raster display_;
  int logLines_ = 0;
};

}  // namespace tivenor::cli
