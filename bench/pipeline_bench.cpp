// One START (copy, outline, column walk and fills, note points, transcription, MIDI bytes) on
// discs drawn at 150, 300 and 600 dpi, beside a single pass that reads every pixel once. Both
// report megapixels of the picture per second; their ratio is the cost of the analysis over the
// least any analysis must do.

#include <benchmark/benchmark.h>

#include <cstdint>

#include "bench/bench_discs.h"
#include "engine/midi/midi_buffer.h"
#include "engine/midi/write_midi.h"
#include "engine/reading/hole_scan.h"
#include "engine/reading/outline.h"
#include "engine/reading/scan_state.h"
#include "engine/roads/read_disc.h"
#include "tests/support/memory_host.h"

namespace tivenor::bench {
namespace {

void CountMegapixels(benchmark::State& state, const Raster& picture) {
  const double megapixels = static_cast<double>(picture.pixels.size()) / 1e6;
  state.counters["MP/s"] = benchmark::Counter(megapixels * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
  state.counters["MP"] = megapixels;
}

ScanState FreshState() {
  ScanState state;
  state.SourceFileName = "bench.bmp";
  state.PictureLoaded = true;
  return state;
}

// The least a scan must do: look at every pixel once.
void BM_OnePassOverPixels(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    int64_t bright = 0;
    for (uint32_t pixel : disc.picture.pixels) bright += (pixel & 0xFFu) > 100u ? 1 : 0;
    benchmark::DoNotOptimize(bright);
  }
  CountMegapixels(state, disc.picture);
}

// The same pass in the order the column walk visits pixels, one read through the raster at a time.
void BM_OnePassByColumns(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  const Raster& picture = disc.picture;
  for (auto _ : state) {
    int64_t bright = 0;
    for (int32_t x = 0; x < picture.width; ++x) {
      for (int32_t y = 0; y < picture.height; ++y)
        bright += (picture.Pixel(x, y) & 0xFFu) > 100u ? 1 : 0;
    }
    benchmark::DoNotOptimize(bright);
  }
  CountMegapixels(state, picture);
}

// The engine's whole START: copy of the shown picture, outline, column walk and fills, note
// points, transcription and MIDI bytes, with a display that costs nothing and no file I/O.
void BM_Pipeline(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  SetUpHost(host, disc);
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ScanState scan = FreshState();
  for (auto _ : state) {
    scan.PictureClean = true;  // nothing reloaded: the display is never marked here
    benchmark::DoNotOptimize(ReadDisc(scan, host, {}).midi.size());
  }
  if (scan.NoteCount != disc.notes) state.SkipWithError("the scan missed notes");
  CountMegapixels(state, disc.picture);
}

// START as the window runs it the second time on: the picture reloaded (from memory here), the
// copy, the display's snapshot after the outline, scan, notes, MIDI bytes.
void BM_StartInWindow(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  SetUpHost(host, disc);
  ScanState scan = FreshState();
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadDisc(scan, host, {}).midi.size());
  }
  if (scan.NoteCount != disc.notes) state.SkipWithError("the scan missed notes");
  CountMegapixels(state, disc.picture);
}

// The working copy of the displayed picture.
void BM_CopyPicture(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  SetUpHost(host, disc);
  ScanState scan = FreshState();
  for (auto _ : state) {
    PrepareWorkBitmap(scan, host);
    benchmark::DoNotOptimize(scan.WorkBitmap.pixels.data());
  }
  CountMegapixels(state, disc.picture);
}

// Copy and outline; the outline alone is the difference to BM_CopyPicture.
void BM_CopyAndOutline(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  SetUpHost(host, disc);
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ScanState scan = FreshState();
  for (auto _ : state) {
    PrepareWorkBitmap(scan, host);
    FindMidpointDiameter(scan, host);
    benchmark::DoNotOptimize(scan.CenterX);
  }
  CountMegapixels(state, disc.picture);
}

// The whole image analysis with a display that costs nothing; the column walk with its fills and
// note points is the difference to BM_CopyAndOutline.
void BM_ScanDisc(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  SetUpHost(host, disc);
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ScanState scan = FreshState();
  for (auto _ : state) {
    ScanDisc(scan, host);
    benchmark::DoNotOptimize(scan.NoteCount);
  }
  if (scan.NoteCount != disc.notes) state.SkipWithError("the scan missed notes");
  CountMegapixels(state, disc.picture);
}

// Transcription and MIDI bytes from the notes of one scan (the scan state is copied back first,
// since the transcription turns the notes in place).
void BM_TranscribeAndBuildMidi(benchmark::State& state) {
  const BenchDisc& disc = DiscAt(static_cast<int>(state.range(0)));
  testing::MemoryHost host;
  SetUpHost(host, disc);
  host.keepShownBitmaps = false;
  host.keepTexts = false;
  ScanState scanned = FreshState();
  ScanDisc(scanned, host);
  ScanState scan;
  MidiBuffer buffer;
  for (auto _ : state) {
    scan = scanned;
    BuildMidi(scan, host, buffer);
    benchmark::DoNotOptimize(buffer.MidiLength);
  }
  state.counters["notes"] = scanned.NoteCount;
}

void Resolutions(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("dpi")->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_OnePassOverPixels)->Apply(Resolutions);
BENCHMARK(BM_OnePassByColumns)->Apply(Resolutions);
BENCHMARK(BM_Pipeline)->Apply(Resolutions);
BENCHMARK(BM_StartInWindow)->Apply(Resolutions);
BENCHMARK(BM_CopyPicture)->Apply(Resolutions);
BENCHMARK(BM_CopyAndOutline)->Apply(Resolutions);
BENCHMARK(BM_ScanDisc)->Apply(Resolutions);
BENCHMARK(BM_TranscribeAndBuildMidi)->Apply(Resolutions)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tivenor::bench

BENCHMARK_MAIN();
