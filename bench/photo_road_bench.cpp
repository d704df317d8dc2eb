// The steps a photograph adds to reading a disc, on a 33 cm, 24-track disc photographed backlit
// at a 12 degree slant through a bending lens, at the 6 megapixels a 24-megapixel camera's JPEG
// is decoded to: the holes' threshold and channel, the rim's edge and the ellipse most of it
// agrees on, the view fitted to the tracks, the disc drawn again round, the printed start line,
// and the whole road from the shown photo to MIDI bytes.

#include <benchmark/benchmark.h>

#include <vector>

#include "engine/fitting/fitted_settings.h"
#include "engine/roads/read_disc.h"
#include "engine/slots/patch_labelling.h"
#include "engine/slots/ring_threshold.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/start_line.h"
#include "engine/view/ellipse_fit.h"
#include "engine/view/fit_view.h"
#include "engine/view/rim_edge.h"
#include "engine/view/round_picture.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/memory_host.h"
#include "tests/support/photo_look.h"
#include "tests/support/test_formats.h"

namespace tivenor::bench {
namespace {

struct PhotoScene {
  DiscFormat format = testing::Ariston24();
  Raster picture;
  PlanePoint centre;
  double radius = 0.0;
  PixelRing ring;
  RingLevels levels;
  PatchLabelling labelling;
  std::vector<PlanePoint> edge;
  std::vector<PlanePoint> rim;  // the edge points most of the rim agrees on
  ViewFit view;
};

const PhotoScene& Scene() {
  static const PhotoScene scene = [] {
    PhotoScene made;
    std::vector<testing::TuneNote> tune;
    for (int i = 0; i < 240; ++i) {
      const int track = (i * 7) % made.format.TrackCount();
      tune.push_back(
          {made.format.keys[static_cast<std::size_t>(track)], i * 0.22, 0.25 + 0.1 * (i % 14)});
    }
    testing::PhotoOptions options;
    options.lighting = testing::Lighting::kBacklit;
    options.camera = testing::CameraOfMegapixels(6.0);
    options.camera.tiltDegrees = 12.0;
    options.driveHoles = made.format.driveHoles;
    options.driveHoleRadius = made.format.driveHoleRadius;
    testing::FormatDiscOptions render;
    render.dpi = 0.5 * 0.45 * options.camera.height / (0.5 * made.format.diameterMm) * 25.4;
    render.startLineDegrees = options.startLineDegrees;
    render.drawSpindle = true;
    const Raster clean = testing::RenderFormatDisc(
        made.format, testing::SlotsOfTune(made.format, tune, 60.0), render);
    testing::CleanDisc disc;
    disc.centreX = testing::CentreXPx(made.format, render);
    disc.centreY = testing::CentreYPx(made.format, render);
    disc.rimRadius = testing::RimRadiusPx(made.format, render);
    disc.labelRadius = made.format.labelRadius;
    made.picture = testing::MakePhoto(clean, disc, options).picture;

    const FittedSettings fitted = FitSettings(made.picture);
    made.centre = {fitted.disc.centreX, fitted.disc.centreY};
    made.radius = fitted.disc.radius;
    const RingRadii ring = SearchRing(made.format);
    made.ring = {made.centre.x, made.centre.y, ring.inner * made.radius, ring.outer * made.radius};
    made.levels = RingThreshold(made.picture, made.ring).value_or(RingLevels{});
    made.labelling.Label(made.picture, made.ring, made.levels.threshold, made.levels.channel);
    made.edge = FindRimEdge(made.picture, made.centre, made.radius, made.levels.channel);
    made.rim = ConsensusPoints(made.edge, 1.0);
    made.view =
        FitView(made.picture, made.centre, made.radius, made.rim, made.labelling, made.format);
    return made;
  }();
  return scene;
}

void BM_RingThreshold(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  for (auto _ : state) benchmark::DoNotOptimize(RingThreshold(scene.picture, scene.ring));
}

void BM_FindRimEdge(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        FindRimEdge(scene.picture, scene.centre, scene.radius, scene.levels.channel).size());
  }
}

void BM_ConsensusPoints(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  for (auto _ : state) benchmark::DoNotOptimize(ConsensusPoints(scene.edge, 1.0).size());
}

void BM_FitView(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  if (scene.view.square) state.SkipWithError("no view fitted");
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        FitView(scene.picture, scene.centre, scene.radius, scene.rim, scene.labelling, scene.format)
            .misfit);
  }
}

void BM_DrawRoundPicture(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  const RoundFrame frame = RoundFrameFor(scene.radius);
  Raster round;
  for (auto _ : state) {
    DrawRoundPicture(scene.picture, scene.view.view, frame, round, scene.levels.channel);
    benchmark::DoNotOptimize(round.pixels.data());
  }
  state.counters["MP/s"] = benchmark::Counter(
      static_cast<double>(round.pixels.size()) / 1e6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
}

void BM_FindStartLine(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  const RoundFrame frame = RoundFrameFor(scene.radius);
  Raster round;
  DrawRoundPicture(scene.picture, scene.view.view, frame, round, scene.levels.channel);
  DiscFrame disc;
  disc.centreX = disc.centreY = frame.centre;
  disc.rimRadius = frame.rimPx;
  if (!FindStartLine(round, disc, scene.format)) state.SkipWithError("no start line found");
  for (auto _ : state) benchmark::DoNotOptimize(FindStartLine(round, disc, scene.format));
}

// The whole road, with a display that costs nothing.
void BM_ReadPhoto(benchmark::State& state) {
  const PhotoScene& scene = Scene();
  testing::MemoryHost host(scene.picture);
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ReadingOptions options;
  options.format = scene.format;
  options.fitSettings = true;
  options.markSlots = false;
  ScanState scan;
  scan.SourceFileName = "bench.jpg";
  scan.PictureLoaded = true;
  std::size_t bytes = 0;
  for (auto _ : state) {
    scan.PictureClean = true;
    bytes = ReadDisc(scan, host, options).midi.size();
  }
  if (bytes == 0) state.SkipWithError("no MIDI bytes");
}

BENCHMARK(BM_RingThreshold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindRimEdge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConsensusPoints)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitView)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DrawRoundPicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindStartLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tivenor::bench
