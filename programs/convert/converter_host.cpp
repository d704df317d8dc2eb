#include "programs/convert/converter_host.h"

#include <unistd.h>

#include <utility>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "programs/convert/fit_option.h"

namespace tivenor::cli {

ConverterHost::ConverterHost(const ConverterSettings& settings, LogFile& log, std::FILE* progress)
    : given_(settings),
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

void ConverterHost::ReloadPicture(const std::string& fileName) {
  display_ =
      LoadReducedPicture(fileName, reading_.Plan().pictureReduction, std::move(display_)).picture;
}

void ConverterHost::LoadPicture(const std::string& fileName, bool wholePicture) {
  int reduction = 1;
  if (fitRequest_.fit && !wholePicture) {
    const PictureSize size = ReadPictureSize(fileName);
    reduction = LeastReadingScale(size.width, size.height);
  }
  ReducedPicture loaded = LoadReducedPicture(fileName, reduction, TakeDisplay());
  ShowPicture(std::move(loaded.picture), loaded.reduction);
  // A disc smaller than pictures of its size show, or none at all: read the picture whole.
  if (loaded.reduction > 1 && (!fitted_.discFound || fitted_.reading.scale < loaded.reduction))
    ShowPicture(tivenor::LoadPicture(fileName, TakeDisplay()));
}

void ConverterHost::CopyDisplayedPicture(Raster& into) {
  if (reading_.Active()) {
    reading_.Read(display_, into);
  } else {
    into = std::move(display_);
  }
}

void ConverterHost::TakeBitmap(Raster&& bitmap) {
  if (reading_.Active()) {
    reading_.ProjectMarks(bitmap, display_);
  } else {
    display_ = std::move(bitmap);
  }
}

void ConverterHost::DrawStartLine(PixelPoint from, PixelPoint to) {
  DrawLine(display_, reading_.ToPicture(from), reading_.ToPicture(to), kYellow);
}

void ConverterHost::ShowPicture(Raster picture, int reduction) {
  display_ = std::move(picture);
  logLines_ = 0;
  fitted_ = fitRequest_.fit ? FitSettings(display_, reduction) : FittedSettings{};
  settings_ = SettingsFor(given_, fitRequest_, fitted_);
  reading_ = ReadingCopy(fitted_.reading);
}

}  // namespace tivenor::cli
