#pragma once
// Reads a Standard MIDI File of one track back into events and notes, strictly: any structural
// fault of a writer (wrong lengths, a missing end of track, stray bytes) is an error.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace tivenor::testing {

class MidiFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr uint8_t kMetaEvent = 0xFF;
inline constexpr uint8_t kMetaTempo = 0x51;
inline constexpr uint8_t kMetaEndOfTrack = 0x2F;

struct MidiEvent {
  uint32_t delta = 0;
  uint32_t tick = 0;           // absolute, from the start of the track
  uint8_t status = 0;          // channel status, 0xF0/0xF7 (system exclusive) or 0xFF (meta)
  bool runningStatus = false;  // the status byte was left out in the file
  uint8_t metaType = 0;        // meta events only
  std::vector<uint8_t> data;   // channel data bytes, or the payload of a meta or sysex event
  std::size_t offset = 0;      // file offset of the event's delta time
};

struct MidiFile {
  uint16_t format = 0;
  uint16_t trackCount = 0;
  uint16_t division = 0;  // ticks per quarter note
  uint32_t trackLength = 0;
  std::vector<MidiEvent> events;
};

struct MidiNote {
  int key = 0;
  uint32_t tick = 0;
  int velocity = 0;
  int channel = 0;  // 0-based
  friend bool operator==(const MidiNote&, const MidiNote&) = default;
};

// Parses a format 0 file with one track; throws MidiFormatError saying what is wrong and where.
MidiFile ParseMidi(std::span<const uint8_t> bytes);
std::vector<uint8_t> ReadFileBytes(const std::string& fileName);
MidiFile ReadMidiFile(const std::string& fileName);

// Note-ons with velocity above 0, in file order.
std::vector<MidiNote> NoteOns(const MidiFile& file);
// Note-ons with velocity 0: releases.
std::vector<MidiNote> Releases(const MidiFile& file);
// Microseconds per quarter note of the first tempo event, 500000 (the default) if none.
uint32_t TempoOf(const MidiFile& file);

// A note from its note-on to its release (a note-off, or a note-on of velocity 0).
struct SoundingNote {
  int key = 0;
  uint32_t onTick = 0;
  uint32_t offTick = 0;
  int velocity = 0;
  int channel = 0;
};
// Each note-on paired with the next release of its key and channel, in note-on order; throws
// MidiFormatError for a note that is never released.
std::vector<SoundingNote> SoundingNotes(const MidiFile& file);
// The first program change's program, -1 if none.
int ProgramOf(const MidiFile& file);
// Seconds per tick under the first tempo.
double SecondsPerTick(const MidiFile& file);

}  // namespace tivenor::testing
