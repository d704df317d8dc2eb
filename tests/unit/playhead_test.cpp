#include "engine/midi/playhead.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/midi/midi_buffer.h"
#include "engine/transcription/revolution_angle.h"
#include "engine/transcription/transcribe.h"
#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

struct Disc {
  testing::MemoryHost host;
  ScanState state;
  std::vector<PixelPointF> drawn;  // where each note point stands on the picture

  Disc() {
    state.CenterX = 400.5;
    state.CenterY = 380.25;
    state.PixelsPerMm = 5.0;
    state.MmPerPixel = 0.2;
    host.display.Resize(800, 800, 0);
  }
  void Add(double degrees, double radiusMm) {
    const double radians = degrees * M_PI / 180.0;
    ++state.NoteCount;
    state.NoteX[state.NoteCount] = std::cos(radians) * radiusMm;
    state.NoteY[state.NoteCount] = std::sin(radians) * radiusMm;
    drawn.push_back({state.CenterX + state.NoteX[state.NoteCount] * 5.0,
                     state.CenterY - state.NoteY[state.NoteCount] * 5.0});
  }
  PlayheadMap Transcribe() {
    TranscribeNotes(state, host);
    return MakePlayheadMap(state);
  }
};

TEST(PlayheadTest, TheMapHoldsTheStartAndTheNotesWhereThePictureShowsThem) {
  Disc disc;
  disc.Add(200.0, 40.0);  // sectors 1 and 2 stay empty: the start gap is sector 1
  disc.Add(100.0, 25.0);
  disc.Add(300.0, 50.0);
  const PlayheadMap map = disc.Transcribe();
  EXPECT_DOUBLE_EQ(map.startAngle, 1.0 / 48);
  EXPECT_DOUBLE_EQ(map.centre.x, 400.5);
  EXPECT_DOUBLE_EQ(map.centre.y, 380.25);
  EXPECT_DOUBLE_EQ(map.radius, 57.0 * 5.0);
  ASSERT_EQ(map.notes.size(), 3u);
  // In time order, counter-clockwise from the start line: 100, 200, then 300 degrees.
  const std::size_t order[] = {1, 0, 2};
  for (std::size_t place = 0; place < 3; ++place) {
    SCOPED_TRACE(place);
    EXPECT_NEAR(map.notes[place].point.x, disc.drawn[order[place]].x, 1e-9);
    EXPECT_NEAR(map.notes[place].point.y, disc.drawn[order[place]].y, 1e-9);
    EXPECT_EQ(map.notes[place].time, disc.state.NoteTime[static_cast<int>(order[place]) + 1]);
  }
}

TEST(PlayheadTest, NotesWithoutAPinAreNotOnTheMap) {
  Disc disc;
  disc.Add(100.0, 25.0);
  disc.Add(150.0, 5.0);  // nearer the centre than any pin
  EXPECT_EQ(disc.Transcribe().notes.size(), 1u);
}

// The line turns counter-clockwise from the start line by the played share of the turn, and
// reaches each note's direction as the note's time, less its lead, comes round.
TEST(PlayheadTest, TheLineTurnsAsTheDiscPlays) {
  Disc disc;
  disc.Add(100.0, 25.0);
  disc.Add(250.0, 45.0);
  const PlayheadMap map = disc.Transcribe();
  EXPECT_DOUBLE_EQ(PlayheadAngle(map, 0.0), 1.0 / 48);
  EXPECT_NEAR(PlayheadAngle(map, 900.0), 1.0 / 48 + 0.25, 1e-12);
  EXPECT_NEAR(PlayheadAngle(map, 3600.0 * 1.5), 1.0 / 48 + 0.5, 1e-12);
  EXPECT_GE(PlayheadAngle(map, 3599.0), 0.0);
  EXPECT_LT(PlayheadAngle(map, 3599.0), 1.0);

  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const PlayheadNote& note = map.notes[i];
    const double dx = note.point.x - map.centre.x;
    const double dy = map.centre.y - note.point.y;
    const double leadTicks = 0.4 / (std::hypot(dx, dy) / 5.0) * 3600.0;
    EXPECT_NEAR(PlayheadAngle(map, note.time - leadTicks), RevolutionAngle(dx, dy), 0.5 / 3600);
  }

  const PixelPointF quarter = PlayheadEnd(map, 900.0 - 75.0);  // straight up from the centre
  EXPECT_NEAR(quarter.x, map.centre.x, 1e-9);
  EXPECT_NEAR(quarter.y, map.centre.y - map.radius, 1e-9);
}

TEST(PlayheadTest, NotesPlayedCountsTheNotesThatHaveSounded) {
  PlayheadMap map;
  map.notes = {{{0, 0}, 100}, {{0, 0}, 100}, {{0, 0}, 250}};
  EXPECT_EQ(NotesPlayed(map, 0.0), 0u);
  EXPECT_EQ(NotesPlayed(map, 99.9), 0u);
  EXPECT_EQ(NotesPlayed(map, 100.0), 2u);
  EXPECT_EQ(NotesPlayed(map, 249.0), 2u);
  EXPECT_EQ(NotesPlayed(map, 5000.0), 3u);
}

TEST(PlayheadTest, DiscTimeStartsAfterTheMidiFilesSetUp) {
  EXPECT_EQ(DiscTicksAt(0.0), 0.0);
  EXPECT_EQ(DiscTicksAt(MidiSetUpTicks), 0.0);
  EXPECT_EQ(DiscTicksAt(MidiSetUpTicks + 3600.0), 3600.0);
}

}  // namespace
}  // namespace tivenor
