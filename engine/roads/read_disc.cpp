#include "engine/roads/read_disc.h"

#include "engine/fitting/reading_copy.h"
#include "engine/fitting/reading_host.h"
#include "engine/midi/write_midi.h"
#include "engine/reading/hole_scan.h"
#include "engine/roads/read_slot_disc.h"

namespace tivenor {

namespace {

// Fits the settings to the picture as loaded, not to the marks of an earlier reading.
FittedSettings FitToShownPicture(ScanState& state, Host& host, int shownReduction) {
  if (!state.PictureClean) {
    host.ReloadPicture(state.SourceFileName);
    state.PictureClean = true;
  }
  FittedSettings fitted = FitSettings(host.ShownPicture(), shownReduction);
  if (fitted.discFound) {
    ScanSettings settings;
    settings.threshold = fitted.threshold;
    settings.minimum = fitted.minimum;
    settings.maximum = fitted.maximum;
    settings.extrapolation = host.HoleLengthExtrapolation();
    host.UseFittedSettings(settings);
  }
  return fitted;
}

// The built-in disc, read as it always was.
DiscReading ReadBuiltInDisc(ScanState& state, Host& host, const ReadingOptions& options) {
  DiscReading reading;
  if (options.fitSettings) reading.fitted = FitToShownPicture(state, host, options.shownReduction);
  const ReadingCopy copy(reading.fitted.discFound ? reading.fitted.reading : ReadingPlan{});
  reading.readScale = copy.Scale();
  ReadingHost readingHost(host, copy);
  Host& reader = copy.Active() ? static_cast<Host&>(readingHost) : host;

  const Raster& shown = host.ShownPicture();
  const int32_t readWidth = copy.CopySide(shown.width);
  const int32_t readHeight = copy.CopySide(shown.height);
  ScanDisc(state, reader);
  state.PictureClean = false;
  reading.notesFound = state.NoteCount;
  if (state.NoteCount == 0) {
    reading.noNotes = ExplainNoNotes(state, reader.Threshold(), reader.MinimumHoleSize(),
                                     reader.MaximumHoleSize());
    return reading;
  }
  MidiBuffer buffer;
  BuildMidi(state, reader, buffer);
  reading.midi.assign(buffer.bytes.begin(), buffer.bytes.begin() + buffer.MidiLength);
  for (int32_t j = 1; j <= state.NoteCount; ++j) {
    if (!state.NoteHasPin[j]) ++reading.notesLeftOut;
  }
  reading.findings = CheckPlausibility(state, readWidth, readHeight);
  return reading;
}

}  // namespace

DiscReading ReadDisc(ScanState& state, Host& host, const ReadingOptions& options) {
  if (IsBuiltIn(options.format) && options.candidates.empty())
    return ReadBuiltInDisc(state, host, options);
  SlotDiscReading slots = ReadSlotDisc(state, host, options);
  if (!slots.builtInChosen) return std::move(slots.reading);
  DiscReading reading = ReadBuiltInDisc(state, host, options);
  reading.formatChoice = std::move(slots.reading.formatChoice);
  return reading;
}

}  // namespace tivenor
