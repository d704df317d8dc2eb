#include "adapters/midi_file/read_note_onsets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/e2e/temp_folder.h"
#include "tests/punch/punch_songs.h"

namespace tivenor::testing {
namespace {

std::vector<NoteOnset> Sorted(std::vector<NoteOnset> onsets) {
  std::stable_sort(onsets.begin(), onsets.end(), [](const NoteOnset& a, const NoteOnset& b) {
    return a.seconds != b.seconds ? a.seconds < b.seconds : a.key < b.key;
  });
  return onsets;
}

void ExpectOnsetsOf(const Song& song, const std::vector<NoteOnset>& read) {
  std::vector<NoteOnset> expected;
  for (const auto& track : song.tracks) {
    for (const SongNote& note : track) {
      expected.push_back({SecondsAt(song, note.tick), note.key, note.channel});
    }
  }
  expected = Sorted(expected);
  const std::vector<NoteOnset> got = Sorted(read);
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NEAR(got[i].seconds, expected[i].seconds, 1e-6);
    EXPECT_EQ(got[i].key, expected[i].key);
    EXPECT_EQ(got[i].channel, expected[i].channel);
  }
}

class ReadNoteOnsetsTest : public ::testing::Test {
 protected:
  std::string Write(const std::vector<uint8_t>& bytes) {
    std::string file = folder_.File("tune.mid");
    WriteFileBytes(file, bytes);
    return file;
  }
  TempFolder folder_;
};

TEST_F(ReadNoteOnsetsTest, FormatZeroThroughItsTempoChange) {
  const PunchSong tune = ScaleWithTempoChange();  // running status, releases as velocity 0
  ExpectOnsetsOf(tune.song, ReadNoteOnsets(Write(SongBytes(tune))));
}

TEST_F(ReadNoteOnsetsTest, FormatOneWithTheTempoMapInItsFirstTrack) {
  const PunchSong tune = TwoHandsWithDrums();
  ExpectOnsetsOf(tune.song, ReadNoteOnsets(Write(SongBytes(tune))));
}

TEST_F(ReadNoteOnsetsTest, ReleasesAreNoOnsets) {
  Song song;
  song.tracks = {{{0, 64, 0, 0, 10}, {480, 66}}};  // a note-on with velocity 0 first
  const std::vector<NoteOnset> read = ReadNoteOnsets(Write(SongFormat0(song, true)));
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].key, 66);
  EXPECT_NEAR(read[0].seconds, 0.5, 1e-9);
}

TEST_F(ReadNoteOnsetsTest, FilesThatAreNoTunesSayWhy) {
  EXPECT_THROW(ReadNoteOnsets(folder_.File("missing.mid")), MidiReadError);
  EXPECT_THROW(ReadNoteOnsets("/dev/zero"), MidiReadError);  // would never end
  EXPECT_THROW(ReadNoteOnsets(folder_.path().string()), MidiReadError);
  try {
    ReadNoteOnsets(Write({'h', 'e', 'l', 'l', 'o', '\n'}));
    ADD_FAILURE() << "a text file read as a tune";
  } catch (const MidiReadError& error) {
    EXPECT_STREQ(error.what(), "not a MIDI file");
  }
  std::vector<uint8_t> bytes = SongBytes(ScaleWithTempoChange());
  bytes.resize(bytes.size() / 2);
  try {
    ReadNoteOnsets(Write(bytes));
    ADD_FAILURE() << "half a file read as a tune";
  } catch (const MidiReadError& error) {
    const std::string text = error.what();
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    EXPECT_EQ(text.rfind("damaged MIDI file", 0), 0u) << text;
  }
}

TEST_F(ReadNoteOnsetsTest, KindsTheLibraryCannotReadAreNamed) {
  std::vector<uint8_t> bytes = SongFormat1(TwoHandsWithDrums().song);
  bytes[9] = 2;  // independent patterns
  try {
    ReadNoteOnsets(Write(bytes));
    ADD_FAILURE() << "a format 2 file read";
  } catch (const MidiReadError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("unsupported MIDI file: ", 0), 0u) << error.what();
  }
}

// libsmf stops the whole process with an assertion on a track that ends without its end-of-track
// event; the reader must say the file is damaged and live on.
TEST_F(ReadNoteOnsetsTest, ATrackWithoutItsEndIsDamaged) {
  std::vector<uint8_t> bytes = SongBytes(ScaleWithTempoChange());
  ASSERT_EQ(bytes[bytes.size() - 2], 0x2F);
  bytes[bytes.size() - 2] = 0x01;  // an empty text event instead
  try {
    ReadNoteOnsets(Write(bytes));
    ADD_FAILURE() << "a track without its end read as a tune";
  } catch (const MidiReadError& error) {
    EXPECT_EQ(std::string(error.what()).rfind("damaged MIDI file", 0), 0u) << error.what();
  }
  // and the next file reads as ever
  EXPECT_FALSE(ReadNoteOnsets(Write(SongBytes(ScaleWithTempoChange()))).empty());
}

}  // namespace
}  // namespace tivenor::testing
