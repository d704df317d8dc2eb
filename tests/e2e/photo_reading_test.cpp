// Photographs of discs of every bundled format and of a format file of our own, as a camera takes
// them (a slant of up to 15 degrees, a bending lens, uneven light, front-lit on a white sheet or
// backlit on a light box, JPEG at a camera's quality), read by the converter with --auto: every
// slot on its key, onsets and lengths within half a degree, the start found without help.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "engine/disc/disc_format.h"
#include "engine/fitting/fitted_settings.h"
#include "tests/e2e/converter_run.h"
#include "tests/e2e/format_tunes.h"
#include "tests/e2e/temp_folder.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/photo_file.h"
#include "tests/support/photo_look.h"
#include "tests/support/test_formats.h"

namespace tivenor::testing {
namespace {

// What the reading must hold to on a photograph.
constexpr double kToleranceDegrees = 0.5;

// The 20-track test format as a collector would write it down.
constexpr const char* kClockwise20File = R"({
  "format": 1, "name": "clockwise-20", "title": "Test disc, 20 tracks, 20 cm, clockwise",
  "unit": "mm", "diameter": 200,
  "tracks": { "first": 40, "pitch": 3,
              "keys": [48, 50, 52, 53, 55, 57, 59, 60, 62, 64, 65, 67, 69, 71, 72, 74, 76, 77, 79, 81] },
  "ring": [36, 99], "label": 34, "music": "clockwise", "turn_seconds": 30,
  "start": "line", "notes": "sustained", "program": 73,
  "holes": { "length": [1.5, 40], "width": [2, 2.8] }
})";

DiscFormat Clockwise20WithLine() {
  DiscFormat format = Clockwise20();
  format.start = StartRule::kLine;
  return format;
}

struct PhotoCase {
  std::string name;
  DiscFormat format;
  std::string formatArgument;  // what --format gets
  Lighting lighting = Lighting::kFrontLit;
  double megapixels = 8.0;
  double tiltDegrees = 0.0;
  double tiltAxisDegrees = 30.0;
  double turnDegrees = 0.0;
  uint32_t seed = 1;
  // The disc cut this much smaller than the format says, its tracks punched where the format
  // puts them: real discs of one format measure a few millimetres apart.
  double shrink = 1.0;
  double lens = 0.08;        // the lens's bend; below 0 pincushion
  double distance = 10.0;    // from the camera to the disc, rim radii: nearer, more perspective
  double wornDegrees = 0.0;  // a stretch of the rim worn away, from 20 degrees on
};

// Wears the rim away over `degrees` from 20 degrees on, a little deeper in the middle, as an old
// disc's edge frays where it was handled most.
void WearRim(Raster& clean, const CleanDisc& disc, double degrees) {
  const uint32_t background = clean.Pixel(0, 0);
  const double deepest = 0.012 * disc.rimRadius;
  for (int32_t y = 0; y < clean.height; ++y) {
    for (int32_t x = 0; x < clean.width; ++x) {
      const double dx = x - disc.centreX, dy = disc.centreY - y;
      const double r = std::hypot(dx, dy);
      if (r < disc.rimRadius - deepest || r > disc.rimRadius + 2.0) continue;
      double along = std::atan2(dy, dx) * 180.0 / std::numbers::pi - 20.0;
      if (along < 0.0) along += 360.0;
      if (along > degrees) continue;
      const double depth = deepest * std::sin(std::numbers::pi * along / degrees);
      if (r > disc.rimRadius - depth) clean.SetPixel(x, y, background);
    }
  }
}

// The disc as it was cut: everything the format gives in rim units stretched by 1 / shrink.
DiscFormat CutSmaller(DiscFormat format, double shrink) {
  if (shrink == 1.0) return format;
  const double stretch = 1.0 / shrink;
  format.diameterMm *= shrink;
  for (double& r : format.trackRadii) r *= stretch;
  format.ringInner *= stretch;
  format.ringOuter = std::min(format.ringOuter * stretch, 0.995);
  format.labelRadius *= stretch;
  format.driveHoleRadius *= stretch;
  format.holeLength = {format.holeLength.minimum * stretch, format.holeLength.maximum * stretch};
  format.holeWidth = {format.holeWidth.minimum * stretch, format.holeWidth.maximum * stretch};
  return format;
}

