#include "engine/making/layout_disc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "engine/disc/geometry.h"
#include "engine/making/choose_transpose.h"
#include "engine/making/layout_error.h"
#include "engine/making/layout_warnings.h"

namespace tivenor {
namespace {

LayoutOptions Untransposed() {
  LayoutOptions options;
  options.transpose = 0;
  return options;
}

TEST(ChooseTransposeTest, ATuneAnOctaveTooLowGoesUpAnOctave) {
  // E2 B2 E3: of these only E3 is on the comb; one and two octaves up all three are.
  const std::vector<NoteOnset> tune = {{0, 40, 0}, {1, 47, 0}, {2, 52, 0}};
  EXPECT_EQ(ChooseTranspose(tune, false), 12);
}

TEST(ChooseTransposeTest, EquallyGoodShiftsGiveTheOneNearestZero) {
  // Key 64 plays as it is; so would every shift that lands on a comb key.
  EXPECT_EQ(ChooseTranspose({{0, 64, 0}}, false), 0);
  // Key 98 is not on the comb; 97 and 99 are, one step either way: upwards wins the tie.
  EXPECT_EQ(ChooseTranspose({{0, 98, 0}}, false), 1);
  // Key 100 counts only when the outer pin is punched.
  EXPECT_EQ(ChooseTranspose({{0, 100, 0}}, false), -1);
  EXPECT_EQ(ChooseTranspose({{0, 100, 0}}, true), 0);
}

TEST(LayoutDiscTest, EveryNoteIsPunchedOrLeftOutOnceDrumsAside) {
  const std::vector<NoteOnset> tune = {{0.0, 64, 0},  {0.5, 36, 9}, {0.5, 66, 1},
                                       {1.0, 82, 0},  {1.0, 64, 0}, {1.0, 64, 0},
                                       {1.5, 100, 0}, {2.0, 71, 0}, {2.0, 38, 9}};
  const DiscLayout layout = LayoutDisc(tune, Untransposed());
  EXPECT_EQ(layout.drumNotes, 2);
  EXPECT_EQ(layout.notes.size() + layout.leftOut.size(), tune.size() - 2);
  ASSERT_EQ(layout.leftOut.size(), 3u);
  // In time order, and at one time by key.
  EXPECT_EQ(LeftOutText(layout.leftOut[0]), "repeats key 64 at the same time");
  EXPECT_EQ(LeftOutText(layout.leftOut[1]), "no pin plays key 82");
  EXPECT_EQ(LeftOutText(layout.leftOut[2]),
            "key 100 is on pin 29, outside the ring the reader scans");
  EXPECT_DOUBLE_EQ(layout.leftOut[2].seconds, 1.5);
}

TEST(LayoutDiscTest, PunchedNotesKeepTheirTimingExactly) {
  std::vector<NoteOnset> tune;
  tune.reserve(24);
  for (int i = 0; i < 24; ++i) tune.push_back({0.37 * i * i / 10.0, PinTones[i], 0});
  const DiscLayout layout = LayoutDisc(tune, Untransposed());
  ASSERT_EQ(layout.notes.size(), tune.size());
  for (const PunchedNote& note : layout.notes) {
    EXPECT_EQ(note.tick, std::lround(layout.ticksPerSecond * note.seconds + layout.tickAtZero));
    EXPECT_EQ(PinTones[note.pin], note.key);
  }
  EXPECT_LT(layout.notes.front().tick, 250);
  EXPECT_GT(layout.notes.back().tick, 3500);
}

TEST(LayoutDiscTest, QuickRepeatsAlternateBetweenTheTwoPinsOfAKey) {
  // Key 71 is on pins 5 and 6; a tenth of a second apart on a 10 s turn is one slot length.
  std::vector<NoteOnset> tune;
  tune.reserve(6);
  for (int i = 0; i < 6; ++i) tune.push_back({i * 0.12, 71, 0});
  LayoutOptions options = Untransposed();
  options.secondsPerTurn = 10.0;
  const DiscLayout layout = LayoutDisc(tune, options);
  ASSERT_EQ(layout.notes.size(), 6u);
  for (std::size_t i = 0; i < layout.notes.size(); ++i) EXPECT_EQ(layout.notes[i].pin, 5 + i % 2);
}

TEST(LayoutDiscTest, ARepeatWithoutRoomIsLeftOutNeverMoved) {
  // Key 64 has one pin (2, at 17.2 mm); 0.05 s at 10 s per turn is 0.54 mm of its track.
  LayoutOptions options = Untransposed();
  options.secondsPerTurn = 10.0;
  const DiscLayout layout = LayoutDisc({{0.0, 64, 0}, {0.05, 64, 0}, {0.5, 64, 0}}, options);
  ASSERT_EQ(layout.notes.size(), 2u);
  EXPECT_DOUBLE_EQ(layout.notes[1].seconds, 0.5);
  ASSERT_EQ(layout.leftOut.size(), 1u);
  EXPECT_EQ(LeftOutText(layout.leftOut[0]), "no room for its slot on pin 2");
  // Both pins of a two-pin key full.
  const DiscLayout both = LayoutDisc({{0.0, 71, 0}, {0.02, 71, 0}, {0.04, 71, 0}}, options);
  ASSERT_EQ(both.leftOut.size(), 1u);
  EXPECT_EQ(LeftOutText(both.leftOut[0]), "no room for its slot on pin 5 or 6");
}

TEST(LayoutDiscTest, SlotsOnOnePinKeepTheirGap) {
  std::vector<NoteOnset> tune;
  tune.reserve(200);
  for (int i = 0; i < 200; ++i) tune.push_back({i * 0.01, 52, 0});
  const DiscLayout layout = LayoutDisc(tune, Untransposed());
  ASSERT_GT(layout.notes.size(), 10u);
  const double radius = PinTrackRadiusMm(0);
  for (std::size_t i = 1; i < layout.notes.size(); ++i) {
    const double arc =
        (layout.notes[i].tick - layout.notes[i - 1].tick) * 2 * M_PI * radius / kTicksPerTurn;
    EXPECT_GE(arc, 1.8 + 0.8 - 0.01);
  }
}

TEST(LayoutDiscTest, TheOuterPinIsPunchedOnlyWhenAskedFor) {
  LayoutOptions options = Untransposed();
  options.outerPin = true;
  const DiscLayout layout = LayoutDisc({{0.0, 100, 0}, {1.0, 64, 0}}, options);
  ASSERT_EQ(layout.notes.size(), 2u);
  EXPECT_EQ(layout.notes[0].pin, 29);
  const std::vector<std::string> warnings = LayoutWarnings(layout);
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0],
            "1 note on pin 29, outside the ring Tivenor's reader scans: it may miss them");
  EXPECT_TRUE(LayoutWarnings(LayoutDisc({{0.0, 64, 0}}, Untransposed())).empty());
}

TEST(LayoutDiscTest, TunesThatGiveNoDiscAreRefused) {
  EXPECT_THROW(LayoutDisc({}, Untransposed()), LayoutError);
  try {
    LayoutDisc({{0.0, 36, 9}, {1.0, 38, 9}}, {});
    ADD_FAILURE() << "a tune of drums makes no disc";
  } catch (const LayoutError& error) {
    EXPECT_STREQ(error.what(), "the tune has only drum notes (channel 10)");
  }
  EXPECT_THROW(LayoutDisc({{0.0, 20, 0}}, Untransposed()), LayoutError);
}

TEST(LayoutDiscTest, TheChosenTransposeIsUsed) {
  const DiscLayout layout = LayoutDisc({{0, 40, 0}, {1, 47, 0}, {2, 52, 0}}, {});
  EXPECT_EQ(layout.transpose, 12);
  ASSERT_EQ(layout.notes.size(), 3u);
  EXPECT_EQ(layout.notes[0].sourceKey, 40);
  EXPECT_EQ(layout.notes[0].key, 52);
}

}  // namespace
}  // namespace tivenor
