#pragma once
// One START as the window runs it, on a picture file, with the notes of the MIDI file it wrote.

#include <string>

#include "engine/reading/scan_state.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/memory_host.h"
#include "tests/support/midi_reader.h"

namespace tivenor::testing {

struct HoleSettings {
  int threshold = 100;
  int minimum = 10;
  int maximum = 75;
  int extrapolation = 3;
};

// Minimum and Maximum that bracket the slots of a disc drawn with these options.
HoleSettings HoleSettingsFor(const DiscOptions& options);

// The scan, then, if it found notes, the MIDI file beside the picture. True when a file was
// written.
bool RunStart(ScanState& state, MemoryHost& host);

struct StartOutcome {
  ScanState state;
  MemoryHost host;
  bool written = false;
  MidiFile midi;  // read back from the file when one was written
};

// Shows the picture as "Open file" would for `sourceFileName` and runs one START on it.
StartOutcome StartOnPicture(Raster picture, const std::string& sourceFileName,
                            const HoleSettings& settings);
// Loads the picture file as "Open file" does and runs one START on it.
StartOutcome StartOnPictureFile(const std::string& fileName, const HoleSettings& settings);

}  // namespace tivenor::testing
