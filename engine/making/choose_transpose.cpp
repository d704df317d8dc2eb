#include "engine/making/choose_transpose.h"

#include <array>
#include <cstdlib>

#include "engine/making/key_pins.h"

namespace tivenor {

int ChooseTranspose(const std::vector<NoteOnset>& tune, bool outerPin) {
  std::array<int, 128> keyCount{};
  for (const NoteOnset& note : tune) {
    if (note.key >= 0 && note.key < 128) ++keyCount[note.key];
  }
  std::array<bool, 256> playable{};  // keys shifted by up to 36 either way, offset by 64
  for (int key = 0; key < 256; ++key) playable[key] = !PinsOfKey(key - 64, outerPin).empty();

  int best = 0;
  int bestCount = -1;
  for (int size = 0; size <= kLargestAutomaticTranspose; ++size) {
    for (const int shift : {size, -size}) {
      int count = 0;
      for (int key = 0; key < 128; ++key) {
        if (keyCount[key] > 0 && playable[key + shift + 64]) count += keyCount[key];
      }
      if (count > bestCount) {
        best = shift;
        bestCount = count;
      }
    }
  }
  return best;
}

}  // namespace tivenor
