#include "tests/e2e/melodies.h"

namespace tivenor::testing {

Melody ScaleWithChords() {
  Melody melody{"ScaleWithChords", {}};
  const int scale[] = {76, 78, 81, 83, 85, 87, 88, 90, 92, 93, 95, 97, 99};
  int tick = 300;
  for (int key : scale) {
    melody.notes.push_back(NoteOfKey(key, tick));
    tick += 200;
  }
  // Chords of three and four keys, every key of a chord at the same tick.
  const std::vector<std::vector<int>> chords = {{52, 64, 71}, {59, 66, 75, 78}, {64, 68, 73, 88}};
  tick = 400;
  for (const auto& chord : chords) {
    for (int key : chord) melody.notes.push_back(NoteOfKey(key, tick));
    tick += 800;
  }
  return melody;
}

Melody RepeatedKeys() {
  Melody melody{"RepeatedKeys", {}};
  for (int tick : {300, 420, 540, 660}) melody.notes.push_back({15, tick});  // key 88
  melody.notes.push_back({15, 900});  // key 88 on both of its pins at one tick
  melody.notes.push_back({16, 900});
  for (int i = 0; i < 4; ++i) melody.notes.push_back({5 + i % 2, 1200 + 100 * i});  // key 71
  for (int tick : {1700, 1820, 1940}) melody.notes.push_back({0, tick});            // key 52
  melody.notes.push_back({20, 2500});  // key 92 on pins 20 and 19
  melody.notes.push_back({19, 2600});
  melody.notes.push_back({28, 3300});  // key 99, first struck late
  return melody;
}

Melody AcrossTheRevolution() {
  Melody melody{"AcrossTheRevolution", {}};
  const int pins[] = {0, 28, 3, 25, 7, 21, 11, 17, 14};
  int i = 0;
  for (int tick = 230; tick <= 3500; tick += 90, ++i) {
    melody.notes.push_back({pins[i % 9], tick});
  }
  melody.notes.push_back({20, 3510});  // the sector just before the start gap
  return melody;
}

Melody EveryPin() {
  Melody melody{"EveryPin", {}};
  for (int pin = 0; pin <= 28; ++pin) melody.notes.push_back({pin, 250 + pin * 110});
  return melody;
}

Melody ManyNotes(int count) {
  Melody melody{"ManyNotes", {}};
  for (int i = 0; i < count; ++i) {
    const int pin = i % 29;
    const int round = i / 29;
    melody.notes.push_back({pin, 240 + round * 300 + pin * 9});
  }
  return melody;
}

}  // namespace tivenor::testing
