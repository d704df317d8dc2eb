#include "tests/e2e/start_run.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "adapters/picture/picture_file.h"
#include "engine/midi/midi_buffer.h"
#include "engine/roads/read_disc.h"

namespace tivenor::testing {

HoleSettings HoleSettingsFor(const DiscOptions& options) {
  const double area = HoleAreaPixels(options);
  HoleSettings settings;
  // Anti-aliased edges and the slots of the outermost pin, cut by the ring, change the count.
  settings.minimum = std::max(2, static_cast<int>(area * 0.25));
  settings.maximum = std::min(900, static_cast<int>(std::ceil(area * 1.5)));
  return settings;
}

bool RunStart(ScanState& state, MemoryHost& host) {
  const DiscReading reading = ReadDisc(state, host, {});
  if (reading.noNotes) return false;
  SaveMidiFile(state, reading.midi);
  return true;
}

StartOutcome StartOnPicture(Raster picture, const std::string& sourceFileName,
                            const HoleSettings& settings) {
  StartOutcome outcome;
  outcome.host.picture = std::move(picture);
  outcome.host.display = outcome.host.picture;
  outcome.host.settings.threshold = settings.threshold;
  outcome.host.settings.minimum = settings.minimum;
  outcome.host.settings.maximum = settings.maximum;
  outcome.host.settings.extrapolation = settings.extrapolation;
  outcome.state.SourceFileName = sourceFileName;
  outcome.state.PictureLoaded = true;
  outcome.state.PictureClean = true;
  outcome.written = RunStart(outcome.state, outcome.host);
  if (outcome.written) outcome.midi = ReadMidiFile(outcome.state.MidiFileName);
  return outcome;
}

StartOutcome StartOnPictureFile(const std::string& fileName, const HoleSettings& settings) {
  return StartOnPicture(LoadPicture(fileName), fileName, settings);
}

}  // namespace tivenor::testing
