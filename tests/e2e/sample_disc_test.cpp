// The bundled sample disc converts to exactly the melody it was drawn from.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "tests/e2e/note_match.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/e2e/track_checks.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {
namespace {

const std::string kSample = std::string(TIVENOR_SAMPLES_DIR) + "/twinkle.bmp";

TEST(SampleDisc, IsA24BitBmpOfAbout150Dpi) {
  const std::vector<uint8_t> bytes = ReadFileBytes(kSample);
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(bytes[28] | bytes[29] << 8, 24);
  const int width = bytes[18] | bytes[19] << 8;
  EXPECT_NEAR(width / 150.0 * 25.4, 122.0, 1.0);  // 114 mm of disc and its margins
}

TEST(SampleDisc, ConvertsToItsMelody) {
  // Work on a copy: the MIDI file is written beside the picture.
  TempFolder folder;
  const std::string copy = folder.File("twinkle.bmp");
  std::filesystem::copy_file(kSample, copy);
  const StartOutcome run = StartOnPictureFile(copy, HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(run.state.MidiFileName, folder.File("twinkle.mid"));
  EXPECT_EQ(TrackFaults(run.midi), "");

  const std::vector<ExpectedNote> melody = ExpectedNotes(SampleMelody());
  const std::vector<MidiNote> read = DiscNotesOf(run.midi);
  const double pixelsPerMm = PixelsPerMm(SampleDiscOptions());
  EXPECT_EQ(CompareNotes(melody, read, pixelsPerMm).differences, "");
  // Every note lands on its beat: rounded to the beat grid, the times are the melody's.
  ASSERT_EQ(read.size(), melody.size());
  std::vector<ExpectedNote> onBeats;
  for (const MidiNote& note : read) {
    const double beat =
        std::round((static_cast<double>(note.tick) - kSampleFirstTick) / kSampleBeatTicks);
    onBeats.push_back({note.key, kSampleFirstTick + static_cast<int>(beat) * kSampleBeatTicks,
                       PinOfKey(note.key)});
  }
  std::sort(onBeats.begin(), onBeats.end(), [](const ExpectedNote& a, const ExpectedNote& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.key < b.key;
  });
  EXPECT_EQ(onBeats, melody);
}

}  // namespace
}  // namespace tivenor::testing
