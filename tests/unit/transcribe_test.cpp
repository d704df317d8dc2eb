#include "engine/transcription/transcribe.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

using testing::MemoryHost;

struct TranscribeFixture {
  MemoryHost host;
  ScanState state;

  TranscribeFixture() {
    state.CenterX = 400.0;
    state.CenterY = 400.0;
    state.PixelsPerMm = 5.0;
    host.display.Resize(800, 800, 0);
  }
  int Add(double x, double y) {
    ++state.NoteCount;
    state.NoteX[state.NoteCount] = x;
    state.NoteY[state.NoteCount] = y;
    return state.NoteCount;
  }
  // One note in the middle of each sector, at a radius that gives pin 10.
  void OccupyAllSectors() {
    for (int sector = 1; sector <= 24; ++sector) {
      const double radians = (sector * 15.0 - 7.5) * M_PI / 180.0;
      Add(std::cos(radians) * 28.2, std::sin(radians) * 28.2);
    }
  }
};

TEST(TranscribeNotesTest, WithEverySectorOccupiedNothingTurns) {
  TranscribeFixture f;
  f.OccupyAllSectors();
  const int note = f.Add(40.0, 0.0);
  TranscribeNotes(f.state, f.host);
  EXPECT_EQ(f.state.NoteX[note], 40.0);
  EXPECT_EQ(f.state.NoteY[note], 0.0);
  EXPECT_EQ(f.state.NoteTime[note], 36);  // Round(0.01 x 3600)
  EXPECT_TRUE(f.host.startLines.empty());
}

TEST(TranscribeNotesTest, NotesTurnToTheStartDirection) {
  TranscribeFixture f;
  const int up = f.Add(0.0, 40.0);
  const int justBelowAxis = f.Add(40.0, -1e-9);  // sector 24; sector 1 is the gap
  TranscribeNotes(f.state, f.host);
  EXPECT_NEAR(f.state.NoteX[up], 5.2210, 1e-4);
  EXPECT_NEAR(f.state.NoteY[up], 39.6578, 1e-4);
  EXPECT_EQ(f.state.NoteTime[up], 861);
  EXPECT_EQ(f.state.NotePitch[up], PinTones[19]);  // Round(18.6585)
  EXPECT_EQ(f.state.NoteTime[justBelowAxis], 3561);
  // Time order: the note 7.5 degrees clockwise of the start comes last.
  EXPECT_EQ(f.state.NoteOrder[1], up);
  EXPECT_EQ(f.state.NoteOrder[2], justBelowAxis);
  ASSERT_EQ(f.host.startLines.size(), 1u);
}

TEST(TranscribeNotesTest, NotesWithoutAPinAreLoggedAndKeepTheirPlace) {
  TranscribeFixture f;
  for (int i = 0; i < 4; ++i) f.Add(0.0, 20.0 + i);
  const int tooNear = f.Add(0.0, -13.0);  // note 5: pin -1
  const int tooFar = f.Add(-56.0, 0.0);   // note 6: pin 30
  f.state.NotePitch[tooNear] = 77;        // left from an earlier run
  TranscribeNotes(f.state, f.host);
  EXPECT_EQ(f.host.logLines, (std::vector<std::string>{"No tone corresponding with pin 5 : -1",
                                                       "No tone corresponding with pin 6 : 30"}));
  EXPECT_FALSE(f.state.NoteHasPin[tooNear]);
  EXPECT_FALSE(f.state.NoteHasPin[tooFar]);
  EXPECT_TRUE(f.state.NoteHasPin[1]);
  EXPECT_EQ(f.state.NotePitch[tooNear], 77);
  // Every note still has a place in the order.
  std::vector<int> seen(7, 0);
  for (int place = 1; place <= 6; ++place) ++seen[f.state.NoteOrder[place]];
  EXPECT_EQ(seen, (std::vector<int>{0, 1, 1, 1, 1, 1, 1}));
}

TEST(TranscribeNotesTest, PinBordersRoundHalvesToEven) {
  // v = (r - 14.5) x 30/41: radius 14.5 is pin 0 and 54.1333 mm pin 29.
  TranscribeFixture f;
  const int inner = f.Add(0.0, 14.5);
  const int outer = f.Add(0.0, 14.5 + 29 * 41.0 / 30.0);
  const int justInside = f.Add(0.0, 54.8);
  TranscribeNotes(f.state, f.host);
  EXPECT_EQ(f.state.NotePitch[inner], 52);
  EXPECT_EQ(f.state.NotePitch[outer], 100);
  EXPECT_EQ(f.state.NotePitch[justInside], 100);
  EXPECT_TRUE(f.host.logLines.empty());
}

TEST(RankNotesTest, EqualTimesKeepNoteNumberOrder) {
  ScanState state;
  state.NoteCount = 3;
  state.NoteTime[1] = 500;
  state.NoteTime[2] = 100;
  state.NoteTime[3] = 500;
  RankNotes(state);
  EXPECT_EQ(state.NoteRank[1], 1);
  EXPECT_EQ(state.NoteRank[2], 0);
  EXPECT_EQ(state.NoteRank[3], 2);
}

TEST(RankNotesTest, ASingleNoteAndManyNotes) {
  TranscribeFixture one;
  one.Add(0.0, 30.0);
  TranscribeNotes(one.state, one.host);
  EXPECT_EQ(one.state.NoteRank[1], 0);
  EXPECT_EQ(one.state.NoteOrder[1], 1);

  // 500 notes, far more than a byte can count, in reverse time order.
  ScanState many;
  many.NoteCount = 500;
  for (int j = 1; j <= 500; ++j) many.NoteTime[j] = static_cast<uint16_t>(5000 - j);
  RankNotes(many);
  for (int j = 1; j <= 500; ++j) ASSERT_EQ(many.NoteRank[j], 500 - j) << j;
}

}  // namespace
}  // namespace tivenor
