#include "engine/slots/format_fit.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/slots/format_choice.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/track_grid.h"
#include "tests/support/test_formats.h"
#include "tests/unit/slot_of_size.h"

namespace tivenor {
namespace {

using testing::Ariston24;
using testing::PianoPlayer36;

using testing::Slot;

// `count` slots of the organette disc, on its tracks in turn.
std::vector<SlotShape> AristonSlots(int count) {
  const DiscFormat format = Ariston24();
  std::vector<SlotShape> shapes;
  for (int i = 0; i < count; ++i) {
    const auto track = static_cast<std::size_t>((i * 7) % format.TrackCount());
    shapes.push_back(Slot(format.trackRadii[track], 0.021, 0.03 + 0.01 * (i % 5)));
  }
  return shapes;
}

// Patches of a slot's size at radii strewn over the organette disc's ring by a fixed sequence.
std::vector<SlotShape> StrewnPatches(int count) {
  const DiscFormat format = Ariston24();
  std::vector<SlotShape> shapes;
  uint32_t bits = 2024;
  for (int i = 0; i < count; ++i) {
    bits = bits * 1664525u + 1013904223u;
    const double at = static_cast<double>(bits >> 8) / static_cast<double>(1u << 24);
    shapes.push_back(
        Slot(format.ringInner + at * (format.ringOuter - format.ringInner), 0.018, 0.04));
  }
  return shapes;
}

const std::vector<DiscFormat>& Known() {
  static const std::vector<DiscFormat> known = {BuiltInDiscFormat(), Ariston24(), PianoPlayer36()};
  return known;
}

std::optional<FormatMisfit> MisfitOf(const std::vector<SlotShape>& shapes, const DiscFormat& format,
                                     const std::vector<DiscFormat>& known = Known()) {
  return FindMisfit(shapes, format, KeySlots(shapes, format), known);
}

struct RuleCase {
  std::string name;
  int slotSized = 0;
  int offTrack = 0;
  bool fits = false;
};

void PrintTo(const RuleCase& c, std::ostream* out) {
  *out << c.name;
}

class OffTrackRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(OffTrackRule, DecidesAtItsBoundary) {
  FormatScore score;
  score.slotSized = GetParam().slotSized;
  score.onTrack = GetParam().slotSized - GetParam().offTrack;
  EXPECT_EQ(FitsTracks(score), GetParam().fits) << score.OffTrackPercent() << "%";
}

// The share is decided as the texts round it, so a refusal never says "10%".
INSTANTIATE_TEST_SUITE_P(
    Shares, OffTrackRule,
    ::testing::Values(RuleCase{"TenPercentFits", 100, 10, true},
                      RuleCase{"ElevenPercentIsRefused", 100, 11, false},
                      RuleCase{"TenAndAHalfRoundsUpAndIsRefused", 200, 21, false},
                      RuleCase{"JustBelowTenAndAHalfRoundsDownAndFits", 2000, 209, true},
                      RuleCase{"TwoOffTrackNeverRefuse", 4, 2, true},
                      RuleCase{"ThreeOffTrackAreEnough", 20, 3, false},
                      RuleCase{"NoSlotsFit", 0, 0, true}),
    [](const auto& info) { return info.param.name; });

TEST(FormatMisfit, TheFormatOfTheSlotsFitsThem) {
  const std::vector<SlotShape> shapes = AristonSlots(80);
  EXPECT_FALSE(MisfitOf(shapes, Ariston24()));
}

TEST(FormatMisfit, AnotherFormatIsRefusedAndTheFittingOneNamed) {
  const std::vector<SlotShape> shapes = AristonSlots(80);
  const std::optional<FormatMisfit> misfit = MisfitOf(shapes, PianoPlayer36());
  ASSERT_TRUE(misfit);
  EXPECT_EQ(misfit->format, "piano-player-36");
  EXPECT_GT(misfit->offTrackPercent, kMostOffTrackPercent);
  EXPECT_EQ(misfit->closest, "ariston-24");
  EXPECT_EQ(misfit->closestOffTrackPercent, 0);
  EXPECT_TRUE(misfit->closestFits);
}

TEST(FormatMisfit, PatchesStrewnAtRandomFitNoFormat) {
  const std::vector<SlotShape> shapes = StrewnPatches(200);
  for (const DiscFormat& format : Known()) {
    const std::optional<FormatMisfit> misfit = MisfitOf(shapes, format);
    ASSERT_TRUE(misfit) << format.name;
    EXPECT_FALSE(misfit->closestFits) << format.name;
    EXPECT_GT(misfit->closestOffTrackPercent, kMostOffTrackPercent) << format.name;
  }
  // --format auto: the candidate chosen does not fit them either.
  const std::vector<FormatScore> scores = ScoreFormats(shapes, Known());
  const std::optional<FormatMisfit> chosen = FindMisfit(scores, Known(), scores.front().candidate);
  ASSERT_TRUE(chosen);
  EXPECT_FALSE(chosen->closestFits);
}

// A few notes and a few specks: two specks between the tracks are no sign of another disc, three
// are.
TEST(FormatMisfit, AShortTuneTakesThreeSlotsOffTrack) {
  const DiscFormat format = Ariston24();
  const double between = format.trackRadii[3] + 0.5 * TrackPitch(format);
  std::vector<SlotShape> shapes = AristonSlots(5);
  shapes.push_back(Slot(between, 0.018, 0.03));
  shapes.push_back(Slot(between, 0.018, 0.05));
  EXPECT_FALSE(MisfitOf(shapes, format));
  shapes.push_back(Slot(between, 0.018, 0.07));
  EXPECT_TRUE(MisfitOf(shapes, format));
}

// The label's print lies inside the piano player's ring and looks like its slots there; outside
// the organette disc's ring it counts for nothing against the organette disc.
TEST(FormatMisfit, PatchesOutsideTheFormatsRingDoNotCount) {
  const DiscFormat piano = PianoPlayer36();
  std::vector<SlotShape> shapes = AristonSlots(10);
  for (int i = 0; i < 4; ++i) shapes.push_back(Slot(piano.trackRadii[1], 0.014, 0.03 + 0.01 * i));
  const std::vector<DiscFormat> pianoKnown = {PianoPlayer36()};
  ASSERT_EQ(ScoreFormats(shapes, pianoKnown).front().onTrack, 14);  // the piano player's slots
  EXPECT_FALSE(MisfitOf(shapes, Ariston24()));
  // The same among candidates, as --format auto weighs them.
  EXPECT_FALSE(FindMisfit(ScoreFormats(shapes, Known()), Known(), 1));
}

// Tears wider than any track: no format takes them for slots, so they count against none.
TEST(FormatMisfit, PatchesNoFormatKeysDoNotCount) {
  const DiscFormat format = Ariston24();
  std::vector<SlotShape> shapes = AristonSlots(20);
  for (std::size_t track = 4; track < 22; track += 3)
    shapes.push_back(Slot(format.trackRadii[track], 0.09, 0.05));
  EXPECT_FALSE(MisfitOf(shapes, format));
}

// A format file may take a bundled format's name: the closest is then never that other format
// under the same name.
TEST(FormatMisfit, AGivenFormatStandsForTheKnownOneOfItsName) {
  DiscFormat renamed = PianoPlayer36();
  renamed.name = "ariston-24";
  const std::optional<FormatMisfit> misfit =
      MisfitOf(AristonSlots(80), renamed, std::vector<DiscFormat>{Ariston24()});
  ASSERT_TRUE(misfit);
  EXPECT_EQ(misfit->closest, "ariston-24");
  EXPECT_FALSE(misfit->closestFits);
}

TEST(FormatMisfit, TextSaysWhichFormatCameClosest) {
  FormatMisfit none;
  none.format = "piano-player-36";
  none.offTrackPercent = 52;
  none.closest = "ariston-24";
  none.closestOffTrackPercent = 41;
  EXPECT_EQ(MisfitText(none),
            "the slots do not fit any known format: closest ariston-24, 41% of slots off-track");

  FormatMisfit another = none;
  another.offTrackPercent = 27;
  another.closestOffTrackPercent = 0;
  another.closestFits = true;
  EXPECT_EQ(MisfitText(another),
            "the slots do not fit piano-player-36 (27% of slots off-track): closest ariston-24, "
            "0% of slots off-track");
}

}  // namespace
}  // namespace tivenor
