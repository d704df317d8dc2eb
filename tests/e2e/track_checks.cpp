#include "tests/e2e/track_checks.h"

#include <set>

namespace tivenor::testing {
namespace {

constexpr uint32_t kQuarterMicroseconds = 600000;
constexpr int kTicksPerQuarter = 96;
constexpr int kMusicBoxProgram = 10;
constexpr uint32_t kAllNotesOffDelay = 120;
constexpr uint32_t kEndOfTrackDelay = 20;

bool IsNoteOn(const MidiEvent& e) {
  return (e.status & 0xF0u) == 0x90;
}

std::string At(const MidiEvent& e) {
  return " at tick " + std::to_string(e.tick) + ": ";
}

}  // namespace

std::string TrackFaults(const MidiFile& midi) {
  std::string faults;
  if (midi.division != kTicksPerQuarter) faults += "division is not 96\n";
  if (TempoOf(midi) != kQuarterMicroseconds) faults += "tempo is not 600000\n";

  bool programSet = false;
  bool noteSeen = false;
  std::set<int> struck;
  std::set<int> released;  // keys released at the current tick, waiting for their strike
  uint32_t releaseTick = 0;
  uint32_t lastNoteTick = 0;
  for (const MidiEvent& e : midi.events) {
    if (e.status < 0xF0 && (e.status & 0x0Fu) != 0)
      faults += "event" + At(e) + "not on channel 1\n";
    if ((e.status & 0xF0u) == 0xC0) programSet = e.data[0] == kMusicBoxProgram;
    if (!IsNoteOn(e)) continue;
    if (!noteSeen && !programSet) faults += "first note before the music box program\n";
    noteSeen = true;
    lastNoteTick = e.tick;
    const int key = e.data[0];
    if (e.tick != releaseTick) {
      if (!released.empty()) faults += "release" + At(e) + "not followed by a strike\n";
      released.clear();
      releaseTick = e.tick;
    }
    if (e.data[1] == 0) {
      if (struck.count(key) == 0) faults += "release" + At(e) + "of key never struck\n";
      released.insert(key);
      continue;
    }
    if (e.data[1] != key + 23) faults += "velocity" + At(e) + "not the key's\n";
    if (struck.count(key) != 0 && released.erase(key) == 0) {
      faults += "key " + std::to_string(key) + At(e) + "struck again without a release\n";
    }
    struck.insert(key);
  }
  if (!released.empty()) faults += "release at the end not followed by a strike\n";

  const std::size_t n = midi.events.size();
  if (n < 2) return faults + "track too short\n";
  const MidiEvent& allOff = midi.events[n - 2];
  const MidiEvent& end = midi.events[n - 1];
  if ((allOff.status & 0xF0u) != 0xB0 || allOff.data[0] != 123) {
    faults += "all-notes-off is not the last event before the end\n";
  }
  if (noteSeen && allOff.tick != lastNoteTick + kAllNotesOffDelay) {
    faults += "all-notes-off not 120 ticks after the last note\n";
  }
  if (end.tick != allOff.tick + kEndOfTrackDelay) faults += "end of track not 20 ticks later\n";
  return faults;
}

}  // namespace tivenor::testing
