// Melodies drawn at several resolutions come back from the MIDI file as drawn: keys exact, times
// within a pixel and a half of arc.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/e2e/melodies.h"
#include "tests/e2e/note_match.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/e2e/track_checks.h"

namespace tivenor::testing {
namespace {

struct Resolution {
  std::string name;
  DiscOptions options;
  bool defaultSettings =
      false;  // the settings' initial values rather than ones fitted to the slots
};

std::vector<Resolution> Resolutions() {
  std::vector<Resolution> all;
  all.push_back({"Dpi150Sharp", DiscOptions{}, true});
  DiscOptions scanned;
  scanned.supersampling = 4;
  scanned.noise = 6;
  all.push_back({"Dpi150Scanned", scanned, true});
  DiscOptions fine;
  fine.dpi = 300;
  fine.supersampling = 2;
  fine.noise = 4;
  all.push_back({"Dpi300", fine, false});
  DiscOptions finest;
  finest.dpi = 600;
  finest.holeWidthMm = 0.6;  // keeps each slot under 500 pixels
  finest.holeLengthMm = 1.2;
  finest.noise = 3;
  all.push_back({"Dpi600", finest, false});
  return all;
}

using MelodyMaker = std::function<Melody()>;

class MelodyTest : public ::testing::TestWithParam<std::tuple<MelodyMaker, Resolution>> {};

TEST_P(MelodyTest, ComesBackAsDrawn) {
  const Melody melody = std::get<0>(GetParam())();
  const Resolution& resolution = std::get<1>(GetParam());
  const HoleSettings settings =
      resolution.defaultSettings ? HoleSettings{} : HoleSettingsFor(resolution.options);
  ASSERT_LT(HoleAreaPixels(resolution.options) * 1.1, 500.0);
  TempFolder folder;

  const StartOutcome run = StartOnPicture(RenderDisc(melody.notes, resolution.options),
                                          folder.File("disc.bmp"), settings);

  ASSERT_TRUE(run.written);
  EXPECT_TRUE(run.host.logLines.empty()) << run.host.logLines.front();
  EXPECT_EQ(run.state.NoteCount, static_cast<int32_t>(melody.notes.size()));
  EXPECT_EQ(TrackFaults(run.midi), "");
  const NoteComparison comparison = CompareNotes(ExpectedNotes(melody.notes), DiscNotesOf(run.midi),
                                                 PixelsPerMm(resolution.options));
  EXPECT_EQ(comparison.differences, "");
  RecordProperty("worst_tick_error", comparison.worstTickError);
  RecordProperty("mean_error_millipixels", static_cast<int>(comparison.meanErrorPixels * 1000));
}

INSTANTIATE_TEST_SUITE_P(
    Discs, MelodyTest,
    ::testing::Combine(::testing::Values(MelodyMaker(ScaleWithChords), MelodyMaker(RepeatedKeys),
                                         MelodyMaker(AcrossTheRevolution), MelodyMaker(EveryPin)),
                       ::testing::ValuesIn(Resolutions())),
    [](const auto& info) {
      return std::get<0>(info.param)().name + "_" + std::get<1>(info.param).name;
    });

// Every repeated key is released at the tick it is struck again, even across its two pins.
TEST(RepeatedKeys, EachRestrikeFollowsARelease) {
  const Melody melody = RepeatedKeys();
  TempFolder folder;
  const StartOutcome run =
      StartOnPicture(RenderDisc(melody.notes), folder.File("disc.bmp"), HoleSettings{});
  ASSERT_TRUE(run.written);
  const std::vector<MidiNote> releases = Releases(run.midi);
  std::vector<int> releasedKeys;
  for (const MidiNote& note : releases) releasedKeys.push_back(note.key);
  // 88 struck four times and then twice at one tick, 71 four times over its two pins, 52 three
  // times, 92 once on each of its pins; 99 only once, so never released.
  EXPECT_EQ(releasedKeys, (std::vector<int>{88, 88, 88, 88, 88, 71, 71, 71, 52, 52, 92}));
  const std::vector<MidiNote> strikes = DiscNotesOf(run.midi);
  ASSERT_FALSE(strikes.empty());
  EXPECT_EQ(strikes.back().key, 99);
}

// The outermost pin lies just beyond the scanned ring: its slots are read from the part inside.
TEST(OutermostPin, SlotsCutByTheRingStillGiveKey100) {
  const std::vector<DiscNote> notes = {{29, 500}, {28, 1000}, {29, 1500}, {27, 2000}};
  DiscOptions options;
  options.dpi = 300;
  TempFolder folder;
  const StartOutcome run =
      StartOnPicture(RenderDisc(notes, options), folder.File("disc.bmp"), HoleSettingsFor(options));
  ASSERT_TRUE(run.written);
  EXPECT_EQ(
      CompareNotes(ExpectedNotes(notes), DiscNotesOf(run.midi), PixelsPerMm(options)).differences,
      "");
}

// More notes than a byte can number are ranked and written all the same.
TEST(ManyNotes, ThreeHundredNotesAreAllWritten) {
  const Melody melody = ManyNotes(300);
  TempFolder folder;
  const StartOutcome run =
      StartOnPicture(RenderDisc(melody.notes), folder.File("disc.bmp"), HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(run.state.NoteCount, 300);
  EXPECT_EQ(TrackFaults(run.midi), "");
  EXPECT_EQ(
      CompareNotes(ExpectedNotes(melody.notes), DiscNotesOf(run.midi), PixelsPerMm({})).differences,
      "");
}

}  // namespace
}  // namespace tivenor::testing
