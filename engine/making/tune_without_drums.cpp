#include "engine/making/tune_without_drums.h"

#include <algorithm>

#include "engine/making/layout_error.h"

namespace tivenor {

std::vector<NoteOnset> TuneWithoutDrums(const std::vector<NoteOnset>& source, int& drumNotes) {
  std::vector<NoteOnset> tune;
  tune.reserve(source.size());
  for (const NoteOnset& note : source) {
    if (note.channel == kDrumChannel) {
      ++drumNotes;
    } else {
      tune.push_back(note);
    }
  }
  if (tune.empty()) {
    throw LayoutError(drumNotes > 0 ? "the tune has only drum notes (channel 10)"
                                    : "the tune has no notes");
  }
  std::stable_sort(tune.begin(), tune.end(), [](const NoteOnset& a, const NoteOnset& b) {
    return a.seconds != b.seconds ? a.seconds < b.seconds : a.key < b.key;
  });
  return tune;
}

}  // namespace tivenor
