#include "programs/making/make_disc_file.h"

#include <stdexcept>
#include <vector>

#include "adapters/midi_file/read_tune_notes.h"
#include "engine/making/tune_note.h"

namespace tivenor {

namespace {

[[noreturn]] void Fail(const std::string& file, const std::string& why) {
  throw std::runtime_error("\"" + file + "\": " + why);
}

}  // namespace

DiscLayout MakeDiscFile(const DiscFileRequest& request,
                        const std::function<void(const std::string&)>& step) {
  const auto tell = [&step](const std::string& text) {
    if (step) step(text);
  };
  tell("Reading " + request.midi);
  std::vector<NoteOnset> tune;
  try {
    tune = OnsetsOf(ReadTuneNotes(request.midi));
  } catch (const MidiReadError& error) {
    Fail(request.midi, error.what());
  }
  tell("Laying out " + std::to_string(tune.size()) + " notes");
  DiscLayout layout;
  try {
    layout = LayoutDisc(tune, request.options);
  } catch (const LayoutError& error) {
    Fail(request.midi, error.what());
  }
  tell("Writing " + request.output);
  try {
    WriteDiscFile(layout, request.output, request.kind, request.look, request.dpi);
  } catch (const DiscFileError& error) {
    Fail(request.output, error.what());
  }
  return layout;
}

}  // namespace tivenor
