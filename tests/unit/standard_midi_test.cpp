#include "engine/midi/standard_midi.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/base/run_error.h"
#include "tests/support/midi_reader.h"

namespace tivenor {
namespace {

using testing::MidiEvent;
using testing::MidiFile;
using testing::ParseMidi;
using testing::SoundingNote;
using testing::SoundingNotes;

MidiFile Write(const std::vector<TimedNote>& notes, double turnSeconds = 60.0, int program = 20) {
  return ParseMidi(WriteStandardMidi(notes, program, TimingForTurn(turnSeconds)));
}

double Seconds(const MidiFile& file, uint32_t tick) {
  return tick * testing::SecondsPerTick(file);
}

TEST(TimingForTurn, MakesTicksOfAtMostAMillisecondAndAWholeTurn) {
  for (const double turn : {0.5, 22.5, 60.0, 3600.0}) {
    const MidiTiming timing = TimingForTurn(turn);
    const double tick = timing.microsecondsPerQuarter * 1e-6 / timing.ticksPerQuarter;
    EXPECT_LE(tick, 0.001) << turn;
    EXPECT_LE(timing.microsecondsPerQuarter, 0xFFFFFFu) << turn;
    // A whole number of quarters to the turn.
    const double quarters = turn / (timing.microsecondsPerQuarter * 1e-6);
    EXPECT_NEAR(quarters, std::round(quarters), 1e-4) << turn;
  }
  EXPECT_THROW(TimingForTurn(0.0), RunError);
  EXPECT_THROW(TimingForTurn(-5.0), RunError);
}

TEST(StandardMidi, OneTrackOfTempoProgramAndNotesWithTheirLengths) {
  const MidiFile file = Write({{1.0, 0.5, 60, 90}, {0.25, 2.0, 64, 100}});
  EXPECT_EQ(file.format, 0);
  EXPECT_EQ(file.trackCount, 1);
  EXPECT_EQ(testing::ProgramOf(file), 20);
  EXPECT_EQ(testing::TempoOf(file), TimingForTurn(60.0).microsecondsPerQuarter);
  const std::vector<SoundingNote> notes = SoundingNotes(file);
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].key, 64);  // in time order
  EXPECT_NEAR(Seconds(file, notes[0].onTick), 0.25, 0.001);
  EXPECT_NEAR(Seconds(file, notes[0].offTick), 2.25, 0.001);
  EXPECT_EQ(notes[1].key, 60);
  EXPECT_EQ(notes[1].velocity, 90);
  EXPECT_NEAR(Seconds(file, notes[1].onTick), 1.0, 0.001);
  EXPECT_NEAR(Seconds(file, notes[1].offTick), 1.5, 0.001);
  // Real note-offs, and the second note-on under running status.
  int offs = 0;
  for (const MidiEvent& e : file.events) offs += (e.status & 0xF0) == 0x80 ? 1 : 0;
  EXPECT_EQ(offs, 2);
}

TEST(StandardMidi, AKeyStruckAgainWhileItSoundsEndsThere) {
  const std::vector<SoundingNote> notes =
      SoundingNotes(Write({{0.0, 2.0, 60, 100}, {1.0, 2.0, 60, 100}}));
  ASSERT_EQ(notes.size(), 2u);
  EXPECT_EQ(notes[0].offTick, notes[1].onTick);
  // At that tick the release comes before the new strike.
  const MidiFile file = Write({{0.0, 2.0, 60, 100}, {1.0, 2.0, 60, 100}});
  std::vector<uint8_t> statuses;
  for (const MidiEvent& e : file.events)
    if (e.tick == notes[1].onTick) statuses.push_back(e.status & 0xF0);
  EXPECT_EQ(statuses, (std::vector<uint8_t>{0x80, 0x90}));
}

TEST(StandardMidi, AKeyStruckTwiceAtOneTickSoundsOnceAsLongAsTheLonger) {
  const MidiFile file = Write({{0.5, 1.0, 60, 100}, {0.5, 3.0, 60, 100}});
  const std::vector<SoundingNote> notes = SoundingNotes(file);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_NEAR(Seconds(file, notes[0].offTick), 3.5, 0.001);
}

TEST(StandardMidi, ANoteOfNoLengthLastsATick) {
  const std::vector<SoundingNote> notes = SoundingNotes(Write({{0.5, 0.0, 60, 100}}));
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].offTick, notes[0].onTick + 1);
}

TEST(StandardMidi, WithoutNotesTheFileStillEnds) {
  const MidiFile file = Write({});
  EXPECT_TRUE(SoundingNotes(file).empty());
  EXPECT_EQ(file.events.back().metaType, testing::kMetaEndOfTrack);
}

TEST(StandardMidi, OutOfRangeKeysProgramsAndVelocitiesAreKeptInRange) {
  const MidiFile file = Write({{0.0, 1.0, 200, 0}}, 60.0, 300);
  EXPECT_EQ(testing::ProgramOf(file), 127);
  const std::vector<SoundingNote> notes = SoundingNotes(file);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_LE(notes[0].key, 127);
  EXPECT_GE(notes[0].velocity, 1);
}

}  // namespace
}  // namespace tivenor
