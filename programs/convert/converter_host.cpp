#include "programs/convert/converter_host.h"

#include <unistd.h>

#include <algorithm>
#include <utility>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "engine/fitting/fitted_settings.h"
#include "engine/fitting/reading_copy.h"

namespace tivenor::cli {

ConverterHost::ConverterHost(const ScanSettings& settings, const GivenSettings& given, LogFile& log,
                             std::FILE* progress)
    : fromCommandLine_(settings),
      given_(given),
      settings_(settings),
      log_(log),
      progress_(progress),
      // On a terminal the note count is rewritten in place instead of scrolling by.
      progressInPlace_(isatty(fileno(progress)) != 0) {}

void ConverterHost::ShowMessageLine(const std::string& text) {
  if (progressInPlace_) {
    std::fprintf(progress_, "\r\033[K%s%s", linePrefix_.c_str(), text.c_str());
    progressOpen_ = true;
  } else if (text.rfind(kNoteCountPrefix, 0) == 0) {
    // In a log file one line per note says nothing: keep only the last count of a run.
    pendingCount_ = linePrefix_ + text;
    return;
  } else {
    FlushPendingCount();
    std::fprintf(progress_, "%s%s\n", linePrefix_.c_str(), text.c_str());
  }
  std::fflush(progress_);
}

void ConverterHost::FlushPendingCount() {
  if (!pendingCount_.empty()) std::fprintf(progress_, "%s\n", pendingCount_.c_str());
  pendingCount_.clear();
}

void ConverterHost::EndProgress() {
  if (progressOpen_) std::fputs("\r\033[K", progress_);
  progressOpen_ = false;
  FlushPendingCount();
}

// A data error is worth a log line, but a log that cannot be written must not cost the user
// the MIDI files: it is said once and the run goes on.
void ConverterHost::WriteLogLine(const std::string& text) {
  ++logLines_;
  if (deferLog_) {
    std::fflush(progress_);
    deferred_.push_back({std::ftell(progress_), text});
    return;
  }
  if (logUnwritable_) return;
  try {
    tivenor::WriteLogLine(log_, text);
  } catch (const RunError& error) {
    logUnwritable_ = true;
    EndProgress();
    std::fprintf(progress_, "tivenor-convert: cannot write the log %s; going on without it\n",
                 error.what());
    std::fflush(progress_);
  }
}

void ConverterHost::Replay(const std::string& progress,
                           const std::vector<DeferredLogLine>& logLines) {
  std::size_t printed = 0;
  for (const DeferredLogLine& line : logLines) {
    const auto at =
        std::min(static_cast<std::size_t>(std::max(line.progressOffset, 0L)), progress.size());
    std::fwrite(progress.data() + printed, 1, at - printed, progress_);
    printed = at;
    progressOpen_ = progressInPlace_;  // a warning about the log starts on a line of its own
    WriteLogLine(line.text);
  }
  std::fwrite(progress.data() + printed, 1, progress.size() - printed, progress_);
  std::fflush(progress_);
}

void ConverterHost::ReloadPicture(const std::string& fileName) {
  display_ = LoadReducedPicture(fileName, shownReduction_, std::move(display_)).picture;
}

int ConverterHost::LoadPicture(const std::string& fileName, bool wholePicture, bool fit) {
  int reduction = 1;
  if (fit && !wholePicture) {
    const PictureSize size = ReadPictureSize(fileName);
    reduction = LeastReadingScale(size.width, size.height);
  }
  ReducedPicture loaded = LoadReducedPicture(fileName, reduction, TakeDisplay());
  ShowPicture(std::move(loaded.picture));
  shownReduction_ = loaded.reduction;
  if (shownReduction_ > 1) {
    // A disc smaller than pictures of its size show, or none at all: read the picture whole.
    const FittedSettings fitted = FitSettings(display_, shownReduction_);
    if (!fitted.discFound || fitted.reading.scale < shownReduction_) {
      ShowPicture(tivenor::LoadPicture(fileName, TakeDisplay()));
      shownReduction_ = 1;
    }
  }
  return shownReduction_;
}

void ConverterHost::UseFittedSettings(const ScanSettings& fitted) {
  if (!given_.threshold) settings_.threshold = fitted.threshold;
  if (!given_.minimum) settings_.minimum = fitted.minimum;
  if (!given_.maximum) settings_.maximum = fitted.maximum;
}

void ConverterHost::CopyDisplayedPicture(Raster& into) {
  into = std::move(display_);
}

void ConverterHost::TakeBitmap(Raster&& bitmap) {
  display_ = std::move(bitmap);
}

void ConverterHost::DrawStartLine(PixelPoint from, PixelPoint to) {
  DrawLine(display_, from, to, kYellow);
}

void ConverterHost::ShowPicture(Raster picture) {
  display_ = std::move(picture);
  logLines_ = 0;
  settings_ = fromCommandLine_;
}

}  // namespace tivenor::cli
