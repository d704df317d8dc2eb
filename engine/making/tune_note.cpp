#include "engine/making/tune_note.h"

namespace tivenor {

std::vector<NoteOnset> OnsetsOf(const std::vector<TuneNote>& notes) {
  std::vector<NoteOnset> onsets;
  onsets.reserve(notes.size());
  for (const TuneNote& note : notes) {
    onsets.push_back({note.seconds, note.key, note.channel, note.lengthSeconds});
  }
  return onsets;
}

}  // namespace tivenor
