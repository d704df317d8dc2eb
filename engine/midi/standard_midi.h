#pragma once
// A Standard MIDI File of notes with lengths, for discs of any format: format 0, one track, a
// tempo under which one turn of the disc lasts its turn time, with ticks of at most a
// millisecond, a program, note-ons and note-offs. The built-in disc keeps its own byte buffer
// (midi_buffer.h).

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tivenor {

// The first event of the track: its name, "Tivenor".
inline constexpr std::array<uint8_t, 11> kOwnTrackName = {0x00, 0xFF, 0x03, 0x07, 'T', 'i',
                                                          'v',  'e',  'n',  'o',  'r'};

struct TimedNote {
  double onsetSeconds = 0.0;
  double lengthSeconds = 0.0;
  uint8_t key = 0;
  uint8_t velocity = 100;
};

struct MidiTiming {
  uint16_t ticksPerQuarter = 960;
  uint32_t microsecondsPerQuarter = 500000;

  uint32_t TickAt(double seconds) const;
};

// A whole number of quarter notes to a turn, each tick at most a millisecond long.
MidiTiming TimingForTurn(double turnSeconds);

// The file's bytes: tempo, program (0-127) on channel 1, then every note as a note-on and a
// note-off in time order (at one tick, note-offs first). A note lasts at least one tick; a note
// struck again while it sounds is ended there, and one struck twice at one tick sounds once.
std::vector<uint8_t> WriteStandardMidi(std::span<const TimedNote> notes, int program,
                                       const MidiTiming& timing);

}  // namespace tivenor
