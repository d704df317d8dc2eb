#include "programs/punch/punch_reading_advice.h"

#include <gtest/gtest.h>

namespace tivenor::cli {
namespace {

TEST(ReadingAdviceTest, TheDefaultSlotsReadAt150DpiWithTheDefaultSettings) {
  EXPECT_NEAR(SlotPixels(1.8, 0.7, 150), 43.9, 0.1);
  EXPECT_EQ(ReadingAdvice(1.8, 0.7, 150), std::nullopt);
}

TEST(ReadingAdviceTest, OtherResolutionsSayWhatToSet) {
  EXPECT_EQ(ReadingAdvice(1.8, 0.7, 300),
            "slots of about 176 pixels at 300 dpi: read it back with --minimum 87 --maximum 264");
  EXPECT_EQ(ReadingAdvice(1.8, 0.7, 600),
            "slots of about 703 pixels at 600 dpi: more than the reader's 500 pixels a hole; use "
            "a lower --dpi to read it back");
  EXPECT_EQ(ReadingAdvice(0.5, 0.2, 50),
            "slots of about 0 pixels at 50 dpi: too small to read back; use a higher --dpi");
}

// A piano player's disc of 30 cm: 0.8 mm of card between slots on a track, 0.45 mm between
// tracks, slots 2.3 mm wide.
FormatPlacement PianoPlayerPlacement() {
  FormatPlacement placement;
  placement.slotWidthMm = 2.32;
  placement.webMm = 0.8;
  placement.trackWebMm = 0.45;
  return placement;
}

TEST(ReadingAdviceTest, OtherFormatsNeedEnoughPixelsForTheCardBetweenSlots) {
  const FormatPlacement placement = PianoPlayerPlacement();
  EXPECT_EQ(FormatReadingAdvice(placement, 150), std::nullopt);
  EXPECT_EQ(FormatReadingAdvice(placement, 85), std::nullopt);
  EXPECT_EQ(FormatReadingAdvice(placement, 60),
            "the thinnest card between slots, 0.45 mm, covers 1.1 pixels at 60 dpi: too few to "
            "read the slots back apart; use --dpi 85 or more");
}

TEST(ReadingAdviceTest, NarrowSlotsNeedTheirPixelsToo) {
  FormatPlacement placement = PianoPlayerPlacement();
  placement.slotWidthMm = 0.3;
  EXPECT_EQ(FormatReadingAdvice(placement, 100),
            "the narrowest slots, 0.30 mm, cover 1.2 pixels at 100 dpi: too few to read the "
            "slots back apart; use --dpi 127 or more");
  EXPECT_EQ(FormatReadingAdvice(placement, 127), std::nullopt);
}

}  // namespace
}  // namespace tivenor::cli
