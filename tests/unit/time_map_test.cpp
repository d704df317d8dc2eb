#include "engine/making/time_map.h"

#include <gtest/gtest.h>

#include "engine/disc/geometry.h"
#include "engine/making/layout_error.h"
#include "engine/making/slot_geometry.h"
#include "engine/transcription/start_gap.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

// Notes at the first and last usable tick on every pin leave the first sector empty, so the
// reader counts time from where the maker did.
TEST(TimeMapTest, UsableTicksKeepTheFirstSectorEmpty) {
  testing::MemoryHost host;
  host.display.Resize(100, 100, 0);
  ScanState state;
  state.PixelsPerMm = 1.0;
  for (int pin = 0; pin < kPinCount; ++pin) {
    for (const int tick : {FirstUsableTick(), LastUsableTick()}) {
      const Slot slot = SlotForNote(tick, pin, 1.8, 0.7);
      ++state.NoteCount;
      state.NoteX[state.NoteCount] = slot.notePoint.x;
      state.NoteY[state.NoteCount] = slot.notePoint.y;
    }
  }
  EXPECT_DOUBLE_EQ(FindStartAngle(state, host), 1.0 / 48.0);
  // Most of the turn is usable.
  EXPECT_GT(LastUsableTick() - FirstUsableTick(), 3200);
}

TEST(TimeMapTest, TheTuneSpreadsOverTheUsableTicks) {
  const TimeMap map = MapTime(2.0, 12.0, std::nullopt);
  EXPECT_EQ(map.TickOf(2.0), FirstUsableTick());
  EXPECT_EQ(map.TickOf(12.0), LastUsableTick());
  EXPECT_EQ(map.TickOf(7.0), (FirstUsableTick() + LastUsableTick() + 1) / 2);
}

TEST(TimeMapTest, AChordAloneStandsAtTheFirstUsableTick) {
  const TimeMap map = MapTime(3.0, 3.0, std::nullopt);
  EXPECT_EQ(map.TickOf(3.0), FirstUsableTick());
}

TEST(TimeMapTest, AFixedSpeedRunsFromTheFirstNote) {
  const TimeMap map = MapTime(1.0, 10.0, 36.0);
  EXPECT_DOUBLE_EQ(map.ticksPerSecond, 100.0);
  EXPECT_EQ(map.TickOf(1.0), FirstUsableTick());
  EXPECT_EQ(map.TickOf(10.0), FirstUsableTick() + 900);
}

TEST(TimeMapTest, ATuneLongerThanATurnAtAFixedSpeedIsRefused) {
  EXPECT_THROW(MapTime(0.0, 35.0, 36.0), LayoutError);
  EXPECT_NO_THROW(MapTime(0.0, 30.0, 36.0));
  try {
    MapTime(0.0, 70.0, 60.0);
    ADD_FAILURE() << "a tune of 70 s fits no turn of 60 s";
  } catch (const LayoutError& error) {
    EXPECT_NE(std::string(error.what()).find("lasts 70.00 s"), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find("at 60 s per turn"), std::string::npos);
  }
}

}  // namespace
}  // namespace tivenor
