#include "tests/support/midi_reader.h"

#include <gtest/gtest.h>

#include <vector>

namespace tivenor::testing {
namespace {

// A small file: tempo, program, two notes under running status, a release, end of track.
std::vector<uint8_t> ValidFile() {
  std::vector<uint8_t> track = {0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,  // tempo 600000
                                0x14, 0xC0, 0x0A,                          // program 10 at tick 20
                                0x64, 0x90, 0x40, 0x57,                    // tick 120: key 64
                                0x81, 0x16, 0x47, 0x5E,   // tick 270: key 71, running status
                                0x82, 0x2C, 0x40, 0x00,   // tick 570: release key 64
                                0x00, 0x40, 0x57,         // tick 570: key 64 again
                                0x78, 0xB0, 0x7B, 0x00,   // tick 690: all notes off
                                0x14, 0xFF, 0x2F, 0x00};  // tick 710: end of track
  const uint8_t header[] = {
      'M', 'T', 'h',  'd', 0,   0,   0,   6, 0, 0, 0,
      1,   0,   0x60, 'M', 'T', 'r', 'k', 0, 0, 0, static_cast<uint8_t>(track.size())};
  std::vector<uint8_t> file;
  for (uint8_t b : header) file.push_back(b);
  for (uint8_t b : track) file.push_back(b);
  return file;
}

TEST(MidiReader, ReadsEventsNotesAndTempo) {
  const MidiFile midi = ParseMidi(ValidFile());
  EXPECT_EQ(midi.division, 96);
  EXPECT_EQ(TempoOf(midi), 600000u);
  EXPECT_EQ(NoteOns(midi),
            (std::vector<MidiNote>{{64, 120, 87, 0}, {71, 270, 94, 0}, {64, 570, 87, 0}}));
  EXPECT_EQ(Releases(midi), (std::vector<MidiNote>{{64, 570, 0, 0}}));
  ASSERT_EQ(midi.events.size(), 8u);
  EXPECT_FALSE(midi.events[2].runningStatus);
  EXPECT_TRUE(midi.events[3].runningStatus);
  EXPECT_EQ(midi.events[3].offset, 22u + 14u);
  EXPECT_EQ(midi.events.back().tick, 710u);
}

TEST(MidiReader, PairsNotesWithTheirReleases) {
  const MidiFile midi = ParseMidi(ValidFile());
  EXPECT_EQ(ProgramOf(midi), 10);
  EXPECT_DOUBLE_EQ(SecondsPerTick(midi), 0.6 / 96);
  // Keys 71 and 64 are struck and never released.
  EXPECT_THROW(SoundingNotes(midi), MidiFormatError);
  MidiFile released = midi;
  for (const uint8_t key : {0x47, 0x40}) {
    MidiEvent off;
    off.tick = 700;
    off.status = 0x80;
    off.data = {key, 0x40};
    released.events.insert(released.events.end() - 1, off);
  }
  const std::vector<SoundingNote> notes = SoundingNotes(released);
  ASSERT_EQ(notes.size(), 3u);
  EXPECT_EQ(notes[0].key, 64);
  EXPECT_EQ(notes[0].offTick, 570u);
  EXPECT_EQ(notes[1].key, 71);
  EXPECT_EQ(notes[1].offTick, 700u);
  EXPECT_EQ(notes[2].onTick, 570u);
  EXPECT_EQ(notes[2].offTick, 700u);
}

TEST(MidiReader, RefusesStructuralFaults) {
  const auto refused = [](std::vector<uint8_t> bytes) {
    EXPECT_THROW(ParseMidi(bytes), MidiFormatError);
  };
  std::vector<uint8_t> longer = ValidFile();
  longer[21] += 1;  // track length one more than the bytes that follow
  refused(longer);
  std::vector<uint8_t> shorter = ValidFile();
  shorter[21] -= 1;
  refused(shorter);
  std::vector<uint8_t> trailing = ValidFile();
  trailing.push_back(0);
  refused(trailing);
  std::vector<uint8_t> noEnd = ValidFile();
  noEnd.resize(noEnd.size() - 4);  // drop the end of track
  noEnd[21] -= 4;
  refused(noEnd);
  std::vector<uint8_t> afterEnd = ValidFile();
  for (uint8_t b : {0x00, 0x90, 0x40, 0x57}) afterEnd.push_back(b);
  afterEnd[21] += 4;
  refused(afterEnd);
  std::vector<uint8_t> formatOne = ValidFile();
  formatOne[9] = 1;
  refused(formatOne);
  std::vector<uint8_t> headerLength = ValidFile();
  headerLength[7] = 7;
  refused(headerLength);
  std::vector<uint8_t> noStatus = ValidFile();
  noStatus[23] = 0x40;  // a data byte where the tempo's status belongs: nothing to run on
  refused(noStatus);
  std::vector<uint8_t> longDelta = ValidFile();
  longDelta[22] = 0x80;  // delta never ends within four bytes: 80 FF 51 03 ...
  longDelta[23] = 0x81;
  longDelta[24] = 0x82;
  longDelta[25] = 0x83;
  refused(longDelta);
  refused({});
  std::vector<uint8_t> cut = ValidFile();
  cut.resize(30);  // the track stops after a delta time, its length field telling the truth
  cut[21] = 8;
  refused(cut);
}

TEST(MidiReader, MetaEventEndsRunningStatus) {
  std::vector<uint8_t> file = ValidFile();
  // Remove the program change's status after the tempo meta event: C0 0A becomes 0A.
  file.erase(file.begin() + 30);
  file[21] -= 1;
  EXPECT_THROW(ParseMidi(file), MidiFormatError);
}

}  // namespace
}  // namespace tivenor::testing
