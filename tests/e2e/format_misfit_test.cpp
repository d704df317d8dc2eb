// Pictures whose light patches fit no disc format, or not the format given, converted as a user
// converts them: refused with one line that names the closest format, exit status 1, and no MIDI
// file written or replaced, in a batch and with several jobs as on their own.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/converter_run.h"
#include "tests/e2e/format_read.h"
#include "tests/e2e/format_tunes.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/test_formats.h"

namespace tivenor::testing {
namespace {

std::string LastLine(const std::string& text) {
  std::istringstream in(text);
  std::string last;
  for (std::string line; std::getline(in, line);) last = line;
  return last;
}

// Every file in the folder but the log, which says what was kept out.
std::vector<std::string> FolderEntries(const TempFolder& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    if (entry.path().filename() != "musicbox.log")
      names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Numbers from 0 to 1 in a fixed sequence, the same on every machine.
struct Strewn {
  uint32_t bits = 11;
  double Next() {
    bits = bits * 1664525u + 1013904223u;
    return static_cast<double>(bits >> 8) / static_cast<double>(1u << 24);
  }
};

class FormatMisfitConversion : public ::testing::Test {
 protected:
  void SetUp() override {
    // An organette disc of 80 notes, and the same disc with 200 light patches of a slot's size
    // strewn over its ring instead.
    const DiscFormat format = Ariston24();
    TuneSpec spec;
    spec.notes = 80;
    spec.seed = 5;
    const std::vector<AnnularSlot> slots =
        SlotsOfTune(format, TuneFor(format, format.turnSeconds, spec), format.turnSeconds);
    WriteBmp(RenderFormatDisc(format, slots, RenderOptions(format, 100)), BmpFormat::Rgb24,
             folder_.File("organette.bmp"));

    Strewn strewn;
    std::vector<AnnularSlot> patches;
    for (int i = 0; i < 200; ++i) {
      const double radius =
          format.ringInner + strewn.Next() * (format.ringOuter - format.ringInner);
      patches.push_back(
          {radius, DefaultSlotWidth(format), 360.0 * strewn.Next(), 0.5 + 9.5 * strewn.Next()});
    }
    WriteBmp(RenderFormatDisc(format, patches, RenderOptions(format, 100)), BmpFormat::Rgb24,
             folder_.File("patches.bmp"));
  }

  TempFolder folder_;
};

TEST_F(FormatMisfitConversion, ADiscReadAsAnotherFormatIsRefusedNamingItsOwn) {
  const ConverterRun run = RunConverter(folder_, "--format piano-player-36 organette.bmp");
  EXPECT_EQ(run.exitCode, 1) << run.errors;
  EXPECT_EQ(LastLine(run.errors),
            "tivenor-convert: \"organette.bmp\": the slots do not fit piano-player-36 (24% of "
            "slots off-track): closest ariston-24, 0% of slots off-track")
      << run.errors;
  EXPECT_FALSE(std::filesystem::exists(folder_.File("organette.mid")));
}

TEST_F(FormatMisfitConversion, PatchesStrewnAtRandomFitNoFormat) {
  const std::string refusal =
      "tivenor-convert: \"patches.bmp\": the slots do not fit any known format: closest "
      "ariston-24, 24% of slots off-track";
  for (const char* format : {"ariston-24", "auto"}) {
    SCOPED_TRACE(format);
    const ConverterRun run =
        RunConverter(folder_, std::string("--format ") + format + " patches.bmp");
    EXPECT_EQ(run.exitCode, 1) << run.errors;
    EXPECT_EQ(LastLine(run.errors), refusal) << run.errors;
    EXPECT_FALSE(std::filesystem::exists(folder_.File("patches.mid")));
  }
}

// Specks strewn over a music-box disc: --format auto takes it for the built-in disc, whose road
// would read them as notes, but they fit it no better than any other format and are refused.
// Read as the built-in disc, by default, the picture goes the old way.
TEST_F(FormatMisfitConversion, TheBuiltInDiscChosenByAutoMustFitToo) {
  const DiscOptions options = RealSizeScan(150, 2);
  Raster picture = RenderDisc({}, options);
  const double pixelsPerMm = PixelsPerMm(options);
  const double centre = 0.5 * (picture.width - 1);
  const double half = 0.4 * pixelsPerMm;
  Strewn strewn;
  for (int i = 0; i < 200; ++i) {
    const double radius = (15.0 + 40.0 * strewn.Next()) * pixelsPerMm;
    const double angle = 2.0 * std::numbers::pi * strewn.Next();
    const double x = centre + radius * std::cos(angle);
    const double y = centre - radius * std::sin(angle);
    FillEllipse(picture, static_cast<int32_t>(x - half), static_cast<int32_t>(y - half),
                static_cast<int32_t>(x + half), static_cast<int32_t>(y + half),
                options.lightColour);
  }
  WriteBmp(picture, BmpFormat::Rgb24, folder_.File("specks.bmp"));

  const ConverterRun chosen = RunConverter(folder_, "--format auto specks.bmp");
  EXPECT_EQ(chosen.exitCode, 1) << chosen.errors;
  EXPECT_EQ(LastLine(chosen.errors),
            "tivenor-convert: \"specks.bmp\": the slots do not fit any known format: closest "
            "disc-114-30, 29% of slots off-track")
      << chosen.errors;
  EXPECT_FALSE(std::filesystem::exists(folder_.File("specks.mid")));

  const ConverterRun builtIn = RunConverter(folder_, "specks.bmp");
  EXPECT_EQ(builtIn.exitCode, 0) << builtIn.errors;
  EXPECT_TRUE(std::filesystem::exists(folder_.File("specks.mid")));
}

// The tune read with the right format stays as it was when the wrong one is refused, and the
// refusal leaves nothing behind.
TEST_F(FormatMisfitConversion, ARefusalLeavesTheMidiFileThereUntouched) {
  const ConverterRun right = RunConverter(folder_, "--format ariston-24 organette.bmp");
  ASSERT_EQ(right.exitCode, 0) << right.errors;
  EXPECT_NE(right.errors.find("80 notes found"), std::string::npos) << right.errors;
  const std::string tune = FileBytes(folder_.File("organette.mid"));
  ASSERT_FALSE(tune.empty());
  const std::vector<std::string> before = FolderEntries(folder_);

  const ConverterRun wrong = RunConverter(folder_, "--format piano-player-36 organette.bmp");
  EXPECT_EQ(wrong.exitCode, 1) << wrong.errors;
  EXPECT_EQ(FileBytes(folder_.File("organette.mid")), tune);
  EXPECT_EQ(FolderEntries(folder_), before);
}

// In a batch the refusal is the picture's failure line with its place, the batch goes on, and
// several jobs print exactly what one does.
TEST_F(FormatMisfitConversion, InABatchTheRefusalIsOnePicturesFailure) {
  const std::string pictures = " --format ariston-24 organette.bmp patches.bmp";
  std::filesystem::remove(folder_.File("organette.mid"));
  const ConverterRun one = RunConverter(folder_, "-j 1" + pictures);
  EXPECT_EQ(one.exitCode, 1) << one.errors;
  EXPECT_NE(one.errors.find("\n[2/2] patches.bmp: the slots do not fit any known format: closest "
                            "ariston-24, 24% of slots off-track\n"),
            std::string::npos)
      << one.errors;
  EXPECT_EQ(LastLine(one.errors), "1 of 2 converted, 1 failed");
  EXPECT_TRUE(std::filesystem::exists(folder_.File("organette.mid")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("patches.mid")));

  std::filesystem::remove(folder_.File("organette.mid"));
  const ConverterRun two = RunConverter(folder_, "-j 2" + pictures);
  EXPECT_EQ(two.exitCode, one.exitCode);
  EXPECT_EQ(two.errors, one.errors);
}

}  // namespace
}  // namespace tivenor::testing
