#include "tests/support/photo_look.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "tests/support/photo_file.h"
#include "tests/support/photo_label.h"
#include "tests/support/sample_melody.h"

namespace tivenor::testing {
namespace {

int Luma(uint32_t p) {
  return static_cast<int>(((p & 0xFFu) + 2u * ((p >> 8) & 0xFFu) + ((p >> 16) & 0xFFu)) / 4u);
}

int LumaAt(const Raster& picture, PicturePoint p) {
  return Luma(picture.Pixel(static_cast<int32_t>(std::lround(p.x)),
                            static_cast<int32_t>(std::lround(p.y))));
}

// The mean brightness over a small square, which smooths the sensor's noise away.
double MeanLuma(const Raster& picture, PicturePoint p, int half) {
  double sum = 0.0;
  int n = 0;
  for (int dy = -half; dy <= half; ++dy) {
    for (int dx = -half; dx <= half; ++dx) {
      sum += Luma(picture.Pixel(static_cast<int32_t>(std::lround(p.x)) + dx,
                                static_cast<int32_t>(std::lround(p.y)) + dy));
      ++n;
    }
  }
  return sum / n;
}

// The sample disc drawn clean at `dpi`.
struct CleanSample {
  Raster picture;
  CleanDisc disc;
  DiscOptions options;
};

CleanSample DrawCleanSample(double dpi, double labelRadius = 0.2) {
  CleanSample sample;
  sample.options = SampleDiscOptions();
  sample.options.dpi = dpi;
  sample.options.noise = 0;
  sample.picture = RenderDisc(SampleMelody(), sample.options);
  sample.disc = CleanDiscOf(sample.picture, sample.options);
  sample.disc.labelRadius = labelRadius;
  return sample;
}

PhotoOptions SmallPhoto(Lighting lighting, double megapixels) {
  PhotoOptions options;
  options.lighting = lighting;
  options.camera = CameraOfMegapixels(megapixels);
  options.camera.tiltDegrees = 12.0;
  options.camera.turnDegrees = 25.0;
  options.clampRadius = 0.07;
  return options;
}

// Whether the 5 x 5 pixels round (x, y) are all light, or all dark: a slot's wall hides up to
// two pixels of its far edge.
bool AllOfSquare(const Raster& picture, int32_t x, int32_t y, bool light) {
  for (int32_t dy = -2; dy <= 2; ++dy) {
    for (int32_t dx = -2; dx <= 2; ++dx) {
      if ((Luma(picture.Pixel(x + dx, y + dy)) > 128) != light) return false;
    }
  }
  return true;
}

struct LightingCase {
  std::string name;
  Lighting lighting;
};

void PrintTo(const LightingCase& c, std::ostream* out) {
  *out << c.name;
}

class PhotoLook : public ::testing::TestWithParam<LightingCase> {};

// Every slot pixel of the clean disc is light in the photo where the truth puts it, and the
// disc's material around it is dark: the drawing and the truth are one mapping.
TEST_P(PhotoLook, SlotsLandWhereTheTruthSays) {
  const CleanSample clean = DrawCleanSample(300.0);
  const Photo photo = MakePhoto(clean.picture, clean.disc, SmallPhoto(GetParam().lighting, 3.0));
  const double photoPxPerCleanPx = photo.truth.camera.discRadiusPx / clean.disc.rimRadius;
  ASSERT_GT(photoPxPerCleanPx, 0.6);  // a clean pixel covers at least one photo pixel
  std::vector<int> slot, board;
  for (int32_t y = 0; y < clean.picture.height; y += 2) {
    for (int32_t x = 0; x < clean.picture.width; x += 2) {
      const double r =
          std::hypot(x - clean.disc.centreX, y - clean.disc.centreY) / clean.disc.rimRadius;
      if (r < 0.25 || r > 0.97) continue;  // the clamp and the label; the rim's shadow
      const bool light = AllOfSquare(clean.picture, x, y, true);
      if (!light && !AllOfSquare(clean.picture, x, y, false)) continue;  // an edge
      const int seen = LumaAt(photo.picture, CleanToPicture(photo.truth, {double(x), double(y)}));
      (light ? slot : board).push_back(seen);
    }
  }
  ASSERT_GT(slot.size(), 500u);
  ASSERT_GT(board.size(), 50000u);
  // Every slot pixel is lighter than all but a few of the board's, whatever the light and noise.
  std::sort(board.begin(), board.end());
  const int nearlyLightestBoard = board[board.size() - board.size() / 1000 - 1];
  EXPECT_GT(*std::min_element(slot.begin(), slot.end()), nearlyLightestBoard + 20);
}

// The printed start line is dark where the truth says it runs, the label light beside it, and
// it follows the option's direction.
TEST_P(PhotoLook, StartLineIsWhereTheTruthSays) {
  const CleanSample clean = DrawCleanSample(200.0, 0.24);
  for (double degrees : {90.0, 215.0}) {
    PhotoOptions options = SmallPhoto(GetParam().lighting, 4.0);
    options.startLineDegrees = degrees;
    const Photo photo = MakePhoto(clean.picture, clean.disc, options);
    const PhotoTruth& truth = photo.truth;
    ASSERT_EQ(truth.startLineDegrees, degrees);
    EXPECT_LT(std::hypot(truth.startLineOuter.x - DiscToPicture(truth.camera, {0.24, degrees}).x,
                         truth.startLineOuter.y - DiscToPicture(truth.camera, {0.24, degrees}).y),
              1e-9);
    LabelPrint print;
    print.labelRadius = 0.24;
    print.keepClearRadius = options.clampRadius;
    const double inner = StartLineInnerRadius(print);
    double onLine = 0.0, beside = 0.0;
    int n = 0;
    for (double r = inner + 0.01; r < 0.21; r += 0.01) {
      // Beside it: a little clockwise, where the print keeps clear for the line.
      const double aside = degrees - 0.009 / r * 180.0 / std::numbers::pi;
      onLine += MeanLuma(photo.picture, DiscToPicture(truth.camera, {r, degrees}), 1);
      beside += MeanLuma(photo.picture, DiscToPicture(truth.camera, {r, aside}), 1);
      ++n;
    }
    onLine /= n;
    beside /= n;
    EXPECT_LT(onLine, beside - 25.0) << degrees << " degrees";
  }
}

TEST_P(PhotoLook, SameSeedSameBytesOtherSeedOtherNoise) {
  const CleanSample clean = DrawCleanSample(100.0);
  PhotoOptions options = SmallPhoto(GetParam().lighting, 0.5);
  const Photo first = MakePhoto(clean.picture, clean.disc, options);
  const Photo again = MakePhoto(clean.picture, clean.disc, options);
  EXPECT_EQ(first.picture.pixels, again.picture.pixels);
  EXPECT_EQ(EncodeJpeg(first.picture), EncodeJpeg(again.picture));
  options.seed = 2;
  const Photo other = MakePhoto(clean.picture, clean.disc, options);
  ASSERT_EQ(other.picture.pixels.size(), first.picture.pixels.size());
  std::size_t differing = 0;
  for (std::size_t i = 0; i < first.picture.pixels.size(); ++i)
    differing += first.picture.pixels[i] != other.picture.pixels[i];
  EXPECT_GT(differing, first.picture.pixels.size() / 2);
  EXPECT_EQ(other.truth.discCentre.x, first.truth.discCentre.x);  // the same view
}

INSTANTIATE_TEST_SUITE_P(Lightings, PhotoLook,
                         ::testing::Values(LightingCase{"FrontLit", Lighting::kFrontLit},
                                           LightingCase{"Backlit", Lighting::kBacklit}),
                         [](const auto& info) { return info.param.name; });

// Each effect shows where it should: an effect that silently did nothing would let a reader
// pass on pictures easier than photos.
TEST(PhotoLookEffects, NoiseVignettingShadowAndColours) {
  const CleanSample clean = DrawCleanSample(150.0);
  PhotoOptions options = SmallPhoto(Lighting::kFrontLit, 2.0);
  options.camera.tiltDegrees = 0.0;
  options.camera.offCentreX = options.camera.offCentreY = 0.0;
  options.camera.lensDistortion = 0.0;
  options.unevenLight = 0.0;
  options.shadowDegrees = 0.0;  // to the right of the disc in the photo
  const Photo photo = MakePhoto(clean.picture, clean.disc, options);
  const Raster& p = photo.picture;
  const PhotoTruth& truth = photo.truth;

  // The sensor's noise: the same photo without it differs by about the asked deviation.
  PhotoOptions noiseless = options;
  noiseless.noise = 0.0;
  const Raster clear = MakePhoto(clean.picture, clean.disc, noiseless).picture;
  double variance = 0.0;
  for (std::size_t i = 0; i < clear.pixels.size(); ++i) {
    const int d = Luma(p.pixels[i]) - Luma(clear.pixels[i]);
    variance += d * d;
  }
  const double deviation = std::sqrt(variance / static_cast<double>(clear.pixels.size()));
  EXPECT_GT(deviation, 0.5 * options.noise);
  EXPECT_LT(deviation, 2.0 * options.noise);

  // Vignetting: the corners get less light than the sheet near the middle's height.
  const double corner = MeanLuma(p, {4.0, 4.0}, 3);
  const double side = MeanLuma(p, {4.0, p.height / 2.0}, 3);
  EXPECT_LT(corner, side * (1.0 - 0.5 * options.vignetting * 0.3));

  // The shadow: just outside the rim on its side the sheet is darker than on the other side.
  const auto outside = [&](double degrees) {
    return MeanLuma(p, DiscToPicture(truth.camera, {1.008, degrees - 25.0}), 1);
  };
  EXPECT_LT(outside(0.0), outside(180.0) - 30.0);

  // Colours: a white sheet, a brown (red above blue) disc of middle brightness.
  const uint32_t board = p.Pixel(static_cast<int32_t>(DiscToPicture(truth.camera, {0.975, 40}).x),
                                 static_cast<int32_t>(DiscToPicture(truth.camera, {0.975, 40}).y));
  EXPECT_GT(static_cast<int>(board & 0xFF), static_cast<int>((board >> 16) & 0xFF) + 40);
  EXPECT_GT(Luma(board), 70);
  EXPECT_LT(Luma(board), 170);
  EXPECT_GT(side, 170.0);  // the white sheet, in its darker part
}

TEST(PhotoLookFile, JpegKeepsThePictureAndItsColours) {
  const CleanSample clean = DrawCleanSample(100.0);
  const Photo photo = MakePhoto(clean.picture, clean.disc, SmallPhoto(Lighting::kFrontLit, 0.5));
  const auto path = std::filesystem::temp_directory_path() /
                    ("tivenor-photo-" + std::to_string(::getpid()) + ".jpg");
  WritePhoto(photo.picture, path.string());
  const Raster back = LoadPicture(path.string());
  std::filesystem::remove(path);
  ASSERT_EQ(back.width, photo.picture.width);
  ASSERT_EQ(back.height, photo.picture.height);
  double difference[3] = {0, 0, 0};
  for (std::size_t i = 0; i < back.pixels.size(); ++i) {
    for (int c = 0; c < 3; ++c) {
      difference[c] += std::abs(static_cast<int>((back.pixels[i] >> (8 * c)) & 0xFF) -
                                static_cast<int>((photo.picture.pixels[i] >> (8 * c)) & 0xFF));
    }
  }
  for (double d : difference) EXPECT_LT(d / static_cast<double>(back.pixels.size()), 4.0);
  EXPECT_THROW(WritePhoto(photo.picture, "photo.gif"), std::runtime_error);
}

TEST(PhotoLookInput, RefusesAPictureWithoutADisc) {
  Raster even;
  even.Resize(100, 100, 0x00808080u);
  EXPECT_THROW(MakePhoto(even, {50, 50, 40, 0}, SmallPhoto(Lighting::kFrontLit, 0.1)),
               std::invalid_argument);
  const CleanSample clean = DrawCleanSample(100.0);
  EXPECT_THROW(MakePhoto(clean.picture, {50, 50, 0, 0}), std::invalid_argument);
  EXPECT_THROW(MakePhoto(clean.picture, {50, 50, 40, 1.5}), std::invalid_argument);
  EXPECT_THROW(MakePhoto(clean.picture, {5000, 50, 40, 0}), std::invalid_argument);
}

// A 24-megapixel photo in a few seconds: an end-to-end test may make dozens.
TEST(PhotoLookSpeed, TwentyFourMegapixelsInUnderFiveSeconds) {
#if defined(__SANITIZE_ADDRESS__) || !defined(NDEBUG)
  GTEST_SKIP() << "timed only in an optimised build without sanitizers";
#else
  const CleanSample clean = DrawCleanSample(400.0, 0.2);
  PhotoOptions options;
  options.camera = CameraOfMegapixels(24.0);
  // The work is timed as processor time over all threads: on a machine shared with other
  // builds the wall clock says more about them than about this.
  const auto processorSeconds = [] {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
  };
  const double startProcessor = processorSeconds();
  const auto start = std::chrono::steady_clock::now();
  const Photo photo = MakePhoto(clean.picture, clean.disc, options);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double seconds = processorSeconds() - startProcessor;
  const double megapixels = photo.picture.width * static_cast<double>(photo.picture.height) / 1e6;
  RecordProperty("processor_ms_per_megapixel", std::to_string(1000.0 * seconds / megapixels));
  std::printf("%.1f megapixels: %.2f s of processor time, %.2f s on the clock\n", megapixels,
              seconds, wall);
  EXPECT_LT(seconds, 5.0);
#endif
}

}  // namespace
}  // namespace tivenor::testing
