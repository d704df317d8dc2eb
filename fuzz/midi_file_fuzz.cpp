// Arbitrary bytes through the disc maker's MIDI file reader: the file checks, portsmf's parser and
// the notes and tempo map built from its events. A damaged file may only end in a MidiReadError
// of one line; a crash, any other exception, a sanitizer report, a hang or a note that no MIDI
// file can hold is a finding.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "adapters/midi_file/read_tune_notes.h"
#include "fuzz/fuzz_input_file.h"

namespace {

// What every note read must satisfy, whatever the file.
void CheckNote(const tivenor::TuneNote& note) {
  const bool sound = std::isfinite(note.seconds) && note.seconds >= 0.0 &&
                     std::isfinite(note.lengthSeconds) && note.lengthSeconds >= 0.0 &&
                     note.key >= 0 && note.key <= 127 && note.velocity >= 1 &&
                     note.velocity <= 127 && note.channel >= 0 && note.channel <= 15;
  if (!sound) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const tivenor::fuzz::FuzzInputFile file(".mid");
  if (!file.Write(data, size)) std::abort();
  try {
    for (const tivenor::TuneNote& note : tivenor::ReadTuneNotes(file.name())) CheckNote(note);
  } catch (const tivenor::MidiReadError& error) {
    // The one kind of failure a damaged file may cause, told in one line.
    const std::string text = error.what();
    if (text.empty() || text.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
