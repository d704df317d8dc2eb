#include "engine/making/slot_geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/disc/geometry.h"
#include "engine/transcription/transcribe.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

// The reader turns the note point of every slot back into the slot's tick and key.
TEST(SlotGeometryTest, TheReaderGivesBackTickAndKeyOnEveryPin) {
  testing::MemoryHost host;
  host.display.Resize(100, 100, 0);
  ScanState state;
  state.PixelsPerMm = 1.0;
  const int ticks[] = {300, 1234, 1800, 3400};
  for (int pin = 0; pin < kPinCount; ++pin) {
    for (const int tick : ticks) {
      ++state.NoteCount;
      const Slot slot = SlotForNote(tick, pin, 1.8, 0.7);
      state.NoteX[state.NoteCount] = slot.notePoint.x;
      state.NoteY[state.NoteCount] = slot.notePoint.y;
    }
  }
  TranscribeNotes(state, host);
  int note = 0;
  for (int pin = 0; pin < kPinCount; ++pin) {
    for (const int tick : ticks) {
      ++note;
      SCOPED_TRACE("pin " + std::to_string(pin) + " tick " + std::to_string(tick));
      EXPECT_EQ(state.NoteTime[note], tick);
      EXPECT_EQ(state.NotePitch[note], PinTones[pin]);
    }
  }
}

TEST(SlotGeometryTest, TheNotePointIsTheCounterClockwiseEndOnTheTrack) {
  for (const int pin : {0, 14, 29}) {
    const Slot slot = SlotForNote(900, pin, 1.8, 0.7);
    const double half = slot.lengthMm / 2;
    EXPECT_NEAR(slot.centre.x + half * std::cos(slot.axisRadians), slot.notePoint.x, 1e-9);
    EXPECT_NEAR(slot.centre.y + half * std::sin(slot.axisRadians), slot.notePoint.y, 1e-9);
    EXPECT_NEAR(std::hypot(slot.notePoint.x, slot.notePoint.y), PinTrackRadiusMm(pin), 1e-9);
    // The far end lies on the track too, clockwise of the note point.
    const MmPoint tail{slot.centre.x - half * std::cos(slot.axisRadians),
                       slot.centre.y - half * std::sin(slot.axisRadians)};
    EXPECT_NEAR(std::hypot(tail.x, tail.y), PinTrackRadiusMm(pin), 1e-9);
    const double cross = tail.x * slot.notePoint.y - tail.y * slot.notePoint.x;
    EXPECT_GT(cross, 0.0);
  }
}

TEST(SlotGeometryTest, TimeStartsInTheMiddleOfTheFirstSector) {
  EXPECT_DOUBLE_EQ(StartDirection(), 1.0 / 48.0);
  const int pin = 10;
  const double lead = static_cast<double>(kTimeLead) / PinTrackRadiusMm(pin);
  EXPECT_NEAR(NotePointDirection(1800, pin), 1.0 / 48.0 + 0.5 - lead, 1e-12);
}

}  // namespace
}  // namespace tivenor
