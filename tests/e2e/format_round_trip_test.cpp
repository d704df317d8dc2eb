// Discs of other formats drawn, read through the road and their MIDI bytes read back: every note
// on its key, its onset and length within a fraction of a degree.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "engine/disc/disc_format.h"
#include "tests/e2e/format_read.h"
#include "tests/e2e/format_tunes.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/test_formats.h"

namespace tivenor::testing {
namespace {

// At 150 dpi a pixel on the innermost track of the smallest disc here spans a quarter of a
// degree: a slot's ends are known to about a pixel.
constexpr double kToleranceDegrees = 0.3;

struct RoundTripCase {
  std::string name;
  DiscFormat format;
  double dpi;
};

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;
  for (const DiscFormat& format : {Ariston24(), PianoPlayer36(), Clockwise20()}) {
    for (const double dpi : {150.0, 300.0, 600.0}) cases.push_back({"", format, dpi});
  }
  for (RoundTripCase& c : cases) {
    c.name = c.format.name + "_" + std::to_string(static_cast<int>(c.dpi)) + "dpi";
    std::replace(c.name.begin(), c.name.end(), '-', '_');
  }
  return cases;
}

void PrintTo(const RoundTripCase& c, std::ostream* out) {
  *out << c.name;
}

class FormatRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(FormatRoundTrip, EveryNoteOnItsKeyAtItsTime) {
  const RoundTripCase& c = GetParam();
  const double turn = c.format.turnSeconds;
  TuneSpec spec;
  spec.notes = 120;
  spec.seed = static_cast<uint32_t>(c.format.TrackCount());
  const std::vector<TuneNote> tune = TuneFor(c.format, turn, spec);
  const SlotPlacement placement;
  const Raster picture = RenderFormatDisc(c.format, SlotsOfTune(c.format, tune, turn, placement),
                                          RenderOptions(c.format, c.dpi));
  const FormatRead read = ReadFormatPicture(picture, ReadAs(c.format));
  ASSERT_FALSE(read.reading.noNotes);
  EXPECT_EQ(read.reading.offTrack, 0);
  const TuneComparison comparison =
      CompareTune(ExpectedDegrees(tune, turn, OriginBefore(c.format, placement)),
                  ReadDegrees(read.reading.midi, turn), kToleranceDegrees);
  EXPECT_EQ(comparison.differences, "");
  EXPECT_EQ(comparison.matched, static_cast<int>(tune.size()));
  RecordProperty("worst_onset_degrees", std::to_string(comparison.worstOnset));
  RecordProperty("worst_length_degrees", std::to_string(comparison.worstLength));
  std::printf("%s: %zu notes, worst onset %.3f deg, worst length %.3f deg\n", c.name.c_str(),
              tune.size(), comparison.worstOnset, comparison.worstLength);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatRoundTrip, ::testing::ValuesIn(RoundTripCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tivenor::testing
