// What --auto costs: the fit alone, the reading copy alone, and START with the fit before it,
// beside START with the same settings given, on scans with real 1.8 x 0.7 mm holes.

#include <benchmark/benchmark.h>

#include <map>

#include "engine/fitting/fitted_settings.h"
#include "engine/fitting/reading_host.h"
#include "engine/midi/midi_buffer.h"
#include "engine/midi/write_midi.h"
#include "engine/reading/hole_scan.h"
#include "engine/reading/scan_state.h"
#include "engine/roads/read_disc.h"
#include "tests/support/disc_renderer.h"
#include "tests/support/memory_host.h"
#include "tests/support/sample_melody.h"

namespace tivenor::bench {
namespace {

struct RealScan {
  Raster picture;
  FittedSettings fitted;
  int notes = 0;
};

const RealScan& ScanAt(int dpi) {
  static std::map<int, RealScan> scans;
  auto found = scans.find(dpi);
  if (found == scans.end()) {
    testing::DiscOptions options = testing::SampleDiscOptions();
    options.dpi = dpi;
    options.holeLengthMm = 1.8;
    options.holeWidthMm = 0.7;
    RealScan scan;
    scan.picture = testing::RenderDisc(testing::SampleMelody(), options);
    scan.fitted = FitSettings(scan.picture);
    scan.notes = static_cast<int>(testing::SampleMelody().size());
    found = scans.emplace(dpi, std::move(scan)).first;
  }
  return found->second;
}

void CountMegapixels(benchmark::State& state, const Raster& picture) {
  const double megapixels = static_cast<double>(picture.pixels.size()) / 1e6;
  state.counters["MP/s"] = benchmark::Counter(megapixels * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

void UseSettings(testing::MemoryHost& host, const FittedSettings& fitted) {
  host.settings.threshold = fitted.threshold;
  host.settings.minimum = fitted.minimum;
  host.settings.maximum = fitted.maximum;
}

ScanState FreshState() {
  ScanState state;
  state.SourceFileName = "bench.bmp";
  state.PictureLoaded = true;
  return state;
}

void BM_FitSettings(benchmark::State& state) {
  const RealScan& scan = ScanAt(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(FitSettings(scan.picture).threshold);
  CountMegapixels(state, scan.picture);
}

// The copy a fine scan is read through: half the resolution at 600 dpi.
void BM_ReadingCopy(benchmark::State& state) {
  const RealScan& scan = ScanAt(static_cast<int>(state.range(0)));
  const ReadingCopy reading(scan.fitted.reading);
  Raster copy;
  for (auto _ : state) {
    reading.Read(scan.picture, copy);
    benchmark::DoNotOptimize(copy.pixels.data());
  }
  state.counters["scale"] = scan.fitted.reading.scale;
  CountMegapixels(state, scan.picture);
}

// START with the fitted settings given, as a user who knows them would run it.
void BM_PipelineGivenSettings(benchmark::State& state) {
  const RealScan& scan = ScanAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  host.picture = host.display = scan.picture;
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  UseSettings(host, scan.fitted);
  ReadingHost reading(host, ReadingCopy(scan.fitted.reading));
  Host& engineHost = reading.Active() ? static_cast<Host&>(reading) : host;
  ScanState scanState = FreshState();
  MidiBuffer buffer;
  for (auto _ : state) {
    ScanDisc(scanState, engineHost);
    // As in the window: the next START reloads the picture the start line was drawn on.
    scanState.PictureClean = false;
    BuildMidi(scanState, engineHost, buffer);
    benchmark::DoNotOptimize(buffer.MidiLength);
  }
  if (scanState.NoteCount != scan.notes) {
    state.SkipWithError(
        ("the scan found " + std::to_string(scanState.NoteCount) + " notes").c_str());
  }
  CountMegapixels(state, scan.picture);
}

// START with --auto: the fit first, then the same.
void BM_PipelineFitted(benchmark::State& state) {
  const RealScan& scan = ScanAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  host.picture = host.display = scan.picture;
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ScanState scanState = FreshState();
  for (auto _ : state) {
    // As in the window, the fit first reloads the picture the last start line was drawn on.
    benchmark::DoNotOptimize(ReadDisc(scanState, host, {true}).midi.size());
  }
  if (scanState.NoteCount != scan.notes) {
    state.SkipWithError(
        ("the scan found " + std::to_string(scanState.NoteCount) + " notes").c_str());
  }
  CountMegapixels(state, scan.picture);
}

void Resolutions(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("dpi")->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_FitSettings)->Apply(Resolutions);
BENCHMARK(BM_ReadingCopy)->Apply(Resolutions);
BENCHMARK(BM_PipelineGivenSettings)->Apply(Resolutions);
BENCHMARK(BM_PipelineFitted)->Apply(Resolutions);

}  // namespace
}  // namespace tivenor::bench
