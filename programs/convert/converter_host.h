#pragma once
// The converter's host: settings from the command line, the message line as progress on stderr,
// the log file, and an in-memory display.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/host.h"
#include "engine/base/settings.h"
#include "engine/files/log_file.h"
#include "programs/convert/converter_settings.h"

namespace tivenor::cli {

class ConverterHost : public Host {
 public:
  // `given` says which settings the command line fixed: fitted ones never replace those.
  ConverterHost(const ScanSettings& settings, const GivenSettings& given, LogFile& log,
                std::FILE* progress);

  int Threshold() override { return settings_.threshold; }
  int MinimumHoleSize() override { return settings_.minimum; }
  int MaximumHoleSize() override { return settings_.maximum; }
  int HoleLengthExtrapolation() override { return settings_.extrapolation; }
  void UseFittedSettings(const ScanSettings& fitted) override;
  void ShowMessageLine(const std::string& text) override;
  void WriteLogLine(const std::string& text) override;
  void ReloadPicture(const std::string& fileName) override;
  const Raster& ShownPicture() override { return display_; }
  // Nobody looks at the converter's display during a scan, so the engine may have the picture
  // itself instead of a copy, and only the final marked bitmap is kept.
  void CopyDisplayedPicture(Raster& into) override;
  void ShowBitmap(const Raster&) override {}
  void TakeBitmap(Raster&& bitmap) override;
  void DrawStartLine(PixelPoint from, PixelPoint to) override;

  const ScanSettings& SettingsUsed() const { return settings_; }

  // Loads and shows a picture. When its settings are to be fitted it is decoded at the lower
  // resolution the reading will most likely take, where the file's type allows, unless the whole
  // picture is wanted (for a marked picture as the file holds it); read whole after all when a
  // first fit finds that too coarse or finds no disc. Returns the reduction shown.
  int LoadPicture(const std::string& fileName, bool wholePicture, bool fit);
  // Shows a freshly loaded picture; resets the per-picture counters and the settings.
  void ShowPicture(Raster picture);
  const Raster& Display() const { return display_; }
  // Empties the display, handing over its storage for the next picture of a batch.
  Raster TakeDisplay() { return std::exchange(display_, Raster{}); }
  // Hands the display storage to reuse for the next picture.
  void GiveDisplay(Raster storage) { display_ = std::move(storage); }
  int LogLinesWritten() const { return logLines_; }
  // Ends the progress of one picture.
  void EndProgress();
  // Text put in front of every progress line, such as "[12/300] waltz.bmp: " in a batch.
  void SetLinePrefix(std::string prefix) { linePrefix_ = std::move(prefix); }

  // A host reading one picture of a batch on its own thread keeps its progress and log lines
  // until their turn comes: `progress` is then a buffer, and the log lines wait with the place
  // in it where they were written. Replay hands both to the host that prints.
  struct DeferredLogLine {
    long progressOffset;
    std::string text;
  };
  void DeferLogLines(bool inPlace) {
    deferLog_ = true;
    progressInPlace_ = inPlace;
  }
  std::vector<DeferredLogLine> TakeDeferredLogLines() { return std::exchange(deferred_, {}); }
  // Prints `progress` (what a deferred host wrote) with `logLines` written at their places.
  void Replay(const std::string& progress, const std::vector<DeferredLogLine>& logLines);

 private:
  static constexpr const char* kNoteCountPrefix = "# Music Notes = ";
  void FlushPendingCount();

  ScanSettings fromCommandLine_;
  GivenSettings given_;
  ScanSettings settings_;  // for the picture shown
  LogFile& log_;
  std::FILE* progress_;
  bool progressInPlace_;
  bool progressOpen_ = false;
  std::string pendingCount_;
  std::string linePrefix_;
  bool logUnwritable_ = false;  // said once; the run goes on without a log
  bool deferLog_ = false;
  int shownReduction_ = 1;  // the picture shown was decoded at 1/this of its file's resolution
  std::vector<DeferredLogLine> deferred_;
  Raster display_;
  int logLines_ = 0;
};

}  // namespace tivenor::cli
