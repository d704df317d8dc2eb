// Speed of the disc maker: laying out a tune, and painting the layout as a picture at scan
// resolutions, on the built-in disc and on a large disc of another format.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <vector>

#include "adapters/paint/disc_file.h"
#include "adapters/paint/disc_page.h"
#include "adapters/paint/paint_disc.h"
#include "engine/making/layout_disc.h"
#include "tests/support/made_disc_formats.h"

namespace {

// A tune of `count` notes on comb keys, quick enough that some repeats find no room.
std::vector<tivenor::NoteOnset> Tune(int count) {
  static constexpr int kKeys[] = {52, 59, 64, 66, 68, 71, 73, 75, 76, 78, 81,
                                  83, 85, 87, 88, 90, 92, 93, 94, 95, 97, 99};
  std::vector<tivenor::NoteOnset> tune;
  tune.reserve(count);
  for (int i = 0; i < count; ++i) tune.push_back({i * 0.05, kKeys[(i * 7) % 22], 0});
  return tune;
}

void BM_LayoutDisc(benchmark::State& state) {
  const std::vector<tivenor::NoteOnset> tune = Tune(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    tivenor::DiscLayout layout = tivenor::LayoutDisc(tune, {});
    benchmark::DoNotOptimize(layout.notes.data());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LayoutDisc)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond);

void BM_PaintPicture(benchmark::State& state) {
  const tivenor::DiscLayout layout = tivenor::LayoutDisc(Tune(500), {});
  const double dpi = static_cast<double>(state.range(0));
  const int side = tivenor::PicturePixels(dpi);
  QImage picture(side, side, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&picture);
    painter.scale(side / tivenor::kPageSizeMm, side / tivenor::kPageSizeMm);
    tivenor::PaintDisc(painter, layout, {});
  }
  state.counters["pixels"] = static_cast<double>(side) * side;
}
BENCHMARK(BM_PaintPicture)->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);

// A 36-track piano player's disc of 400 mm with 900 sustained slots, some merged or shortened.
tivenor::LayoutOptions PianoPlayerOptions() {
  tivenor::LayoutOptions options;
  options.format = tivenor::testing::PianoPlayerFormat();
  options.diameterMm = 400.0;
  return options;
}

std::vector<tivenor::NoteOnset> PianoTune() {
  const tivenor::DiscFormat format = tivenor::testing::PianoPlayerFormat();
  std::vector<tivenor::NoteOnset> tune;
  tune.reserve(900);
  for (int i = 0; i < 900; ++i) {
    tune.push_back({i * 0.09, format.keys[(i * 7) % 36], 0, 0.05 + 0.1 * (i % 7)});
  }
  return tune;
}

void BM_LayoutFormatDisc(benchmark::State& state) {
  const std::vector<tivenor::NoteOnset> tune = PianoTune();
  const tivenor::LayoutOptions options = PianoPlayerOptions();
  for (auto _ : state) {
    tivenor::DiscLayout layout = tivenor::LayoutDisc(tune, options);
    benchmark::DoNotOptimize(layout.notes.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(tune.size()));
}
BENCHMARK(BM_LayoutFormatDisc)->Unit(benchmark::kMillisecond);

void BM_PaintFormatPicture(benchmark::State& state) {
  const tivenor::DiscLayout layout = tivenor::LayoutDisc(PianoTune(), PianoPlayerOptions());
  const double dpi = static_cast<double>(state.range(0));
  const int side = tivenor::PicturePixels(layout, dpi);
  const double scale = side / tivenor::PageSizeMm(layout);
  QImage picture(side, side, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&picture);
    painter.scale(scale, scale);
    tivenor::PaintDisc(painter, layout, {});
  }
  state.counters["pixels"] = static_cast<double>(side) * side;
  state.counters["slots"] = static_cast<double>(layout.notes.size());
}
BENCHMARK(BM_PaintFormatPicture)->Arg(150)->Arg(300)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
