// The maker's pictures of discs of each bundled format and of a format file of our own, seen as a
// camera sees a made disc: backlit on a light box, and front-lit on a white sheet with a paper
// label; tivenor-convert reads each photo back by the format's name and with --format auto. The
// camera looks square-on through a lens without bend.

#include <gtest/gtest.h>

#include <filesystem>

#include <cstdio>
#include <string>
#include <vector>

#include "adapters/paint/disc_page.h"
#include "adapters/picture/picture_file.h"
#include "tests/punch/made_formats.h"
#include "tests/punch/punch_run.h"
#include "tests/support/photo_file.h"
#include "tests/support/photo_look.h"

namespace tivenor::testing {
namespace {

// The maker's default resolution; the photo shows the disc a little larger.
constexpr int kCleanDpi = 150;
constexpr double kPhotoMegapixels = 8.0;

struct PhotoCase {
  MadeFormat made;
  Lighting lighting = Lighting::kBacklit;
};

void PrintTo(const PhotoCase& c, std::ostream* out) {
  *out << c.made.name << (c.lighting == Lighting::kBacklit ? " backlit" : " front-lit");
}

std::vector<PhotoCase> PhotoCases(Lighting lighting) {
  std::vector<PhotoCase> cases;
  for (const MadeFormat& made : MadeFormats()) cases.push_back({made, lighting});
  return cases;
}

class MadeDiscPhoto : public ::testing::TestWithParam<PhotoCase> {};

TEST_P(MadeDiscPhoto, EveryNoteComesBackOnItsKeyAtItsTime) {
  const PhotoCase& c = GetParam();
  TempFolder folder;
  const DiscFormat format = PrepareFormat(c.made, folder);
  const FormatSong song = SongFor(format, DiameterMm(c.made, format), 11);
  WriteFileBytes(folder.File("tune.mid"), SongFormat0(song.song));
  const ProgramRun punch =
      RunPunch(folder, "tune.mid -o disc.png --report report.json --dpi " +
                           std::to_string(kCleanDpi) + " " + PunchFormatArguments(c.made));
  ASSERT_EQ(punch.exitCode, 0) << punch.errors;
  const PunchReport report = ReadReport(folder.File("report.json"));
  ASSERT_EQ(report.notes.size(), song.notes.size()) << punch.errors;

  // The maker draws the disc in the middle of its page; the photo prints its own start line on
  // the label where the maker printed one.
  const Raster clean = LoadPicture(folder.File("disc.png"));
  const double pixelsPerMm = clean.width / (report.diameterMm + 2 * kPageMarginMm);
  const CleanDisc disc{(clean.width - 1) * 0.5, (clean.height - 1) * 0.5,
                       report.diameterMm / 2 * pixelsPerMm, format.labelRadius};
  PhotoOptions options;
  options.lighting = c.lighting;
  options.camera = CameraOfMegapixels(kPhotoMegapixels);
  options.camera.tiltDegrees = 0.0;
  options.camera.lensDistortion = 0.0;
  options.startLineDegrees = report.startDegrees;
  const Photo photo = MakePhoto(clean, disc, options);
  WritePhoto(photo.picture, folder.File("photo.jpg"));

  const ProgramRun named =
      RunConvert(folder, "--format " + c.made.argument + " -o named.mid photo.jpg");
  ASSERT_EQ(named.exitCode, 0) << named.errors;
  // Front-lit, the shade at a hole's wall can cut a sliver off a slot: such a fragment is reported
  // and kept out, never keyed; the comparison below finds any extra note.
  const bool frontLit = c.lighting == Lighting::kFrontLit;
  if (!frontLit) {
    EXPECT_EQ(named.errors.find("warning"), std::string::npos) << named.errors;
  }
  const TuneComparison comparison =
      CompareWithSong(folder.File("named.mid"), song, format,
                      ToleranceDegrees(format, photo.truth.camera.discRadiusPx),
                      named.errors.find("start at the printed line") != std::string::npos);
  EXPECT_EQ(comparison.differences, "");
  EXPECT_EQ(comparison.matched, static_cast<int>(song.notes.size()));
  RecordProperty("worst_onset_degrees", std::to_string(comparison.worstOnset));
  RecordProperty("worst_length_degrees", std::to_string(comparison.worstLength));
  std::printf("%s photo: %d of %zu notes, worst onset %.3f deg, worst length %.3f deg\n",
              c.made.name.c_str(), comparison.matched, song.notes.size(), comparison.worstOnset,
              comparison.worstLength);

  const ProgramRun chosen = RunConvert(folder, "--format auto -o chosen.mid photo.jpg");
  if (c.made.bundled && frontLit) {
    ASSERT_EQ(chosen.exitCode, 0) << chosen.errors;
    EXPECT_NE(chosen.errors.find("; format " + format.name + " (auto: "), std::string::npos)
        << chosen.errors;
    const TuneComparison chosenComparison =
        CompareWithSong(folder.File("chosen.mid"), song, format,
                        ToleranceDegrees(format, photo.truth.camera.discRadiusPx),
                        chosen.errors.find("start at the printed line") != std::string::npos);
    EXPECT_EQ(chosenComparison.differences, "");
  } else {
    ExpectAutoAgreesWithTheName(chosen, format, c.made.bundled, folder);
  }
}

std::string CaseName(const ::testing::TestParamInfo<PhotoCase>& info) {
  return info.param.made.name;
}

INSTANTIATE_TEST_SUITE_P(Backlit, MadeDiscPhoto,
                         ::testing::ValuesIn(PhotoCases(Lighting::kBacklit)), CaseName);
INSTANTIATE_TEST_SUITE_P(FrontLit, MadeDiscPhoto,
                         ::testing::ValuesIn(PhotoCases(Lighting::kFrontLit)), CaseName);

}  // namespace
}  // namespace tivenor::testing
