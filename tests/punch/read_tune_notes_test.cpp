// MIDI files as other programs write them, read back into notes: onsets and lengths through the
// tempo map, format 0 and 1, running status, drums, and the ways of ending a note.

#include "adapters/midi_file/read_tune_notes.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/temp_folder.h"
#include "tests/punch/punch_songs.h"

namespace tivenor::testing {
namespace {

bool Earlier(const TuneNote& a, const TuneNote& b) {
  if (a.seconds != b.seconds) return a.seconds < b.seconds;
  return a.key != b.key ? a.key < b.key : a.channel < b.channel;
}

// Every note of the song, as the reader must give it.
std::vector<TuneNote> NotesOf(const Song& song) {
  std::vector<TuneNote> notes;
  for (const auto& track : song.tracks) {
    for (const SongNote& note : track) {
      const double onset = SecondsAt(song, note.tick);
      notes.push_back({onset, SecondsAt(song, note.tick + note.length) - onset, note.key,
                       note.velocity, note.channel});
    }
  }
  return notes;
}

// The notes read are those expected, in whichever order of tracks.
void ExpectNotes(std::vector<TuneNote> expected, std::vector<TuneNote> read) {
  std::stable_sort(expected.begin(), expected.end(), Earlier);
  std::stable_sort(read.begin(), read.end(), Earlier);
  ASSERT_EQ(read.size(), expected.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(read[i].seconds, expected[i].seconds, 1e-9);
    EXPECT_NEAR(read[i].lengthSeconds, expected[i].lengthSeconds, 1e-9);
    EXPECT_EQ(read[i].key, expected[i].key);
    EXPECT_EQ(read[i].velocity, expected[i].velocity);
    EXPECT_EQ(read[i].channel, expected[i].channel);
  }
}

class ReadTuneNotesTest : public ::testing::Test {
 protected:
  std::string Write(const std::vector<uint8_t>& bytes) {
    std::string file = folder_.File("tune.mid");
    WriteFileBytes(file, bytes);
    return file;
  }
  TempFolder folder_;
};

TEST_F(ReadTuneNotesTest, FormatZeroThroughItsTempoChange) {
  const PunchSong tune = ScaleWithTempoChange();  // running status, releases as velocity 0
  ExpectNotes(NotesOf(tune.song), ReadTuneNotes(Write(SongBytes(tune))));
}

TEST_F(ReadTuneNotesTest, FormatOneWithTheTempoMapInItsFirstTrack) {
  const PunchSong tune = TwoHandsWithDrums();  // the drums on channel 10 are read as any other
  ExpectNotes(NotesOf(tune.song), ReadTuneNotes(Write(SongBytes(tune))));
}

// Lengths over tempo changes, and a tempo change given by a later track, which counts for every
// track, also for notes read before it.
TEST_F(ReadTuneNotesTest, LengthsRunThroughTheTempoMapOfEveryTrack) {
  Song song;
  song.division = 240;
  song.tempos = {{0, 400000}, {240, 900000}, {600, 250000}};
  song.tracks = {{{0, 60, 0, 10, 480}, {100, 62, 1, 127, 1000}, {700, 64, 2, 1, 5}},
                 {{120, 72, 3, 64, 240}, {590, 74, 3, 64, 20}}};
  const std::vector<TuneNote> expected = NotesOf(song);
  ExpectNotes(expected, ReadTuneNotes(Write(SongFormat1(song))));
  ExpectNotes(expected, ReadTuneNotes(Write(SongFormat0(song, true))));
  ExpectNotes(expected, ReadTuneNotes(Write(SongFormat0(song, false))));

  // The same tempo map in the last track instead of the first.
  const std::vector<uint8_t> first = SongFormat1(song);
  Song tempoLast = song;
  tempoLast.tempos.clear();
  std::vector<uint8_t> bytes = SongFormat1(tempoLast);
  const std::size_t tempoTrack = 14 + 8 + ChunkLength(first, 14);
  const std::size_t emptyTrack = 14 + 8 + ChunkLength(bytes, 14);
  bytes.insert(bytes.end(), first.begin() + 14, first.begin() + static_cast<long>(tempoTrack));
  bytes.erase(bytes.begin() + 14, bytes.begin() + static_cast<long>(emptyTrack));
  ExpectNotes(expected, ReadTuneNotes(Write(bytes)));
}

TEST_F(ReadTuneNotesTest, ReleasesAreNoNotes) {
  Song song;
  song.tracks = {{{0, 64, 0, 0, 10}, {480, 66}}};  // a note-on with velocity 0 first
  const std::vector<TuneNote> read = ReadTuneNotes(Write(SongFormat0(song, true)));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].key, 66);
  EXPECT_NEAR(read[0].seconds, 0.5, 1e-9);
  EXPECT_NEAR(read[0].lengthSeconds, 0.125, 1e-9);
}

