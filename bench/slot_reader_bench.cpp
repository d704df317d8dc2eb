// The reader of discs of any format on a 33 cm, 24-track disc drawn at 150, 300 and 600 dpi: the
// labelling of the ring's light patches alone, and the whole road from the shown picture to MIDI
// bytes, beside one pass over the same pixels. All report megapixels of the picture per second:
// a reader linear in the pixels keeps the same rate at every dpi.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <map>

#include "engine/fitting/fitted_settings.h"
#include "engine/roads/read_disc.h"
#include "engine/slots/patch_labelling.h"
#include "engine/slots/slot_keying.h"
#include "tests/support/format_disc_renderer.h"
#include "tests/support/memory_host.h"
#include "tests/support/test_formats.h"

namespace tivenor::bench {
namespace {

struct SlotDisc {
  Raster picture;
  std::size_t slots = 0;
};

// 300 notes of a quarter to two seconds on every track, drawn once per dpi.
const SlotDisc& SlotDiscAt(int dpi) {
  static std::map<int, SlotDisc> discs;
  SlotDisc& disc = discs[dpi];
  if (disc.picture.pixels.empty()) {
    const DiscFormat format = testing::Ariston24();
    std::vector<testing::TuneNote> tune;
    for (int i = 0; i < 300; ++i) {
      const int track = (i * 7) % format.TrackCount();
      tune.push_back(
          {format.keys[static_cast<std::size_t>(track)], i * 0.18, 0.25 + 0.1 * (i % 18)});
    }
    testing::FormatDiscOptions options;
    options.dpi = dpi;
    options.supersampling = 2;
    options.drawLabel = true;
    options.drawDriveHoles = true;
    options.drawSpindle = true;
    disc.picture =
        testing::RenderFormatDisc(format, testing::SlotsOfTune(format, tune, 60.0), options);
    disc.slots = tune.size();
  }
  return disc;
}

void CountMegapixels(benchmark::State& state, const Raster& picture) {
  const double megapixels = static_cast<double>(picture.pixels.size()) / 1e6;
  state.counters["MP/s"] = benchmark::Counter(megapixels * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
  state.counters["MP"] = megapixels;
}

void BM_SlotDiscOnePass(benchmark::State& state) {
  const SlotDisc& disc = SlotDiscAt(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    int64_t light = 0;
    for (const uint32_t pixel : disc.picture.pixels) light += (pixel & 0xFFu) > 100u ? 1 : 0;
    benchmark::DoNotOptimize(light);
  }
  CountMegapixels(state, disc.picture);
}

// The labelling of every light patch in the format's ring, its storage kept between runs.
void BM_LabelPatches(benchmark::State& state) {
  const SlotDisc& disc = SlotDiscAt(static_cast<int>(state.range(0)));
  const DiscFormat format = testing::Ariston24();
  const FittedSettings fitted = FitSettings(disc.picture);
  const RingRadii ring = SearchRing(format);
  const PixelRing pixels{fitted.disc.centreX, fitted.disc.centreY, ring.inner * fitted.disc.radius,
                         ring.outer * fitted.disc.radius};
  PatchLabelling labelling;
  for (auto _ : state) {
    labelling.Label(disc.picture, pixels, 100);
    benchmark::DoNotOptimize(labelling.Patches().data());
  }
  if (labelling.Patches().size() < disc.slots) state.SkipWithError("the labelling missed slots");
  CountMegapixels(state, disc.picture);
}

// The whole road: the copy of the shown picture, the disc's circle, the labelling, the tracks,
// the start, the notes, the marks and the MIDI bytes, with a display that costs nothing. With a
// second argument of 1 the slots are also fitted to the other known formats, as the programs do.
void BM_ReadSlotDisc(benchmark::State& state) {
  const SlotDisc& disc = SlotDiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host(disc.picture);
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ReadingOptions options;
  options.format = testing::Ariston24();
  if (state.range(1) != 0) {
    options.knownFormats = {BuiltInDiscFormat(), testing::Ariston24(), testing::PianoPlayer36()};
  }
  ScanState scan;
  scan.SourceFileName = "bench.bmp";
  scan.PictureLoaded = true;
  std::size_t bytes = 0;
  for (auto _ : state) {
    scan.PictureClean = true;  // nothing reloaded: the display is never marked here
    bytes = ReadDisc(scan, host, options).midi.size();
  }
  if (bytes == 0) state.SkipWithError("no MIDI bytes");
  CountMegapixels(state, disc.picture);
}

BENCHMARK(BM_SlotDiscOnePass)->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LabelPatches)->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSlotDisc)->ArgsProduct({{150, 300, 600}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tivenor::bench
