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

}  // namespace
}  // namespace tivenor::cli