std::vector<PhotoCase> PhotoCases() {
  const DiscFormat ariston = Ariston24(), piano = PianoPlayer36(), own = Clockwise20WithLine();
  const Lighting front = Lighting::kFrontLit, back = Lighting::kBacklit;
  return {
      {"ariston_front_square", ariston, "ariston-24", front, 8.0, 0.0, 30.0, 0.0, 1},
      {"ariston_front_tilt8", ariston, "ariston-24", front, 12.0, 8.0, 30.0, 20.0, 2},
      {"ariston_back_tilt15", ariston, "ariston-24", back, 8.0, 15.0, 120.0, -35.0, 3},
      {"ariston_front_tilt12_40mp", ariston, "ariston-24", front, 40.0, 12.0, 75.0, 160.0, 4},
      {"piano_front_tilt10", piano, "piano-player-36", front, 12.0, 10.0, 200.0, 70.0, 5},
      {"piano_back_tilt12", piano, "piano-player-36", back, 16.0, 12.0, 300.0, 0.0, 6},
      {"ariston_back_tilt15_24mp", ariston, "ariston-24", back, 24.0, 15.0, 210.0, 45.0, 9},
      {"own_back_tilt8", own, "own.json", back, 8.0, 8.0, 10.0, 110.0, 7},
      {"own_front_tilt14", own, "own.json", front, 12.0, 14.0, 250.0, -80.0, 8},
      {"piano_back_tilt15", piano, "piano-player-36", back, 12.0, 15.0, 120.0, 50.0, 12},
      {"piano_front_tilt15_24mp", piano, "piano-player-36", front, 24.0, 15.0, 200.0, 0.0, 13},
      {"ariston_321mm_front_tilt8", ariston, "ariston-24", front, 12.0, 8.0, 140.0, 30.0, 14,
       321.0 / 330.0},
      {"ariston_324mm_back_tilt14", ariston, "ariston-24", back, 12.0, 14.0, 40.0, -60.0, 15,
       324.0 / 330.0},
      {"ariston_328mm_front_square", ariston, "ariston-24", front, 8.0, 0.0, 40.0, 10.0, 16,
       328.0 / 330.0},
      {"piano_back_tilt14_near_pincushion", piano, "piano-player-36", back, 15.0, 14.0, 212.0, 28.0,
       17, 1.0, -0.05, 5.0},
      {"ariston_326mm_front_tilt11_near", ariston, "ariston-24", front, 11.0, 11.0, 101.0, 233.0,
       18, 326.0 / 330.0, -0.075, 6.0},
      {"ariston_worn_back_tilt12", ariston, "ariston-24", back, 12.0, 12.0, 70.0, 15.0, 19, 1.0,
       0.08, 10.0, 80.0},
      {"piano_worn_front_tilt10", piano, "piano-player-36", front, 12.0, 10.0, 300.0, -40.0, 20,
       1.0, 0.06, 8.0, 130.0},
  };
}

void PrintTo(const PhotoCase& c, std::ostream* out) {
  *out << c.name;
}

class PhotoReading : public ::testing::TestWithParam<PhotoCase> {
 protected:
  TempFolder folder_;
};

