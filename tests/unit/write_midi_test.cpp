#include "engine/midi/write_midi.h"

#include <gtest/gtest.h>

#include "tests/support/memory_host.h"

namespace tivenor {
namespace {

struct Note {
  uint8_t key;
  uint16_t time;
  bool hasPin = true;
};

// The tables as the transcription leaves them, with notes already in time order.
std::vector<uint8_t> EventsOf(const std::vector<Note>& notes) {
  ScanState state;
  state.NoteCount = static_cast<int32_t>(notes.size());
  for (int j = 1; j <= state.NoteCount; ++j) {
    const Note& note = notes[static_cast<std::size_t>(j - 1)];
    state.NotePitch[j] = note.key;
    state.NoteTime[j] = note.time;
    state.NoteHasPin[j] = note.hasPin;
    state.NoteOrder[j] = static_cast<uint16_t>(j);
  }
  MidiBuffer buffer;
  WriteNoteEvents(state, buffer);
  return {buffer.bytes.begin(), buffer.bytes.begin() + buffer.MidiLength};
}

std::vector<uint8_t> TrackEvents(const std::vector<uint8_t>& file) {
  return {file.begin() + 42, file.end() - 8};
}

using Bytes = std::vector<uint8_t>;

TEST(WriteNoteEventsTest, WorkedExample) {
  const Bytes file = EventsOf({{64, 100}, {71, 250}, {64, 550}});
  ASSERT_EQ(file.size(), 65u);
  EXPECT_EQ(Bytes(file.begin() + 18, file.begin() + 22), (Bytes{0, 0, 0, 0x2B}));
  EXPECT_EQ(TrackEvents(file), (Bytes{0x64, 0x90, 0x40, 0x57, 0x81, 0x16, 0x47, 0x5E, 0x82, 0x2C,
                                      0x40, 0x00, 0x00, 0x40, 0x57}));
  EXPECT_EQ(Bytes(file.end() - 8, file.end()),
            (Bytes{0x78, 0xB0, 0x7B, 0x00, 0x14, 0xFF, 0x2F, 0x00}));
}

TEST(WriteNoteEventsTest, OneNoteIsTheSmallestFile) {
  const Bytes file = EventsOf({{52, 20}});
  ASSERT_EQ(file.size(), 54u);
  EXPECT_EQ(TrackEvents(file), (Bytes{0x14, 0x90, 52, 75}));
  EXPECT_EQ(file[21], 32);
}

TEST(WriteNoteEventsTest, ChordsAndRepeatedKeysAtOneTick) {
  EXPECT_EQ(TrackEvents(EventsOf({{64, 10}, {76, 10}})), (Bytes{0x0A, 0x90, 64, 87, 0x00, 76, 99}));
  EXPECT_EQ(TrackEvents(EventsOf({{64, 10}, {64, 10}})),
            (Bytes{0x0A, 0x90, 64, 87, 0x00, 64, 0x00, 0x00, 64, 87}));
}

TEST(WriteNoteEventsTest, AKeysFirstStrikeIsNeverReleasedAndSharedPinsShareTheirFlag) {
  // Key 71 sits on pins 5 and 6: the second strike releases it, whatever pin played it.
  EXPECT_EQ(
      TrackEvents(EventsOf({{52, 0}, {59, 5000}, {71, 5001}, {71, 5002}})),
      (Bytes{0x00, 0x90, 52, 75, 0xA7, 0x08, 59, 82, 0x01, 71, 94, 0x01, 71, 0x00, 0x00, 71, 94}));
}

TEST(WriteNoteEventsTest, VelocityFollowsTheKey) {
  EXPECT_EQ(VelocityOf(52), 75);
  EXPECT_EQ(VelocityOf(64), 87);
  EXPECT_EQ(VelocityOf(100), 123);
}

TEST(WriteNoteEventsTest, LongGapsTakeMoreDeltaBytes) {
  EXPECT_EQ(
      TrackEvents(EventsOf({{52, 0}, {52, 128}, {59, 16512}})),
      (Bytes{0x00, 0x90, 52, 75, 0x81, 0x00, 52, 0x00, 0x00, 52, 75, 0x81, 0x80, 0x00, 59, 82}));
}

TEST(WriteNoteEventsTest, NotesWithoutAKeyAreLeftOut) {
  // The first written note carries the status byte and counts from the set-up events; the
  // next one counts from the last written note.
  EXPECT_EQ(TrackEvents(EventsOf({{0, 5, false}, {64, 100}, {0, 200, false}, {71, 300}})),
            (Bytes{0x64, 0x90, 64, 87, 0x81, 0x48, 71, 94}));
  const Bytes none = EventsOf({{0, 5, false}});
  EXPECT_EQ(none.size(), 50u);
  EXPECT_EQ(none[21], 28);
}

TEST(WriteNoteEventsTest, FiveHundredNotesFitTheBuffer) {
  std::vector<Note> notes;
  for (int i = 0; i < 500; ++i) notes.push_back({71, static_cast<uint16_t>(i * 130)});
  const Bytes file = EventsOf(notes);
  // 4 bytes for the first note, 2 delta + 2 release + 1 zero delta + 2 strike for the others.
  EXPECT_EQ(file.size(), 42u + 4 + 499 * 7 + 8);
}

}  // namespace
}  // namespace tivenor
