#include "engine/slots/slot_keying.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/slots/format_choice.h"
#include "tests/support/test_formats.h"
#include "tests/unit/slot_of_size.h"

namespace tivenor {
namespace {

using testing::Ariston24;
using testing::PianoPlayer36;

using testing::Slot;

// Slots of a format's typical size on some of its tracks, a few lengths each.
std::vector<SlotShape> SlotsOf(const DiscFormat& format, double width, double length, int step) {
  std::vector<SlotShape> shapes;
  for (std::size_t k = 0; k < format.trackRadii.size(); k += static_cast<std::size_t>(step)) {
    for (const double share : {1.0, 1.5, 0.7})
      shapes.push_back(Slot(format.trackRadii[k], width, length * share));
  }
  return shapes;
}

TEST(SlotKeying, KeysEachSlotByItsNearestTrack) {
  const DiscFormat format = Ariston24();
  const std::vector<SlotShape> shapes = SlotsOf(format, 0.021, 0.05, 3);
  const KeyedSlots keyed = KeySlots(shapes, format);
  EXPECT_EQ(keyed.keyed, static_cast<int>(shapes.size()));
  EXPECT_EQ(keyed.keptOut, 0);
  for (std::size_t i = 0; i < shapes.size(); ++i)
    EXPECT_EQ(keyed.tracks[i], static_cast<int>(i / 3 * 3));
  EXPECT_LT(keyed.meanOffset, 0.01);
}

TEST(SlotKeying, KeepsOutWhatIsNoSlotAndSaysWhy) {
  const DiscFormat format = Ariston24();
  std::vector<SlotShape> shapes = SlotsOf(format, 0.021, 0.05, 2);
  const double pitch = TrackPitch(format);
  const std::size_t slots = shapes.size();
  shapes.push_back(Slot(format.trackRadii[4] + 0.5 * pitch, 0.015, 0.05));  // between tracks
  shapes.push_back(Slot(format.trackRadii[8], 2.2 * pitch, 0.05));          // over three tracks
  shapes.push_back(Slot(format.trackRadii[9], 0.004, 0.004));               // a speck
  shapes.push_back(Slot(0.2, 0.02, 0.03));                                  // a drive hole
  SlotShape ring = Slot(0.5, 0.02, 3.0);
  ring.encirclesCentre = true;
  shapes.push_back(ring);
  SlotShape label = Slot(0.37, 0.015, 2.3);  // the edge of a light label, just inside the ring
  label.encirclesCentre = true;
  shapes.push_back(label);
  const KeyedSlots keyed = KeySlots(shapes, format);
  EXPECT_EQ(keyed.keyed, static_cast<int>(slots));
  EXPECT_EQ(keyed.verdicts[slots], SlotVerdict::kOffTrack);
  EXPECT_EQ(keyed.verdicts[slots + 1], SlotVerdict::kTooWide);
  EXPECT_EQ(keyed.verdicts[slots + 2], SlotVerdict::kTooSmall);
  EXPECT_EQ(keyed.verdicts[slots + 3], SlotVerdict::kOutsideRing);
  EXPECT_EQ(keyed.verdicts[slots + 4], SlotVerdict::kRing);
  EXPECT_EQ(keyed.verdicts[slots + 5], SlotVerdict::kOutsideRing);
  EXPECT_EQ(keyed.keptOut, 4);  // outside the ring is not this disc's business
  EXPECT_STREQ(VerdictText(SlotVerdict::kOffTrack), "fits no track");
}

TEST(SlotKeying, APluckedFormatTakesNoLongSlots) {
  DiscFormat format = Ariston24();
  format.notes = NoteKind::kPlucked;
  const std::vector<SlotShape> shapes = {Slot(format.trackRadii[5], 0.021, 0.05),
                                         Slot(format.trackRadii[6], 0.021, 1.6 * 60.0 / 165.0)};
  const KeyedSlots keyed = KeySlots(shapes, format);
  EXPECT_EQ(keyed.verdicts[0], SlotVerdict::kKeyed);
  EXPECT_EQ(keyed.verdicts[1], SlotVerdict::kTooLong);
}

TEST(SlotKeying, SearchesAPitchBeyondTheFormatsRing) {
  const DiscFormat format = Ariston24();
  const RingRadii ring = SearchRing(format);
  EXPECT_NEAR(ring.inner, format.ringInner - TrackPitch(format), 1e-12);
  EXPECT_NEAR(ring.outer, format.ringOuter + TrackPitch(format), 1e-12);
}

TEST(FormatChoice, PicksTheFormatWhoseTracksTheSlotsLieOn) {
  const std::vector<DiscFormat> candidates = {BuiltInDiscFormat(), Ariston24(), PianoPlayer36()};
  const std::vector<SlotShape> ariston = SlotsOf(Ariston24(), 0.021, 0.06, 1);
  std::vector<FormatScore> scores = ScoreFormats(ariston, candidates);
  EXPECT_EQ(scores.front().candidate, 1u);
  EXPECT_DOUBLE_EQ(scores.front().Share(), 1.0);
  EXPECT_LT(scores[1].Score(), 0.9);

  const std::vector<SlotShape> piano = SlotsOf(PianoPlayer36(), 0.015, 0.05, 1);
  EXPECT_EQ(ScoreFormats(piano, candidates).front().candidate, 2u);

  // Short, narrow holes on the built-in disc's pins, but the last, which its ring cuts.
  std::vector<SlotShape> builtIn = SlotsOf(BuiltInDiscFormat(), 0.8 / 57, 1.6 / 57, 1);
  builtIn.resize(builtIn.size() - 3);
  scores = ScoreFormats(builtIn, candidates);
  EXPECT_EQ(scores.front().candidate, 0u);
  EXPECT_EQ(AutoFormatText("disc-114-30", scores.front()),
            "format disc-114-30 (auto: 100% of slots on track)");
}

TEST(FormatChoice, PatchesNoCandidateKeysDoNotCount) {
  const std::vector<DiscFormat> candidates = {Ariston24()};
  std::vector<SlotShape> shapes = SlotsOf(Ariston24(), 0.021, 0.06, 2);
  shapes.push_back(Slot(0.2, 0.02, 0.03));  // a drive hole
  const FormatScore score = ScoreFormats(shapes, candidates).front();
  EXPECT_EQ(score.counted, score.onTrack);
}

}  // namespace
}  // namespace tivenor
