// A disc lies on the scanner at any angle: turned by whole sectors, its start gap moves with it
// and the notes keep their times.

#include <gtest/gtest.h>

#include <string>

#include <cmath>
#include <numbers>

#include "tests/e2e/melodies.h"
#include "tests/e2e/note_match.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"

namespace tivenor::testing {
namespace {

class TurnedDisc : public ::testing::TestWithParam<int> {};

TEST_P(TurnedDisc, GivesTheSameNotes) {
  const Melody melody = AcrossTheRevolution();
  DiscOptions options;
  options.rotationSectors = GetParam();
  options.supersampling = 3;
  TempFolder folder;
  const StartOutcome run =
      StartOnPicture(RenderDisc(melody.notes, options), folder.File("disc.bmp"), HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(CompareNotes(ExpectedNotes(melody.notes), DiscNotesOf(run.midi), PixelsPerMm(options))
                .differences,
            "");
  // The start line points into the middle of the gap sector.
  ASSERT_EQ(run.host.startLines.size(), 1u);
  const auto [from, to] = run.host.startLines.front();
  const double direction = std::atan2(-(to.y - from.y), to.x - from.x) / (2.0 * std::numbers::pi);
  const double expected = StartDirection(GapSector(options));
  EXPECT_NEAR(direction - std::floor(direction), expected, 0.002);
}

INSTANTIATE_TEST_SUITE_P(BySectors, TurnedDisc, ::testing::Values(0, 1, 5, 12, 17, 23),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "TurnedBy" + std::to_string(info.param) + "Sectors";
                         });

}  // namespace
}  // namespace tivenor::testing