// At 480 pulses a quarter and 120 beats a minute, a pulse lasts 1/960 s.
TEST_F(ReadTuneNotesTest, EachReleaseEndsTheEarliestSoundingNoteOfItsKey) {
  const std::vector<uint8_t> bytes = MidiFile(
      0, 480,
      {{0,    0x90, 60, 100,   // C4 on
        96,   62,   90,        // D4 on, running status
        96,   60,   80,        // C4 again while it sounds
        96,   0x80, 60, 0,     // the first release of C4 ends the first C4
        0x60, 61,   0,         // a release of a key that never sounded
        96,   60,   0,         // note-off under running status ends the second C4
        96,   0x91, 60, 70,    // C4 on channel 2 is another note
        96,   0x90, 62, 0}});  // D4 ends as a note-on with velocity 0; channel 2's C4 never does
  const std::vector<TuneNote> read = ReadTuneNotes(Write(bytes));
  ASSERT_EQ(read.size(), 4u);
  const double pulse = 1.0 / 960;
  const std::vector<TuneNote> expected = {{0.0, 288 * pulse, 60, 100, 0},
                                          {96 * pulse, 576 * pulse, 62, 90, 0},
                                          {192 * pulse, 288 * pulse, 60, 80, 0},
                                          {576 * pulse, 96 * pulse, 60, 70, 1}};
  ExpectNotes(expected, read);
}

// A note never released lasts until its track ends, whatever the other tracks do.
TEST_F(ReadTuneNotesTest, ANoteNeverReleasedEndsWithItsTrack) {
  const std::vector<uint8_t> bytes = MidiFile(
      1, 100, {{0, 0x90, 70, 64, 50, 0x90, 71, 64}, {0, 0x95, 40, 30, 0x81, 0x48, 0x95, 41, 0}},
      {400, 0});
  const std::vector<TuneNote> read = ReadTuneNotes(Write(bytes));
  const double pulse = 0.5 / 100;
  ExpectNotes({{0.0, 450 * pulse, 70, 64, 0},
               {0.0, 200 * pulse, 40, 30, 5},
               {50 * pulse, 400 * pulse, 71, 64, 0}},
              read);
}

// Of two tempo changes at one pulse, in whichever tracks, the later one counts; a tempo of 0,
// which would stop time, is passed over.
TEST_F(ReadTuneNotesTest, OfTwoTemposAtOnePulseTheLaterCounts) {
  const std::vector<uint8_t> bytes =
      MidiFile(1, 100,
               {{0, 0xFF, 0x51, 3, 0x0F, 0x42, 0x40, 100, 0xFF, 0x51, 3, 0, 0, 0},
                {0, 0xFF, 0x51, 3, 0x03, 0xD0, 0x90, 0, 0x90, 60, 64, 100, 60, 0, 100, 62, 64},
                {}},
               {0, 100, 0});
  // 250,000 microseconds a quarter note of 100 pulses.
  ExpectNotes({{0.0, 0.25, 60, 64, 0}, {0.5, 0.25, 62, 64, 0}}, ReadTuneNotes(Write(bytes)));
}

// A track's end-of-track event ends it: what its chunk holds after it is no part of the tune.
TEST_F(ReadTuneNotesTest, NothingCountsAfterATracksEnd) {
  const std::vector<uint8_t> bytes =
      MidiFile(0, 100, {{0, 0x90, 60, 64, 50, 0xFF, 0x2F, 0, 10, 0x90, 62, 64, 10, 60, 0}});
  ExpectNotes({{0.0, 0.25, 60, 64, 0}}, ReadTuneNotes(Write(bytes)));
}

TEST_F(ReadTuneNotesTest, TimeInFramesNeedsNoTempo) {
  // 25 frames a second of 40 pulses: a pulse is a millisecond; the tempo changes nothing.
  const std::vector<uint8_t> bytes =
      MidiFile(0, 0xE728,
               {{0, 0xFF, 0x51, 3, 0x0F, 0x42, 0x40, 0x83, 0x74, 0x90, 67, 99, 0x81, 0x48, 67, 0}});
  const std::vector<TuneNote> read = ReadTuneNotes(Write(bytes));
  ExpectNotes({{0.5, 0.2, 67, 99, 0}}, read);
}

// Other chunks than the header and the tracks may stand between them, and are read past.
TEST_F(ReadTuneNotesTest, ChunksOfOtherKindsAreReadPast) {
  const PunchSong tune = TwoHandsWithDrums();
  std::vector<uint8_t> bytes = SongBytes(tune);
  const std::vector<uint8_t> alien = {'X', 'F', 'I', 'H', 0, 0, 0, 3, 1, 2, 3};
  bytes.insert(bytes.begin() + 14, alien.begin(), alien.end());
  bytes.insert(bytes.end(), alien.begin(), alien.end());
  ExpectNotes(NotesOf(tune.song), ReadTuneNotes(Write(bytes)));
}

// Meta events of every kind, system-exclusive messages and controllers before and between the
// notes change nothing but time.
TEST_F(ReadTuneNotesTest, EventsBesideTheNotesAreReadPast) {
  const std::vector<uint8_t> bytes = MidiFile(
      0, 96,
      {{0,    0xFF, 0x03, 4,    'S',  'o', 'n',  'g', 0,    0xF0, 3,    0x7E, 0x09, 0xF7, 0,
        0xFF, 0x58, 4,    4,    2,    24,  8,    0,   0xFF, 0x59, 2,    0xFE, 0,    0,    0xB0,
        7,    100,  0,    0xC0, 10,   0,   0xE0, 0,   0x40, 0,    0xFF, 0x21, 1,    0,    48,
        0x90, 65,   80,   0,    0xA0, 65,  20,   0,   0xD0, 30,   0,    0xF7, 2,    1,    2,
        48,   0xFF, 0x7F, 3,    0,    0,   0x41, 0,   0x90, 65,   0}});
  const double pulse = 0.5 / 96;
  ExpectNotes({{48 * pulse, 48 * pulse, 65, 80, 0}}, ReadTuneNotes(Write(bytes)));
}

}  // namespace
}  // namespace tivenor::testing
