// What a photo-like test picture costs: drawing it from a clean disc, front-lit and backlit, at
// camera sizes, and encoding it as a camera's JPEG.

#include <benchmark/benchmark.h>

#include "tests/support/disc_renderer.h"
#include "tests/support/photo_file.h"
#include "tests/support/photo_look.h"
#include "tests/support/sample_melody.h"

namespace tivenor::bench {
namespace {

struct CleanSample {
  Raster picture;
  testing::CleanDisc disc;
};

const CleanSample& Clean() {
  static const CleanSample sample = [] {
    testing::DiscOptions options = testing::SampleDiscOptions();
    options.dpi = 400.0;
    CleanSample made;
    made.picture = testing::RenderDisc(testing::SampleMelody(), options);
    made.disc = testing::CleanDiscOf(made.picture, options);
    made.disc.labelRadius = 0.2;
    return made;
  }();
  return sample;
}

testing::PhotoOptions Options(int megapixels, testing::Lighting lighting) {
  testing::PhotoOptions options;
  options.lighting = lighting;
  options.camera = testing::CameraOfMegapixels(megapixels);
  options.camera.tiltDegrees = 12.0;
  options.driveHoles = 4;
  return options;
}

void BM_MakePhoto(benchmark::State& state, testing::Lighting lighting) {
  const testing::PhotoOptions options = Options(static_cast<int>(state.range(0)), lighting);
  for (auto _ : state) {
    testing::Photo photo = testing::MakePhoto(Clean().picture, Clean().disc, options);
    benchmark::DoNotOptimize(photo.picture.pixels.data());
  }
  state.counters["megapixels"] = options.camera.width * double(options.camera.height) / 1e6;
}
BENCHMARK_CAPTURE(BM_MakePhoto, FrontLit, testing::Lighting::kFrontLit)
    ->Arg(8)
    ->Arg(24)
    ->Arg(40)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_MakePhoto, Backlit, testing::Lighting::kBacklit)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

void BM_EncodeJpeg(benchmark::State& state) {
  const testing::Photo photo =
      testing::MakePhoto(Clean().picture, Clean().disc,
                         Options(static_cast<int>(state.range(0)), testing::Lighting::kFrontLit));
  for (auto _ : state) benchmark::DoNotOptimize(testing::EncodeJpeg(photo.picture).size());
}
BENCHMARK(BM_EncodeJpeg)->Arg(24)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tivenor::bench

BENCHMARK_MAIN();
