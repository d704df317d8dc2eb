// Tunes written as MIDI files become discs of each bundled format and of a format file of our own
// with tivenor-punch, as pictures from 100 to 600 dpi, and tivenor-convert reads each back, by the
// format's name and with --format auto: every note on its key, its onset and length within a
// fraction of a degree of the song's.

#include <gtest/gtest.h>

#include <filesystem>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/punch/made_formats.h"
#include "tests/punch/punch_run.h"

namespace tivenor::testing {
namespace {

constexpr double kMmPerInch = 25.4;

struct RoundTripCase {
  MadeFormat made;
  int dpi = 150;
};

void PrintTo(const RoundTripCase& c, std::ostream* out) {
  *out << c.made.name << " at " << c.dpi << " dpi";
}

std::vector<RoundTripCase> RoundTripCases() {
  std::vector<RoundTripCase> cases;
  for (const MadeFormat& made : MadeFormats()) {
    // 100 dpi: the coarsest picture on which a piano player's disc of 30 cm once lost its slots.
    for (const int dpi : {100, 150, 300, 600}) cases.push_back({made, dpi});
  }
  return cases;
}

class MadeDiscRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(MadeDiscRoundTrip, EveryNoteComesBackOnItsKeyAtItsTime) {
  const RoundTripCase& c = GetParam();
  TempFolder folder;
  const DiscFormat format = PrepareFormat(c.made, folder);
  const FormatSong song = SongFor(format, DiameterMm(c.made, format), 7);
  WriteFileBytes(folder.File("tune.mid"), SongFormat0(song.song));

  const ProgramRun punch = RunPunch(folder, "tune.mid -o disc.png --dpi " + std::to_string(c.dpi) +
                                                " " + PunchFormatArguments(c.made));
  ASSERT_EQ(punch.exitCode, 0) << punch.errors;
  // Every note punched as the song gives it, and nothing to warn about.
  EXPECT_EQ(punch.errors, "tune.mid: " + std::to_string(song.notes.size()) +
                              " notes punched, 0 left out, transpose +0, written disc.png\n");

  const ProgramRun named =
      RunConvert(folder, "--format " + c.made.argument + " -o named.mid disc.png");
  ASSERT_EQ(named.exitCode, 0) << named.errors;
  EXPECT_EQ(named.errors.find("warning"), std::string::npos) << named.errors;
  const double pixelsPerRim = DiameterMm(c.made, format) / 2 * c.dpi / kMmPerInch;
  const TuneComparison comparison = CompareWithSong(folder.File("named.mid"), song, format,
                                                    ToleranceDegrees(format, pixelsPerRim));
  EXPECT_EQ(comparison.differences, "");
  EXPECT_EQ(comparison.matched, static_cast<int>(song.notes.size()));
  RecordProperty("worst_onset_degrees", std::to_string(comparison.worstOnset));
  RecordProperty("worst_length_degrees", std::to_string(comparison.worstLength));
  std::printf("%s at %d dpi: %d of %zu notes, worst onset %.3f deg, worst length %.3f deg\n",
              c.made.name.c_str(), c.dpi, comparison.matched, song.notes.size(),
              comparison.worstOnset, comparison.worstLength);

  const ProgramRun chosen = RunConvert(folder, "--format auto -o chosen.mid disc.png");
  ExpectAutoAgreesWithTheName(chosen, format, c.made.bundled, folder);
}

INSTANTIATE_TEST_SUITE_P(Formats, MadeDiscRoundTrip, ::testing::ValuesIn(RoundTripCases()),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) {
                           return info.param.made.name + "_" + std::to_string(info.param.dpi) +
                                  "dpi";
                         });

}  // namespace
}  // namespace tivenor::testing
