#include "tests/punch/punch_songs.h"

namespace tivenor::testing {

PunchSong ScaleWithTempoChange() {
  PunchSong tune{"ScaleWithTempoChange", {}, 0, true};
  tune.song.tempos = {{0, 625000}, {480 * 16, 1000000}};
  std::vector<SongNote> notes;
  const int scale[] = {64, 66, 68, 71, 73, 75, 76, 78, 81, 83, 85, 87, 88, 90, 92, 93};
  uint32_t tick = 0;
  for (const int key : scale) {
    notes.push_back({tick, key});
    tick += 480;
  }
  for (int i = 0; i < 8; ++i) {  // chords under the second half
    notes.push_back({tick, 52});
    notes.push_back({tick, 59 + (i % 2) * 5});
    notes.push_back({tick, 88 + (i % 3) * 2});
    tick += 480;
  }
  notes.push_back({tick, 95});
  notes.push_back({tick, 99});
  tune.song.tracks = {notes};
  return tune;
}

PunchSong TwoHandsWithDrums() {
  PunchSong tune{"TwoHandsWithDrums", {}, 1, false};
  tune.song.division = 96;
  tune.song.tempos = {{0, 500000}, {96 * 12, 400000}};
  // A fifth below the comb: +7 brings them onto it.
  const int right[] = {69, 71, 74, 76, 78, 80, 81, 83, 85, 86, 88, 81};
  const int left[] = {45, 52, 57, 52, 45, 52};
  std::vector<SongNote> upper, lower, drums;
  for (int i = 0; i < 12; ++i) upper.push_back({static_cast<uint32_t>(i * 96), right[i], 0});
  for (int i = 0; i < 6; ++i) lower.push_back({static_cast<uint32_t>(i * 192), left[i], 1});
  for (int i = 0; i < 12; ++i) drums.push_back({static_cast<uint32_t>(i * 96), 36 + i % 3, 9});
  tune.song.tracks = {upper, lower, drums};
  return tune;
}

PunchSong RepeatsAndStrays() {
  PunchSong tune{"RepeatsAndStrays", {}, 0, false};
  tune.song.tempos = {{0, 500000}};
  std::vector<SongNote> notes;
  uint32_t tick = 0;
  for (int i = 0; i < 8; ++i) {  // key 71 lies on two pins, key 81 on one
    notes.push_back({tick, 71, 0, 90, 40});
    notes.push_back({tick + 480 * 10, 81, 0, 90, 40});
    tick += 60;
  }
  notes.push_back({480 * 20, 30});  // far below the comb
  notes.push_back({480 * 21, 82});  // between two comb keys
  notes.push_back({480 * 22, 76});  // doubled
  notes.push_back({480 * 22, 76, 1});
  notes.push_back({480 * 23, 100});  // the outer pin
  notes.push_back({480 * 24, 52});
  notes.push_back({480 * 30, 97});
  tune.song.tracks = {notes};
  return tune;
}

std::vector<PunchSong> RoundTripSongs() {
  return {ScaleWithTempoChange(), TwoHandsWithDrums(), RepeatsAndStrays()};
}

std::vector<SourceOnset> TuneOnsets(const Song& song) {
  std::vector<SourceOnset> onsets;
  for (const auto& track : song.tracks) {
    for (const SongNote& note : track) {
      if (note.channel != 9 && note.velocity > 0) {
        onsets.push_back({SecondsAt(song, note.tick), note.key});
      }
    }
  }
  return onsets;
}

std::vector<uint8_t> SongBytes(const PunchSong& song) {
  return song.format == 0 ? SongFormat0(song.song, song.runningStatus) : SongFormat1(song.song);
}

}  // namespace tivenor::testing
