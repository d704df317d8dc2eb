#pragma once
// Tunes as other programs write them, for the disc maker: each a song, the format to write it
// in, and what the maker should do with it.

#include <string>
#include <vector>

#include "tests/support/midi_writer.h"

namespace tivenor::testing {

struct PunchSong {
  std::string name;
  Song song;
  int format = 0;
  bool runningStatus = false;
};

// A scale and chords on the comb's keys at 96 beats a minute, slowing to 60 half-way.
PunchSong ScaleWithTempoChange();
// Two hands in two tracks of a format 1 file, a fifth below the comb, with a drum track.
PunchSong TwoHandsWithDrums();
// Fast repeats on keys of one pin and of two, notes no pin plays and a doubled note.
PunchSong RepeatsAndStrays();

std::vector<PunchSong> RoundTripSongs();

// The note-ons the maker must account for: velocity above 0, the drum channel aside.
struct SourceOnset {
  double seconds = 0.0;
  int key = 0;
};
std::vector<SourceOnset> TuneOnsets(const Song& song);

std::vector<uint8_t> SongBytes(const PunchSong& song);

}  // namespace tivenor::testing
