#include "engine/making/choose_transpose.h"

#include "engine/making/key_pins.h"

namespace tivenor {

int ChooseTranspose(const std::vector<NoteOnset>& tune, const PlayableKeys& playable) {
  std::array<int, 128> keyCount{};
  for (const NoteOnset& note : tune) {
    if (note.key >= 0 && note.key < 128) ++keyCount[note.key];
  }
  const auto plays = [&](int key) { return key >= 0 && key < 128 && playable[key]; };
  int best = 0;
  int bestCount = -1;
  for (int size = 0; size <= kLargestAutomaticTranspose; ++size) {
    for (const int shift : {size, -size}) {
      int count = 0;
      for (int key = 0; key < 128; ++key) {
        if (keyCount[key] > 0 && plays(key + shift)) count += keyCount[key];
      }
      if (count > bestCount) {
        best = shift;
        bestCount = count;
      }
    }
  }
  return best;
}

int ChooseTranspose(const std::vector<NoteOnset>& tune, bool outerPin) {
  PlayableKeys playable{};
  for (int key = 0; key < 128; ++key) playable[key] = !PinsOfKey(key, outerPin).empty();
  return ChooseTranspose(tune, playable);
}

}  // namespace tivenor
