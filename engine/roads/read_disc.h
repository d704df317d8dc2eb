#pragma once
// The road from the picture a host shows to MIDI bytes: settings fitted to the picture when asked,
// the scan (through a reading copy where the fit asks for one), the transcription and the bytes.
// The window, the converter, the tests, the benchmarks and the fuzz target all read through it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/base/host.h"
#include "engine/disc/disc_format.h"
#include "engine/fitting/fitted_settings.h"
#include "engine/fitting/plausibility.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/reading/scan_state.h"
#include "engine/slots/format_choice.h"
#include "engine/slots/format_fit.h"

namespace tivenor {

struct ReadingOptions {
  bool fitSettings = false;  // fit the settings to the picture and read it as the fit says
  DiscFormat format = BuiltInDiscFormat();           // the built-in disc is read as it always was
  std::optional<double> turnSeconds = std::nullopt;  // instead of the format's turn time
  bool mirrored = false;                             // the picture shows the disc's back
  // The shown picture was decoded at 1/shownReduction of its file's resolution (only to have its
  // settings fitted, which are then in the file's pixels).
  int shownReduction = 1;
  // `--format auto`: read with whichever of these fits the slots best; `format` is then unused.
  std::vector<DiscFormat> candidates = {};
  // With `format` given: the other formats known, which name the closest when the slots do not
  // fit `format`. Without them a reading is measured against `format` alone.
  std::vector<DiscFormat> knownFormats = {};
  // Mark the slots on the shown picture. Nobody sees a converter's picture without --marked,
  // and a photograph's marks cost a pass over the disc; the built-in disc is marked always.
  bool markSlots = true;
};

// The format `--format auto` chose and how well each candidate fitted, best first.
struct FormatChoice {
  DiscFormat format;
  std::vector<FormatScore> scores;
};

struct DiscReading {
  int notesFound = 0;
  int notesLeftOut = 0;  // notes whose radius gave no pin, or patches kept out
  int offTrack = 0;      // light patches that fit no track or slot size of the format: not keyed
  std::optional<NoNotesReason> noNotes;      // set when no hole was accepted: nothing transcribed
  std::vector<uint8_t> midi;                 // the whole file, when there are notes
  std::optional<FormatChoice> formatChoice;  // when the format was chosen among candidates
  std::optional<StartRule> startRule;        // what found the start, for formats but the built-in
  FittedSettings fitted;                     // what the fit saw; discFound false without a fit
  int readScale = 1;              // the picture was read at 1/readScale of its resolution
  std::vector<Finding> findings;  // signs that the reading is wrong although it gave notes
  // Set when the slots do not fit the format read with: no MIDI bytes.
  std::optional<FormatMisfit> misfit;
};

// Reads the picture shown by `host` for `state`, whose SourceFileName and PictureLoaded are set.
// Throws RunError when the picture holds no disc or a run-time check fails.
DiscReading ReadDisc(ScanState& state, Host& host, const ReadingOptions& options);

}  // namespace tivenor
