#pragma once
// Writes Standard MIDI Files as other programs do, to feed the disc maker: format 0 or 1, a
// tempo map, notes on any channel, running status when asked for.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tivenor::testing {

struct SongNote {
  uint32_t tick = 0;  // in pulses of the song's division
  int key = 60;
  int channel = 0;  // 0-based; 9 is the drum channel
  int velocity = 90;
  uint32_t length = 120;
};

struct TempoChange {
  uint32_t tick = 0;
  uint32_t microsecondsPerQuarter = 500000;
};

struct Song {
  uint16_t division = 480;  // pulses per quarter note
  std::vector<TempoChange> tempos;
  std::vector<std::vector<SongNote>> tracks;  // format 0 merges them into one
};

// Format 0: one track with the tempo map and every note. Note-offs as note-on with velocity 0
// under running status when `runningStatus`, as 0x80 events otherwise.
std::vector<uint8_t> SongFormat0(const Song& song, bool runningStatus = false);
// Format 1: a tempo track, then one track per note list.
std::vector<uint8_t> SongFormat1(const Song& song);

// A file of tracks given as the bytes of their events, delta times included, as no sequencer
// would write them; each track ends with an end-of-track event `endDeltas[i]` pulses (0 when not
// given) after its last event.
std::vector<uint8_t> MidiFile(uint16_t format, uint16_t division,
                              const std::vector<std::vector<uint8_t>>& tracks,
                              const std::vector<uint32_t>& endDeltas = {});

// The length a chunk's header at `at` gives.
std::size_t ChunkLength(const std::vector<uint8_t>& bytes, std::size_t at);

// Seconds at `tick` through the song's tempo map.
double SecondsAt(const Song& song, uint32_t tick);

void WriteFileBytes(const std::string& fileName, const std::vector<uint8_t>& bytes);

}  // namespace tivenor::testing
