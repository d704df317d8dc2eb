#include "engine/slots/slot_notes.h"

#include <gtest/gtest.h>

#include <vector>

namespace tivenor {
namespace {

class SlotNotesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    format.trackRadii = {0.5, 0.6, 0.7};
    format.keys = {60, 62, 64};
    format.notes = NoteKind::kSustained;
  }
  void Add(double lead, double sweep, int track, double radius = 0.6) {
    SlotShape shape;
    shape.radius = radius;
    shape.arc = {lead, sweep};
    shapes.push_back(shape);
    keyed.tracks.push_back(track);
  }
  std::vector<SlotNote> Notes(double start, double turn = 36.0) {
    return NotesOfSlots(shapes, keyed, format, start, turn);
  }

  DiscFormat format;
  std::vector<SlotShape> shapes;
  KeyedSlots keyed;
};

TEST_F(SlotNotesTest, OnsetFromTheStartAndLengthOfTheSlotInTheTurn) {
  Add(110.0, 5.0, 1);
  const std::vector<SlotNote> notes = Notes(100.0);  // 36 s a turn: a degree is 0.1 s
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].key, 62);
  EXPECT_NEAR(notes[0].onsetSeconds, 1.0, 1e-9);
  EXPECT_NEAR(notes[0].lengthSeconds, 0.5, 1e-9);
  EXPECT_EQ(notes[0].shape, 0u);
}

TEST_F(SlotNotesTest, CountsOnRoundTheSeam) {
  Add(20.0, 5.0, 0);
  const std::vector<SlotNote> notes = Notes(300.0);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NEAR(notes[0].onsetSeconds, 8.0, 1e-9);
}

TEST_F(SlotNotesTest, ASlotAcrossTheStartSoundsFromTheStartToItsEnd) {
  Add(98.0, 6.0, 2);
  const std::vector<SlotNote> notes = Notes(100.0);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NEAR(notes[0].onsetSeconds, 0.0, 1e-9);
  EXPECT_NEAR(notes[0].lengthSeconds, 0.4, 1e-9);
}

TEST_F(SlotNotesTest, PluckedNotesSoundForAFixedTime) {
  format.notes = NoteKind::kPlucked;
  Add(110.0, 2.0, 1);
  const std::vector<SlotNote> notes = Notes(100.0);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NEAR(notes[0].onsetSeconds, 1.0, 1e-9);
  EXPECT_DOUBLE_EQ(notes[0].lengthSeconds, kPluckedNoteSeconds);
}

TEST_F(SlotNotesTest, ATimeLeadDelaysInnerNotesMore) {
  format.timeLead = 0.005;  // turns at the rim
  Add(110.0, 2.0, 0, 0.5);
  Add(110.0, 2.0, 2, 0.7);
  const std::vector<SlotNote> notes = Notes(100.0);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_NEAR(notes[0].onsetSeconds, 1.0 + 0.005 / 0.7 * 36.0, 1e-9);
  EXPECT_NEAR(notes[1].onsetSeconds, 1.0 + 0.005 / 0.5 * 36.0, 1e-9);
}

TEST_F(SlotNotesTest, InTimeOrderTiesByKeyAndOnlyKeyedSlots) {
  Add(150.0, 1.0, 0);
  Add(120.0, 1.0, 2);
  Add(120.0, 1.0, 1);
  Add(110.0, 1.0, -1);  // kept out
  const std::vector<SlotNote> notes = Notes(100.0);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].key, 62);
  EXPECT_EQ(notes[1].key, 64);
  EXPECT_EQ(notes[2].key, 60);
}

}  // namespace
}  // namespace tivenor