TEST_P(PhotoReading, EverySlotOnItsKeyAtItsTime) {
  const PhotoCase& c = GetParam();
  const double turn = c.format.turnSeconds;
  TuneSpec spec;
  spec.notes = 120;
  spec.seed = c.seed;
  spec.shortestDegrees = 1.5;
  const std::vector<TuneNote> tune = TuneFor(c.format, turn, spec);
  const DiscFormat cut = CutSmaller(c.format, c.shrink);

  PhotoOptions options;
  options.lighting = c.lighting;
  options.seed = c.seed;
  const CameraOptions size = CameraOfMegapixels(c.megapixels);
  options.camera.width = size.width;
  options.camera.height = size.height;
  options.camera.tiltDegrees = c.tiltDegrees;
  options.camera.tiltAxisDegrees = c.tiltAxisDegrees;
  options.camera.turnDegrees = c.turnDegrees;
  options.camera.lensDistortion = c.lens;
  options.camera.distanceInRims = c.distance;
  options.startLineDegrees = 90.0;
  options.driveHoles = cut.driveHoles;
  options.driveHoleRadius = cut.driveHoleRadius > 0.0 ? cut.driveHoleRadius : 0.22;

  // The clean disc at half the photo's scale: the photo sharpens its edges again.
  FormatDiscOptions render;
  if (cut.diameterMm <= 0.0) render.diameterMm = 250.0;
  const double diameterMm = cut.diameterMm > 0.0 ? cut.diameterMm : render.diameterMm;
  const double photoRimPx = 0.45 * std::min(size.width, size.height);
  render.dpi = 0.5 * photoRimPx / (0.5 * diameterMm) * 25.4;
  render.startLineDegrees = options.startLineDegrees;
  render.drawSpindle = true;
  const std::vector<AnnularSlot> slots = SlotsOfTune(cut, tune, turn);
  Raster clean = RenderFormatDisc(cut, slots, render);
  CleanDisc disc;
  disc.centreX = CentreXPx(cut, render);
  disc.centreY = CentreYPx(cut, render);
  disc.rimRadius = RimRadiusPx(cut, render);
  disc.labelRadius = cut.labelRadius;
  if (c.wornDegrees > 0.0) WearRim(clean, disc, c.wornDegrees);
  const Photo photo = MakePhoto(clean, disc, options);
  WritePhoto(photo.picture, folder_.File("disc.jpg"));
  std::ofstream(folder_.File("own.json")) << kClockwise20File;

  const auto before = std::chrono::steady_clock::now();
  const ConverterRun run = RunConverter(folder_,
                                        "--auto --format " + c.formatArgument + " --turn-seconds " +
                                            std::to_string(turn) + " disc.jpg",
                                        120);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
  ASSERT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_NE(run.errors.find("start at the printed line"), std::string::npos) << run.errors;
  // A large photo's JPEG is decoded at half its size, and the summary says so.
  const bool halved = LeastReadingScale(size.width, size.height) >= 2;
  EXPECT_EQ(
      run.errors.find("hole sizes from the format; read at 1/2 resolution") != std::string::npos,
      halved)
      << run.errors;
  const std::string midi = FileBytes(folder_.File("disc.mid"));
  const std::vector<uint8_t> bytes(midi.begin(), midi.end());
  // Time 0 is the printed line, the tune's lead-in before its first note.
  const TuneComparison comparison =
      CompareTune(ExpectedDegrees(tune, turn, SlotPlacement{}.leadInDegrees),
                  ReadDegrees(bytes, turn), kToleranceDegrees);
  EXPECT_EQ(comparison.differences.substr(0, 600), "")
      << run.errors << "log: " << FileBytes(folder_.File("musicbox.log")).substr(0, 1500);
  EXPECT_EQ(comparison.matched, static_cast<int>(tune.size()));
  std::printf("%s: %d of %zu notes, worst onset %.3f deg, worst length %.3f deg, %.2f s\n",
              c.name.c_str(), comparison.matched, tune.size(), comparison.worstOnset,
              comparison.worstLength, seconds);

  // The marks go back onto the photo as it was taken: the middle of every slot, where the camera
  // put it, is marked as a keyed hole.
  if (c.megapixels <= 24.0) {
    const ConverterRun marked =
        RunConverter(folder_,
                     "--auto --format " + c.formatArgument + " --turn-seconds " +
                         std::to_string(turn) + " --marked marked.png disc.jpg",
                     120);
    ASSERT_EQ(marked.exitCode, 0) << marked.errors;
    // Marked, the photo is read whole, and the tune is the same.
    EXPECT_EQ(marked.errors.find("read at 1/"), std::string::npos) << marked.errors;
    const std::string markedFile = FileBytes(folder_.File("disc.mid"));
    const std::vector<uint8_t> markedMidi(markedFile.begin(), markedFile.end());
    EXPECT_EQ(CompareTune(ExpectedDegrees(tune, turn, SlotPlacement{}.leadInDegrees),
                          ReadDegrees(markedMidi, turn), kToleranceDegrees)
                  .differences.substr(0, 600),
              "")
        << marked.errors;
    const Raster shown = LoadPicture(folder_.File("marked.png"));
    ASSERT_EQ(shown.width, photo.picture.width);
    ASSERT_EQ(shown.height, photo.picture.height);
    const double along = c.format.music == MusicDirection::kCounterClockwise ? 1.0 : -1.0;
    int unmarked = 0;
    for (const AnnularSlot& slot : slots) {
      const double degrees =
          options.startLineDegrees + along * (slot.startDegrees + 0.5 * slot.lengthDegrees);
      const PicturePoint p = DiscToPicture(photo.truth.camera, {slot.radius, degrees});
      // Next to it at least: the start line or a note point may be drawn over the middle.
      bool green = false;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          green = green || shown.Pixel(static_cast<int32_t>(std::lround(p.x)) + dx,
                                       static_cast<int32_t>(std::lround(p.y)) + dy) == kGreen;
        }
      }
      if (!green) ++unmarked;
    }
    EXPECT_EQ(unmarked, 0) << "of " << slots.size() << " slots";
  }

  // The same photo, its format unnamed: a format file is given as one to choose among.
  const std::string among = c.formatArgument.ends_with(".json") ? " --format own.json" : "";
  const ConverterRun automatic =
      RunConverter(folder_, "--auto --format auto" + among + " disc.jpg", 120);
  ASSERT_EQ(automatic.exitCode, 0)
      << automatic.errors << FileBytes(folder_.File("musicbox.log")).substr(0, 600);
  EXPECT_NE(automatic.errors.find("format " + c.format.name + " (auto"), std::string::npos)
      << automatic.errors;
}

INSTANTIATE_TEST_SUITE_P(Photos, PhotoReading, ::testing::ValuesIn(PhotoCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace tivenor::testing
