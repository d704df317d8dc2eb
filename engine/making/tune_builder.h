#pragma once
// Turns the events of a MIDI file, as a reader meets them track by track, into the notes of the
// tune: each note-on paired with its release, and pulses turned into seconds through the tempo
// map, to which any track may add.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/making/tune_note.h"

namespace tivenor {

// How a MIDI file counts time.
struct MidiTimeDivision {
  int pulsesPerQuarter = 0;      // above 0: the tempo map says how long a quarter note lasts
  double pulsesPerSecond = 0.0;  // above 0 instead: time in frames, which no tempo changes
};

inline constexpr int kDefaultMicrosecondsPerQuarter = 500000;  // 120 beats a minute

struct MidiTempoChange {
  std::int64_t pulse = 0;
  int microsecondsPerQuarter = 0;
};

class TuneBuilder {
 public:
  // Room for `expectedNotes` is made at once, which spares copies while a large file is read.
  explicit TuneBuilder(MidiTimeDivision division, std::size_t expectedNotes = 0);

  // Pulses count from the start of the current track and never go back within it. Channels run
  // from 0 to 15, keys and velocities from 0 to 127; other events are ignored, as are notes past
  // the 2^32nd, which no file holds.
  void StartTrack();
  // A note-on with velocity 0 is a release.
  void NoteOn(std::int64_t pulse, int channel, int key, int velocity);
  // Ends the earliest sounding note of that key on that channel; a release of nothing is ignored.
  void NoteOff(std::int64_t pulse, int channel, int key);
  // Of two changes at one pulse the later one counts; a tempo of 0 is ignored.
  void Tempo(std::int64_t pulse, int microsecondsPerQuarter);
  // Notes still sounding end with their track.
  void EndTrack(std::int64_t pulse);

  // Every note of every track: track after track, each in time order. Leaves the builder empty.
  std::vector<TuneNote> Finish();

 private:
  // The notes of one key on one channel that sound, earliest first.
  struct Sounding {
    std::vector<std::uint32_t> notes;
    std::uint32_t first = 0;
    bool listed = false;  // in soundingNow_
  };

  MidiTimeDivision division_;
  // Until Finish the two times of each note hold its pulses: those of its onset and its release.
  std::vector<TuneNote> notes_;
  std::vector<std::size_t> trackStarts_;
  std::vector<Sounding> sounding_;        // by channel and key
  std::vector<std::size_t> soundingNow_;  // the entries of sounding_ this track has used
  std::vector<MidiTempoChange> tempos_;
};

}  // namespace tivenor
