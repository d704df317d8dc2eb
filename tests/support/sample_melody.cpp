#include "tests/support/sample_melody.h"

#include <array>

namespace tivenor::testing {
namespace {

// Scale degrees of E major from E6, by beat; 0 holds the previous note.
constexpr std::array<int, 8> kPhraseA = {1, 1, 5, 5, 6, 6, 5, 0};
constexpr std::array<int, 8> kPhraseB = {4, 4, 3, 3, 2, 2, 1, 0};
constexpr std::array<int, 8> kPhraseC = {5, 5, 4, 4, 3, 3, 2, 0};
constexpr std::array<int, 7> kDegreeKeys = {0, 88, 90, 92, 93, 95, 97};

// Chords on the even beats of each phrase: 1 = E (E3 E4), 4 = A (C#5 A5), 5 = B (B3 B4), 0 none.
constexpr std::array<int, 4> kChordsA = {1, 0, 4, 1};
constexpr std::array<int, 4> kChordsB = {4, 1, 5, 1};
constexpr std::array<int, 4> kChordsC = {1, 4, 1, 5};

std::vector<int> ChordKeys(int chord) {
  switch (chord) {
    case 1:
      return {52, 64};
    case 4:
      return {73, 81};
    case 5:
      return {59, 71};
    default:
      return {};
  }
}

void AddPhrase(std::vector<DiscNote>& notes, int firstBeat, const std::array<int, 8>& melody,
               const std::array<int, 4>& chords) {
  for (int beat = 0; beat < 8; ++beat) {
    const int tick = kSampleFirstTick + (firstBeat + beat) * kSampleBeatTicks;
    const int degree = melody[static_cast<std::size_t>(beat)];
    if (degree != 0)
      notes.push_back(NoteOfKey(kDegreeKeys[static_cast<std::size_t>(degree)], tick));
    if (beat % 2 == 0) {
      for (int key : ChordKeys(chords[static_cast<std::size_t>(beat / 2)])) {
        notes.push_back(NoteOfKey(key, tick));
      }
    }
  }
}

}  // namespace

std::vector<DiscNote> SampleMelody() {
  std::vector<DiscNote> notes;
  AddPhrase(notes, 0, kPhraseA, kChordsA);
  AddPhrase(notes, 8, kPhraseB, kChordsB);
  AddPhrase(notes, 16, kPhraseC, kChordsC);
  AddPhrase(notes, 24, kPhraseC, kChordsC);
  AddPhrase(notes, 32, kPhraseA, kChordsA);
  AddPhrase(notes, 40, kPhraseB, kChordsB);
  return notes;
}

DiscOptions SampleDiscOptions() {
  DiscOptions options;
  options.dpi = 150.0;
  options.supersampling = 3;
  options.noise = 5;
  options.noiseSeed = 1762;
  options.rotationSectors = 6;
  return options;
}

}  // namespace tivenor::testing
