// Files that are no tunes, damaged files and files built to hurt a reader: each gets one line
// that says why, quickly, and the next file reads as ever.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <ostream>

#include "adapters/midi_file/read_tune_notes.h"
#include "tests/e2e/temp_folder.h"
#include "tests/punch/punch_songs.h"

namespace tivenor::testing {
namespace {

class ReadTuneNotesRefusals : public ::testing::Test {
 protected:
  std::string Write(const std::vector<uint8_t>& bytes, const std::string& name = "tune.mid") {
    std::string file = folder_.File(name);
    WriteFileBytes(file, bytes);
    return file;
  }
  // The error's text; a failure when the file reads as a tune.
  std::string ErrorOf(const std::string& file) {
    try {
      ReadTuneNotes(file);
    } catch (const MidiReadError& error) {
      return error.what();
    }
    ADD_FAILURE() << file << " read as a tune";
    return {};
  }
  TempFolder folder_;
};

TEST_F(ReadTuneNotesRefusals, FilesThatAreNoTunesSayWhy) {
  EXPECT_EQ(ErrorOf(folder_.File("missing.mid")), "No such file or directory");
  EXPECT_EQ(ErrorOf("/dev/zero"), "not a regular file");  // would never end
  EXPECT_EQ(ErrorOf(folder_.path().string()), "not a regular file");
  // Opening a named pipe for reading would wait for a writer that never comes.
  const std::string pipe = folder_.File("pipe.mid");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(ErrorOf(pipe), "not a regular file");
  EXPECT_EQ(ErrorOf(Write({'h', 'e', 'l', 'l', 'o', '\n'})), "not a MIDI file");
  EXPECT_EQ(ErrorOf(Write({})), "not a MIDI file");

  std::vector<uint8_t> bytes = SongBytes(ScaleWithTempoChange());
  bytes.resize(bytes.size() / 2);
  EXPECT_EQ(ErrorOf(Write(bytes)), "damaged MIDI file: it ends inside a chunk (cut short?)");
  bytes = SongBytes(TwoHandsWithDrums());
  bytes.resize(14 + 8 + ChunkLength(bytes, 14));
  EXPECT_EQ(ErrorOf(Write(bytes)), "damaged MIDI file: 1 of its 4 tracks are there (cut short?)");
}

TEST_F(ReadTuneNotesRefusals, AFileLargerThanAnyTuneIsNotRead) {
  const std::string file = Write(SongBytes(ScaleWithTempoChange()));
  std::filesystem::resize_file(file, std::uintmax_t{65} << 20);  // sparse: no disk used
  EXPECT_EQ(ErrorOf(file), "too large for a MIDI file");
}

TEST_F(ReadTuneNotesRefusals, KindsNotReadAreNamed) {
  std::vector<uint8_t> bytes = SongFormat1(TwoHandsWithDrums().song);
  bytes[9] = 2;  // independent patterns
  EXPECT_EQ(ErrorOf(Write(bytes)), "unsupported MIDI file: format 2 (independent patterns)");
}

// A track must end with its end-of-track event; the reader says the file is damaged and lives on.
TEST_F(ReadTuneNotesRefusals, ATrackWithoutItsEndIsDamaged) {
  std::vector<uint8_t> bytes = SongBytes(ScaleWithTempoChange());
  ASSERT_EQ(bytes[bytes.size() - 2], 0x2F);
  bytes[bytes.size() - 2] = 0x01;  // an empty text event instead
  EXPECT_EQ(ErrorOf(Write(bytes)),
            "damaged MIDI file: track 1 ends without its end-of-track event");
  EXPECT_FALSE(ReadTuneNotes(Write(SongBytes(ScaleWithTempoChange()))).empty());
}

struct DamagedFile {
  std::string name;
  std::function<std::vector<uint8_t>()> bytes;
  std::string error;
};

void PrintTo(const DamagedFile& file, std::ostream* out) {
  *out << file.name;
}

std::vector<uint8_t> WithHeader(std::vector<uint8_t> header) {
  std::vector<uint8_t> bytes = SongBytes(ScaleWithTempoChange());
  std::copy(header.begin(), header.end(), bytes.begin() + 8);
  return bytes;
}

// One track chunk of exactly these bytes, end-of-track or not.
std::vector<uint8_t> BareTrack(const std::vector<uint8_t>& events) {
  std::vector<uint8_t> bytes = {
      'M', 'T', 'h',  'd', 0,   0,   0,   6, 0, 0, 0,
      1,   1,   0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(events.size())};
  bytes.insert(bytes.end(), events.begin(), events.end());
  return bytes;
}

std::vector<DamagedFile> DamagedFileCases() {
  return {
      {"HeaderTooShort",
       [] { return std::vector<uint8_t>{'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1, 0, 0}; },
       "damaged MIDI file: its header chunk is too short"},
      {"NoSuchFormat",
       [] {
         return WithHeader({0, 5});
       },
       "damaged MIDI file: its header names format 5, which does not exist"},
      {"NoTracks",
       [] {
         return WithHeader({0, 0, 0, 0});
       },
       "damaged MIDI file: its header counts no tracks"},
      {"NoPulsesPerQuarter",
       [] {
         return WithHeader({0, 0, 0, 1, 0, 0});
       },
       "damaged MIDI file: its header gives 0 pulses per quarter note"},
      {"UnknownFrameRate",
       [] {
         return WithHeader({0, 0, 0, 1, 0xE6, 40});
       },
       "damaged MIDI file: its header gives an unknown frame rate"},
      {"StatusByteForAKey",
       [] {
         return MidiFile(0, 96, {{0, 0x90, 0x90, 64}});
       },
       "damaged MIDI file: track 1: a status byte where a data byte belongs"},
      {"StatusByteForAVelocity",
       [] {
         return MidiFile(0, 96, {{0, 0x90, 60, 0xB0}});
       },
       "damaged MIDI file: track 1: a status byte where a data byte belongs"},
      {"DeltaTimeOfFiveBytes",
       [] {
         return MidiFile(0, 96, {{0, 0x90, 60, 64, 0x81, 0x80, 0x80, 0x80, 0, 60, 0}});
       },
       "damaged MIDI file: track 1: a delta time longer than four bytes"},
      {"RunningStatusWithoutAStatus",
       [] {
         return MidiFile(0, 96, {{0, 60, 64}});
       },
       "damaged MIDI file: track 1: unexpected running status"},
      {"UnknownStatusByte",
       [] {
         return MidiFile(0, 96, {{0, 0xF4}});
       },
       "damaged MIDI file: track 1: unexpected byte: 0xf4"},
      {"LastEventPastItsTrack",
       [] {
         return BareTrack({0, 0x90, 60});
       },
       "damaged MIDI file: track 1: its last event runs past the end of the track"},
      // A length that would have the reader wait for a quarter of a gigabyte.
      {"HugeDeclaredLength",
       [] {
         return BareTrack({0, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0, 0xFF, 0x2F, 0});
       },
       "damaged MIDI file: track 1: its last event runs past the end of the track"},
      // Events after a track's end are not part of it, but its chunk must still hold them whole.
      {"AnEventAfterTheEndCutShort",
       [] {
         return BareTrack({0, 0xFF, 0x2F, 0, 0, 0x90});
       },
       "damaged MIDI file: track 1: its last event runs past the end of the track"},
  };
}

class DamagedFiles : public ReadTuneNotesRefusals,
                     public ::testing::WithParamInterface<DamagedFile> {};

TEST_P(DamagedFiles, SayWhyInOneLine) {
  EXPECT_EQ(ErrorOf(Write(GetParam().bytes())), GetParam().error);
  EXPECT_EQ(ReadTuneNotes(Write(SongBytes(ScaleWithTempoChange()))).size(), 42u);
}

INSTANTIATE_TEST_SUITE_P(ReadTuneNotes, DamagedFiles, ::testing::ValuesIn(DamagedFileCases()),
                         [](const auto& info) { return info.param.name; });

// A tempo event shorter than its three bytes has no tempo to give, and is passed over; the MIDI
// library would read the first one of a file through a null pointer.
TEST_F(ReadTuneNotesRefusals, ATempoEventWithoutItsBytesIsPassedOver) {
  const double pulse = 0.5 / 96;
  for (const uint8_t length : {0, 1, 2}) {
    SCOPED_TRACE(length);
    std::vector<uint8_t> events = {0, 0xFF, 0x51, length};
    events.insert(events.end(), length, 0x07);
    events.insert(events.end(), {96, 0x90, 60, 64, 96, 60, 0});
    const std::vector<TuneNote> read = ReadTuneNotes(Write(MidiFile(0, 96, {events})));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_NEAR(read[0].seconds, 96 * pulse, 1e-12);
    EXPECT_NEAR(read[0].lengthSeconds, 96 * pulse, 1e-12);
  }
}

std::vector<uint8_t> WithSystemExclusive(std::size_t length) {
  std::vector<uint8_t> events = {0, 0xF0};
  for (int shift = 21; shift > 0; shift -= 7) {
    events.push_back(static_cast<uint8_t>(0x80 | ((length >> shift) & 0x7F)));
  }
  events.push_back(static_cast<uint8_t>(length & 0x7F));
  events.insert(events.end(), length - 1, 0x11);
  events.insert(events.end(), {0xF7, 0, 0x90, 60, 64, 96, 60, 0});
  return MidiFile(0, 96, {events});
}

// The library grows an event's buffer a little at a time: a large one is read quickly, and one
// larger than any tune needs is refused before it costs minutes.
TEST_F(ReadTuneNotesRefusals, LargeSystemExclusiveMessagesCostNoMinutes) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadTuneNotes(Write(WithSystemExclusive(250'000))).size(), 1u);
  EXPECT_EQ(ErrorOf(Write(WithSystemExclusive(8'000'000))),
            "unsupported MIDI file: track 1 holds an event of more than 256 KB");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// 175,000 notes in a megabyte: a file of a real tune's size, read in far less than the bound.
TEST_F(ReadTuneNotesRefusals, ALargeTuneIsReadQuickly) {
  constexpr int kNotes = 175000;
  Song song;
  song.tempos = {{0, 400000}, {480 * 1000, 600000}};
  std::vector<SongNote> notes;
  notes.reserve(kNotes);
  for (int i = 0; i < kNotes; ++i) {
    notes.push_back({static_cast<uint32_t>(i * 30), 60 + i * 7 % 25, 0, 64 + i % 40, 45});
  }
  song.tracks = {notes};
  const std::string file = Write(SongFormat0(song, true));
  ASSERT_LT(std::filesystem::file_size(file), std::uintmax_t{1100000});
  const auto start = std::chrono::steady_clock::now();
  const std::vector<TuneNote> read = ReadTuneNotes(file);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_EQ(read.size(), static_cast<std::size_t>(kNotes));
  for (const int i : {0, 1, 16000, 16001, kNotes - 1}) {
    SCOPED_TRACE(i);
    const uint32_t tick = notes[i].tick;
    EXPECT_NEAR(read[i].seconds, SecondsAt(song, tick), 1e-9);
    EXPECT_NEAR(read[i].lengthSeconds, SecondsAt(song, tick + 45) - SecondsAt(song, tick), 1e-9);
    EXPECT_EQ(read[i].key, notes[i].key);
    EXPECT_EQ(read[i].velocity, notes[i].velocity);
  }
}

}  // namespace
}  // namespace tivenor::testing
