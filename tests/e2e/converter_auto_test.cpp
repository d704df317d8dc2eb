// tivenor-convert --auto as a user runs it: the summary names the settings it used, settings
// given on the command line win, a fine scan is marked on the picture as given, and results
// that look wrong come with a warning saying what to try.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/note_match.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {
namespace {

bool Says(const ConverterRun& run, const std::string& text) {
  return run.errors.find(text) != std::string::npos;
}

class ConverterAuto : public ::testing::Test {
 protected:
  std::string Draw(const std::string& name, const DiscOptions& options) {
    WriteBmp(RenderDisc(notes_, options), BmpFormat::Rgb24, folder_.File(name));
    return name;
  }
  std::string NotesDiffer(const std::string& midi, double pixelsPerMm) const {
    return CompareNotes(ExpectedNotes(notes_), DiscNotesOf(ReadMidiFile(folder_.File(midi))),
                        pixelsPerMm)
        .differences;
  }

  std::vector<DiscNote> notes_ = SampleMelody();
  TempFolder folder_;
};

TEST_F(ConverterAuto, SummaryNamesTheFittedSettings) {
  Draw("disc.bmp", RealSizeScan(300, 4));
  const ConverterRun run = RunConverter(folder_, "--auto disc.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(Says(run, std::to_string(notes_.size()) + " notes found")) << run.errors;
  EXPECT_TRUE(Says(run,
                   "settings: threshold 130 (fitted), minimum 27 (fitted), maximum 461 "
                   "(fitted), extrapolation 3"))
      << run.errors;
  EXPECT_EQ(NotesDiffer("disc.mid", PixelsPerMm(RealSizeScan(300, 4))), "");
  EXPECT_FALSE(Says(run, "warning")) << run.errors;
}

TEST_F(ConverterAuto, GivenSettingsWin) {
  Draw("disc.bmp", RealSizeScan(300, 4));
  const ConverterRun run = RunConverter(folder_, "--auto --threshold 90 --maximum 400 disc.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(Says(run, "threshold 90, minimum 27 (fitted), maximum 400, extrapolation 3"))
      << run.errors;
}

// Without --auto nothing of the fit shows: the summary is the plain one.
TEST_F(ConverterAuto, WithoutAutoTheSummaryStaysPlain) {
  Draw("disc.bmp", RealSizeScan(150, 4));
  const ConverterRun run = RunConverter(folder_, "disc.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_FALSE(Says(run, "settings:")) << run.errors;
  EXPECT_FALSE(Says(run, "warning")) << run.errors;
}

// At 600 dpi the holes overflow what a hole holds; the picture is read at half resolution and
// marked at its own: the marked picture has the size of the scan and every hole is green there.
TEST_F(ConverterAuto, FineScanIsReadSmallerAndMarkedAtItsOwnSize) {
  const DiscOptions options = RealSizeScan(600, 4);
  Draw("fine.bmp", options);
  const ConverterRun run = RunConverter(folder_, "--auto --marked marked.png fine.bmp");
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_TRUE(Says(run, "read at 1/2 resolution")) << run.errors;
  EXPECT_EQ(NotesDiffer("fine.mid", PixelsPerMm(options) / 2), "");

  const Raster marked = LoadPicture(folder_.File("marked.png"));
  const Raster original = LoadPicture(folder_.File("fine.bmp"));
  ASSERT_EQ(marked.width, original.width);
  ASSERT_EQ(marked.height, original.height);
  for (const DiscNote& note : notes_) {
    const PicturePoint point = NotePointInPicture(note, options);
    // A blue note mark lies within a few pixels of the slot's counter-clockwise end.
    bool blueNear = false;
    for (int dy = -6; dy <= 6 && !blueNear; ++dy) {
      for (int dx = -6; dx <= 6 && !blueNear; ++dx) {
        blueNear = marked.Pixel(static_cast<int32_t>(point.x) + dx,
                                static_cast<int32_t>(point.y) + dy) == kBlue;
      }
    }
    EXPECT_TRUE(blueNear) << "pin " << note.pin << " tick " << note.tick;
  }
  EXPECT_GT(std::count(marked.pixels.begin(), marked.pixels.end(), kYellow), 1000);
  // Away from the marks the picture is the scan as given.
  EXPECT_EQ(marked.Pixel(3, 3), original.Pixel(3, 3));
}

// The defaults on a 600 dpi scan turn every hole away as too large: the failure says so, and a
// Maximum that lets them through ends in overflowing holes, which a warning names.
TEST_F(ConverterAuto, WrongLookingResultsComeWithAdvice) {
  Draw("fine.bmp", RealSizeScan(600, 4));
  const ConverterRun tooLarge = RunConverter(folder_, "fine.bmp");
  EXPECT_EQ(tooLarge.exitCode, 1);
  EXPECT_TRUE(Says(tooLarge, "larger than --maximum 75")) << tooLarge.errors;

  const ConverterRun overfull = RunConverter(folder_, "--maximum 900 fine.bmp");
  EXPECT_EQ(overfull.exitCode, 0) << overfull.errors;
  EXPECT_TRUE(Says(overfull, "warning: fine.bmp: ")) << overfull.errors;
  EXPECT_TRUE(Says(overfull, "held more pixels than one hole can")) << overfull.errors;
  EXPECT_TRUE(Says(overfull, "try --auto")) << overfull.errors;
}

// A corner as dark as the disc: with the defaults the outline runs into the corner; the warning
// says so and the exit status stays 0. --auto evens the lighting out and reads every note.
TEST_F(ConverterAuto, DarkCornerWarnsWithDefaultsAndReadsWithAuto) {
  DiscOptions options = RealSizeScan(150, 4);
  options.darkCornerLight = 0.18;
  Draw("dark.bmp", options);
  const ConverterRun defaults = RunConverter(folder_, "dark.bmp");
  EXPECT_EQ(defaults.exitCode, 0) << defaults.errors;
  EXPECT_TRUE(Says(defaults, "outline touches the edge of the picture")) << defaults.errors;

  const ConverterRun fitted = RunConverter(folder_, "--auto dark.bmp");
  ASSERT_EQ(fitted.exitCode, 0) << fitted.errors;
  EXPECT_TRUE(Says(fitted, "uneven lighting evened out")) << fitted.errors;
  EXPECT_FALSE(Says(fitted, "warning")) << fitted.errors;
  EXPECT_EQ(NotesDiffer("dark.mid", PixelsPerMm(options)), "");
}

// Light patches where no pin plays, as on a disc of another kind: the warning says so, and once
// the settings were fitted it no longer advises fitting them.
TEST_F(ConverterAuto, WarningsAfterAutoDoNotAdviseIt) {
  const DiscOptions options = RealSizeScan(150, 4);
  Raster picture = RenderDisc(notes_, options);
  PaintLightPatches(picture, options, 12.0, 0.9, 6);
  WriteBmp(picture, BmpFormat::Rgb24, folder_.File("odd.bmp"));

  const ConverterRun plain = RunConverter(folder_, "odd.bmp");
  EXPECT_EQ(plain.exitCode, 0) << plain.errors;
  EXPECT_TRUE(Says(plain, "warning: odd.bmp: 6 notes lie outside the pins' radii")) << plain.errors;
  EXPECT_TRUE(Says(plain, "or try --auto")) << plain.errors;

  const ConverterRun fitted = RunConverter(folder_, "--auto odd.bmp");
  EXPECT_EQ(fitted.exitCode, 0) << fitted.errors;
  EXPECT_TRUE(Says(fitted, "warning: odd.bmp: 6 notes lie outside the pins' radii"))
      << fitted.errors;
  EXPECT_FALSE(Says(fitted, "--auto")) << fitted.errors;
}

// A picture without a disc still fails as before, --auto or not.
TEST_F(ConverterAuto, NoDiscStillFails) {
  Raster light;
  light.Resize(300, 300, 0x00DCE2E4);
  WriteBmp(light, BmpFormat::Rgb24, folder_.File("nodisc.bmp"));
  const ConverterRun run = RunConverter(folder_, "--auto nodisc.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_FALSE(std::filesystem::exists(folder_.File("nodisc.mid")));
}

}  // namespace
}  // namespace tivenor::testing
