// Scans as collectors make them, read by the converter with --auto and nothing else: every
// resolution a scanner offers, real hole sizes, one-bit pictures, dust, blur and a corner left
// dark by the lighting. Each comes back note for note; none reads worse than with the defaults.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "engine/base/run_error.h"
#include "programs/convert/convert_picture.h"
#include "programs/convert/converter_host.h"
#include "programs/convert/run_files.h"
#include "tests/e2e/melodies.h"
#include "tests/e2e/note_match.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {
namespace {

struct Scan {
  std::string name;
  DiscOptions options;
  BmpFormat format = BmpFormat::Rgb24;
};

// A scanner's picture: anti-aliased, a little noise, holes of 1.8 x 0.7 mm unless said otherwise.
DiscOptions Scanned(double dpi) {
  DiscOptions options;
  options.dpi = dpi;
  options.holeLengthMm = 1.8;
  options.holeWidthMm = 0.7;
  options.supersampling = 3;
  options.noise = 4;
  options.rotationSectors = 6;
  return options;
}

Scan WithHoles(const std::string& name, double dpi, double lengthMm, double widthMm) {
  Scan scan{name, Scanned(dpi)};
  scan.options.holeLengthMm = lengthMm;
  scan.options.holeWidthMm = widthMm;
  return scan;
}

std::vector<Scan> Scans() {
  std::vector<Scan> scans;
  for (double dpi : {100, 150, 200, 300, 400, 600})
    scans.push_back({"RealHoles_Dpi" + std::to_string(static_cast<int>(dpi)), Scanned(dpi)});
  scans.push_back(WithHoles("SmallHoles_Dpi100", 100, 1.1, 0.45));
  scans.push_back(WithHoles("SmallHoles_Dpi300", 300, 1.1, 0.45));
  scans.push_back(WithHoles("SmallHoles_Dpi600", 600, 1.1, 0.45));
  scans.push_back(WithHoles("LargeHoles_Dpi200", 200, 2.0, 1.1));
  scans.push_back(WithHoles("LargeHoles_Dpi400", 400, 2.0, 1.1));
  scans.push_back(WithHoles("LargeHoles_Dpi600", 600, 2.0, 1.1));
  for (double dpi : {150, 300}) {
    Scan oneBit{"OneBit_Dpi" + std::to_string(static_cast<int>(dpi)), Scanned(dpi),
                BmpFormat::Palette1};
    oneBit.options.oneBit = true;
    scans.push_back(oneBit);
  }
  Scan dusty{"Dust_Dpi150", Scanned(150)};
  dusty.options.dustSpecks = 400;
  scans.push_back(dusty);
  Scan dustyFine{"Dust_Dpi400", Scanned(400)};
  dustyFine.options.dustSpecks = 400;
  scans.push_back(dustyFine);
  Scan blurred{"Blur_Dpi300", Scanned(300)};
  blurred.options.blurRadiusPx = 2;
  scans.push_back(blurred);
  Scan blurredCoarse{"Blur_Dpi100", Scanned(100)};
  blurredCoarse.options.blurRadiusPx = 1;
  scans.push_back(blurredCoarse);
  Scan noisy{"Noise_Dpi200", Scanned(200)};
  noisy.options.noise = 30;
  scans.push_back(noisy);
  for (double dpi : {150, 300}) {
    Scan dark{"DarkCorner_Dpi" + std::to_string(static_cast<int>(dpi)), Scanned(dpi)};
    dark.options.darkCornerLight = 0.18;  // the background there about as dark as the disc
    scans.push_back(dark);
  }
  Scan vignette{"DarkCornerRadial_Dpi200", Scanned(200)};
  vignette.options.darkCornerLight = 0.2;
  vignette.options.falloff = DiscOptions::Falloff::Radial;
  scans.push_back(vignette);
  Scan framed{"BlackFrame_Dpi150", Scanned(150)};
  framed.options.marginMm = 8;
  framed.options.darkFramePx = 12;
  scans.push_back(framed);
  Scan everything{"DarkCornerDustBlur_Dpi600", Scanned(600)};
  everything.options.darkCornerLight = 0.25;
  everything.options.dustSpecks = 300;
  everything.options.blurRadiusPx = 2;
  scans.push_back(everything);
  return scans;
}

struct Reading {
  bool written = false;
  std::string failure;
  std::vector<MidiNote> notes;
  ScanSettings used;
  int scale = 1;
};

// The converter's road for one picture, with or without --auto.
Reading Convert(const TempFolder& folder, const std::string& picture, bool fit) {
  LogFile log;
  log.FileName = folder.File("musicbox.log");
  std::FILE* progress = std::fopen("/dev/null", "w");
  cli::ConverterHost host({}, {}, log, progress);
  ScanState state;
  cli::ConversionRequest request;
  request.picture = picture;
  request.output = folder.File(fit ? "fitted.mid" : "default.mid");
  request.reading.fitSettings = fit;
  Reading reading;
  cli::RunFiles files({picture});
  try {
    reading.scale = cli::ConvertPicture(request, state, host, files).reading.readScale;
    reading.written = true;
    reading.notes = DiscNotesOf(ReadMidiFile(request.output));
  } catch (const RunError& error) {
    reading.failure = error.what();
  }
  reading.used = host.SettingsUsed();
  std::fclose(progress);
  return reading;
}

std::string WithoutMeanError(std::string differences) {
  const std::size_t at = differences.find("notes lie ");
  if (at == std::string::npos) return differences;
  return differences.erase(at, differences.find('\n', at) + 1 - at);
}

// Notes missing, unexpected or too far off (a mean error alone moves no note off); every drawn note
// when nothing was written.
int WrongNotes(const Reading& reading, const NoteComparison& comparison, std::size_t drawn) {
  if (!reading.written) return static_cast<int>(drawn);
  int lines = 0;
  const std::string differences = WithoutMeanError(comparison.differences);
  for (std::size_t at = 0; (at = differences.find('\n', at)) != std::string::npos; ++at) ++lines;
  return lines;
}

class FittedScan : public ::testing::TestWithParam<Scan> {};

TEST_P(FittedScan, AutoAloneReadsEveryNoteAndNeverWorseThanDefaults) {
  const Scan& scan = GetParam();
  const std::vector<DiscNote> notes = SampleMelody();
  const std::vector<ExpectedNote> drawn = ExpectedNotes(notes);
  TempFolder folder;
  const std::string picture = folder.File("disc.bmp");
  WriteBmp(RenderDisc(notes, scan.options), scan.format, picture);

  const Reading defaults = Convert(folder, picture, false);
  const Reading fitted = Convert(folder, picture, true);
  // Times are known to a pixel and a half of arc at the resolution the picture was read at.
  const double pixelsPerMm = PixelsPerMm(scan.options);
  const NoteComparison byDefault = CompareNotes(drawn, defaults.notes, pixelsPerMm);
  const NoteComparison byFit = CompareNotes(drawn, fitted.notes, pixelsPerMm / fitted.scale);
  const int wrongByDefault = WrongNotes(defaults, byDefault, drawn.size());
  const int wrongByFit = WrongNotes(fitted, byFit, drawn.size());
  std::printf(
      "[ figures  ] %-26s %zu notes; defaults: %3d wrong; --auto: %d wrong, worst %d ticks, "
      "mean %.2f px (threshold %d, minimum %d, maximum %d, read at 1/%d)\n",
      scan.name.c_str(), drawn.size(), wrongByDefault, wrongByFit, byFit.worstTickError,
      byFit.meanErrorPixels, fitted.used.threshold, fitted.used.minimum, fitted.used.maximum,
      fitted.scale);

  ASSERT_TRUE(fitted.written) << fitted.failure;
  EXPECT_EQ(byFit.differences, "");
  EXPECT_LE(wrongByFit, wrongByDefault);
}

// The discs the engine was built on, drawn as the renderer draws by default (150 dpi, slots of
// 1.6 x 0.8 mm): they read well with the defaults, and --auto reads them as well.
struct WellRead {
  Melody melody;
  DiscOptions options;
};

std::vector<WellRead> WellReadDiscs() {
  std::vector<WellRead> discs;
  DiscOptions scanned;
  scanned.supersampling = 3;
  scanned.noise = 6;
  for (const Melody& melody :
       {ScaleWithChords(), RepeatedKeys(), AcrossTheRevolution(), EveryPin(), ManyNotes(145)}) {
    discs.push_back({melody, DiscOptions{}});
    discs.push_back({melody, scanned});
  }
  DiscOptions turned = scanned;
  turned.rotationSectors = 17;
  discs.push_back({AcrossTheRevolution(), turned});
  return discs;
}

class WellReadDisc : public ::testing::TestWithParam<WellRead> {};

TEST_P(WellReadDisc, AutoReadsItAsWellAsTheDefaults) {
  const WellRead& disc = GetParam();
  const std::vector<ExpectedNote> drawn = ExpectedNotes(disc.melody.notes);
  TempFolder folder;
  const std::string picture = folder.File("disc.bmp");
  WriteBmp(RenderDisc(disc.melody.notes, disc.options), BmpFormat::Rgb24, picture);
  const double pixelsPerMm = PixelsPerMm(disc.options);
  const Reading defaults = Convert(folder, picture, false);
  const Reading fitted = Convert(folder, picture, true);
  ASSERT_TRUE(defaults.written) << defaults.failure;
  ASSERT_TRUE(fitted.written) << fitted.failure;
  EXPECT_EQ(CompareNotes(drawn, defaults.notes, pixelsPerMm).differences, "");
  EXPECT_EQ(CompareNotes(drawn, fitted.notes, pixelsPerMm).differences, "");
}

INSTANTIATE_TEST_SUITE_P(Melodies, WellReadDisc, ::testing::ValuesIn(WellReadDiscs()),
                         [](const ::testing::TestParamInfo<WellRead>& info) {
                           const DiscOptions& options = info.param.options;
                           return info.param.melody.name +
                                  (options.noise > 0 ? "_Scanned" : "_Sharp") +
                                  (options.rotationSectors > 0 ? "_Turned" : "");
                         });

// 145 punched notes, one corner about as dark as the disc: with the defaults the outline takes
// in the corner and disc texture becomes "notes"; --auto alone reads every note.
TEST(DarkCornerDisc, AutoReadsAllOf145Notes) {
  const Melody melody = ManyNotes(145);
  DiscOptions options;
  options.supersampling = 3;
  options.noise = 4;
  options.darkCornerLight = 0.18;
  TempFolder folder;
  const std::string picture = folder.File("disc.bmp");
  WriteBmp(RenderDisc(melody.notes, options), BmpFormat::Rgb24, picture);
  const std::vector<ExpectedNote> drawn = ExpectedNotes(melody.notes);
  const Reading defaults = Convert(folder, picture, false);
  const Reading fitted = Convert(folder, picture, true);
  EXPECT_NE(CompareNotes(drawn, defaults.notes, PixelsPerMm(options)).differences, "");
  ASSERT_TRUE(fitted.written) << fitted.failure;
  EXPECT_EQ(CompareNotes(drawn, fitted.notes, PixelsPerMm(options)).differences, "");
}

// The bundled sample picture, as a user first tries the program.
TEST(SamplePicture, AutoReadsItAsTheDefaultsDo) {
  TempFolder folder;
  const std::string picture = TIVENOR_SAMPLES_DIR "/twinkle.bmp";
  const Reading defaults = Convert(folder, picture, false);
  const Reading fitted = Convert(folder, picture, true);
  ASSERT_TRUE(fitted.written) << fitted.failure;
  const std::vector<ExpectedNote> drawn = ExpectedNotes(SampleMelody());
  const double pixelsPerMm = PixelsPerMm(SampleDiscOptions());
  EXPECT_EQ(CompareNotes(drawn, defaults.notes, pixelsPerMm).differences, "");
  EXPECT_EQ(CompareNotes(drawn, fitted.notes, pixelsPerMm).differences, "");
}

INSTANTIATE_TEST_SUITE_P(Scans, FittedScan, ::testing::ValuesIn(Scans()),
                         [](const ::testing::TestParamInfo<Scan>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tivenor::testing
