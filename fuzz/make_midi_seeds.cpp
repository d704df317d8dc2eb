// tivenor-fuzz-midi-seeds FOLDER: writes the MIDI reader's seed corpus: the maker's test tunes
// in format 0 (with and without running status) and format 1, and small files with what real
// files hold besides notes: meta and system-exclusive events, controllers, time in frames, a
// chunk of another kind, notes never released and a key struck again while it sounds.

#include <cstdio>
#include <string>
#include <vector>

#include "tests/punch/punch_songs.h"
#include "tests/support/midi_writer.h"

namespace {

using tivenor::testing::MidiFile;
using tivenor::testing::PunchSong;

std::vector<std::pair<std::string, std::vector<uint8_t>>> Seeds() {
  std::vector<std::pair<std::string, std::vector<uint8_t>>> seeds;
  for (const PunchSong& tune : tivenor::testing::RoundTripSongs()) {
    seeds.emplace_back(tune.name + "-0.mid", tivenor::testing::SongFormat0(tune.song, true));
    seeds.emplace_back(tune.name + "-0-plain.mid", tivenor::testing::SongFormat0(tune.song));
    seeds.emplace_back(tune.name + "-1.mid", tivenor::testing::SongFormat1(tune.song));
  }
  seeds.emplace_back(
      "beside-the-notes.mid",
      MidiFile(1, 96,
               {{0, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0,    0xFF, 0x58, 4,  4, 2, 24, 8,
                 0, 0xFF, 0x59, 2, 0xFE, 0,    0,    0xFF, 0x54, 5,    96, 0, 0, 0,  0},
                {0,    0xFF, 0x03, 4,  'S', 'o',  'n',  'g',  0,    0xF0, 3,    0x7E, 0x09,
                 0xF7, 0,    0xB0, 7,  100, 0,    0xC0, 10,   0,    0xE0, 0,    0x40, 0,
                 0xFF, 0x21, 1,    0,  0,   0xFF, 0x20, 1,    0,    48,   0x90, 65,   80,
                 0,    0xA0, 65,   20, 0,   0xD0, 30,   0,    0xF7, 2,    1,    2,    48,
                 0xFF, 0x7F, 3,    0,  0,   0x41, 0,    0x90, 65,   0}}));
  seeds.emplace_back(
      "frames.mid",
      MidiFile(0, 0xE728, {{0, 0x90, 67, 99, 0x83, 0x74, 0x80, 67, 0, 0, 0x99, 36, 100}}));
  seeds.emplace_back("struck-again.mid",
                     MidiFile(0, 480, {{0, 0x90, 60, 100, 96, 60, 80, 96,   0x80, 60, 0,
                                        0, 61,   0,  96,  60, 0,  0,  0x91, 60,   70}},
                              {200}));
  std::vector<uint8_t> alien = MidiFile(0, 96, {{0, 0x90, 60, 64, 48, 60, 0}});
  const std::vector<uint8_t> chunk = {'X', 'F', 'I', 'H', 0, 0, 0, 2, 1, 2};
  alien.insert(alien.begin() + 14, chunk.begin(), chunk.end());
  seeds.emplace_back("other-chunk.mid", alien);
  return seeds;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  for (const auto& [name, bytes] : Seeds()) {
    tivenor::testing::WriteFileBytes(std::string(argv[1]) + "/" + name, bytes);
  }
  return 0;
}
