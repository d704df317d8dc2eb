#pragma once
// The road from the picture a host shows to MIDI bytes: settings fitted to the picture when asked,
// the scan (through a reading copy where the fit asks for one), the transcription and the bytes.
// The window, the converter, the tests, the benchmarks and the fuzz target all read through it.

#include <optional>
#include <vector>

#include "engine/base/host.h"
#include "engine/disc/disc_format.h"
#include "engine/fitting/fitted_settings.h"
#include "engine/fitting/plausibility.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/no_notes_reason.h"
#include "engine/reading/scan_state.h"

namespace tivenor {

struct ReadingOptions {
  bool fitSettings = false;  // fit the settings to the picture and read it as the fit says
  DiscFormat format = BuiltInDiscFormat();  // the built-in disc is read as it always was
  // The formats to choose from when the user leaves the choice to the reader: the one whose
  // track grid best fits the slots found is read. A reader that does not choose reads `format`.
  std::vector<DiscFormat> candidates{};
  std::optional<double> turnSeconds{};  // seconds a turn instead of the format's turnSeconds
  bool mirrored = false;                // the picture shows the disc's back, not its face
};

struct DiscReading {
  int notesFound = 0;
  int notesLeftOut = 0;                  // notes whose radius gave no pin
  std::optional<NoNotesReason> noNotes;  // set when no hole was accepted: nothing transcribed
  MidiBuffer midi;                       // the whole file, when there are notes
  FittedSettings fitted;                 // what the fit saw; discFound false without a fit
  int readScale = 1;                     // the picture was read at 1/readScale of its resolution
  std::vector<Finding> findings;         // signs that the reading is wrong although it gave notes
};

// Reads the picture shown by `host` for `state`, whose SourceFileName and PictureLoaded are set.
// Throws RunError when the picture holds no disc or a run-time check fails.
DiscReading ReadDisc(ScanState& state, Host& host, const ReadingOptions& options);

}  // namespace tivenor
