#include "programs/punch/punch_format_options.h"

#include <gtest/gtest.h>

#include "tests/support/made_disc_formats.h"

namespace tivenor::cli {
namespace {

using tivenor::testing::OrganetteFormat;
using tivenor::testing::PianoPlayerFormat;

TEST(PunchFormatOptionsTest, AFormatInFractionsOfTheRimNeedsADiameter) {
  const std::optional<std::string> problem = FormatOptionProblem(PianoPlayerFormat(), {});
  ASSERT_TRUE(problem);
  EXPECT_EQ(*problem,
            "the format piano-player-36 gives its sizes in fractions of the rim: give the disc's "
            "size with --diameter MM");
  EXPECT_FALSE(FormatOptionProblem(PianoPlayerFormat(), {.diameter = true}));
  // A format with a size of its own takes another.
  EXPECT_FALSE(FormatOptionProblem(OrganetteFormat(), {}));
  EXPECT_FALSE(FormatOptionProblem(OrganetteFormat(), {.diameter = true}));
}

TEST(PunchFormatOptionsTest, OptionsOfTheBuiltInDiscStayWithIt) {
  EXPECT_FALSE(FormatOptionProblem(BuiltInDiscFormat(), {.slotSize = true, .outerPin = true}));
  EXPECT_EQ(FormatOptionProblem(BuiltInDiscFormat(), {.diameter = true}),
            "--diameter is for other formats than disc-114-30");
  EXPECT_EQ(FormatOptionProblem(OrganetteFormat(), {.slotSize = true}),
            "--slot-length and --slot-width are for disc-114-30; ariston-24 takes its slot sizes "
            "from its format");
  EXPECT_EQ(FormatOptionProblem(OrganetteFormat(), {.outerPin = true}),
            "--outer-pin is for disc-114-30");
}

}  // namespace
}  // namespace tivenor::cli
