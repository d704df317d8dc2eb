// A disc saved in every BMP layout (and PNG) comes back through the picture reader, the engine
// and the MIDI file as the notes it was drawn from.

#include <gtest/gtest.h>

#include <string>

#include "adapters/picture/picture_file.h"
#include "tests/e2e/melodies.h"
#include "tests/e2e/note_match.h"
#include "tests/e2e/start_run.h"
#include "tests/e2e/temp_folder.h"
#include "tests/e2e/track_checks.h"
#include "tests/support/bmp_writer.h"

namespace tivenor::testing {
namespace {

// Anti-aliased and noisy, so that palette layouts have more colours than they can hold.
DiscOptions ScannedLook() {
  DiscOptions options;
  options.supersampling = 4;
  options.noise = 4;
  return options;
}

std::string FirstPixelDifference(const Raster& read, const Raster& stored) {
  if (read.width != stored.width || read.height != stored.height) return "size differs";
  for (int32_t y = 0; y < read.height; ++y) {
    for (int32_t x = 0; x < read.width; ++x) {
      if (read.Pixel(x, y) != stored.Pixel(x, y)) {
        return "pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") differs";
      }
    }
  }
  return "";
}

class BmpLayoutTest : public ::testing::TestWithParam<BmpFormat> {};

TEST_P(BmpLayoutTest, DiscComesBackAsItsNotes) {
  const Melody melody = ScaleWithChords();
  const DiscOptions options = ScannedLook();
  const Raster picture = RenderDisc(melody.notes, options);
  TempFolder folder;
  const std::string file = folder.File("disc.bmp");
  WriteBmp(picture, GetParam(), file);

  EXPECT_EQ(FirstPixelDifference(LoadPicture(file), QuantiseForBmp(picture, GetParam())), "");
  const StartOutcome run = StartOnPictureFile(file, HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(run.state.MidiFileName, folder.File("disc.mid"));
  EXPECT_EQ(TrackFaults(run.midi), "");
  EXPECT_EQ(CompareNotes(ExpectedNotes(melody.notes), DiscNotesOf(run.midi), PixelsPerMm(options))
                .differences,
            "");
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, BmpLayoutTest, ::testing::ValuesIn(kAllBmpFormats),
                         [](const ::testing::TestParamInfo<BmpFormat>& info) {
                           return std::string(BmpFormatName(info.param));
                         });

TEST(PngPicture, DiscComesBackAsItsNotes) {
  const Melody melody = ScaleWithChords();
  const DiscOptions options = ScannedLook();
  const Raster picture = RenderDisc(melody.notes, options);
  TempFolder folder;
  const std::string file = folder.File("disc.png");
  SavePicture(picture, file);

  EXPECT_EQ(FirstPixelDifference(LoadPicture(file), picture), "");
  const StartOutcome run = StartOnPictureFile(file, HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(run.state.MidiFileName, folder.File("disc.mid"));
  EXPECT_EQ(CompareNotes(ExpectedNotes(melody.notes), DiscNotesOf(run.midi), PixelsPerMm(options))
                .differences,
            "");
}

// The name keeps everything but its last three characters, whatever they are.
TEST(PictureFileName, UpperCaseExtensionGivesLowerCaseMid) {
  const Melody melody = ScaleWithChords();
  TempFolder folder;
  const std::string file = folder.File("WALTZ.BMP");
  WriteBmp(RenderDisc(melody.notes), BmpFormat::Rgb24, file);
  const StartOutcome run = StartOnPictureFile(file, HoleSettings{});
  ASSERT_TRUE(run.written);
  EXPECT_EQ(run.state.MidiFileName, folder.File("WALTZ.mid"));
  EXPECT_FALSE(NoteOns(ReadMidiFile(folder.File("WALTZ.mid"))).empty());
}

}  // namespace
}  // namespace tivenor::testing
