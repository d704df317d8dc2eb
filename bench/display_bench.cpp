// Speed of what the window does while a disc plays: one frame of the playhead over the picture,
// as laid out and fitted to the window, fitting a picture to the window, and rendering a tune
// into a sound file.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>

#include "adapters/sound/render_sound_file.h"
#include "adapters/sound/sound_font.h"
#include "bench/bench_discs.h"
#include "engine/midi/midi_buffer.h"
#include "engine/midi/playhead.h"
#include "programs/window/window/picture_display.h"

namespace {

using tivenor::PictureDisplay;
using tivenor::PictureView;

const QSize kWindowRoom(800, 700);

// The playhead over the disc, with a note every 18 ticks round the turn.
tivenor::PlayheadMap MapOf(const tivenor::Raster& picture) {
  tivenor::PlayheadMap map;
  map.centre = {picture.width / 2.0, picture.height / 2.0};
  map.radius = picture.width * 0.45;
  map.startAngle = 1.0 / 48;
  for (int tick = 0; tick < 3600; tick += 18) {
    const double angle = 2 * M_PI * (map.startAngle + tick / 3600.0);
    const double r = map.radius * (0.3 + 0.6 * (tick % 7) / 7.0);
    map.notes.push_back({{map.centre.x + r * std::cos(angle), map.centre.y - r * std::sin(angle)},
                         static_cast<uint16_t>(tick)});
  }
  return map;
}

// One update of the playhead: moved and the display painted, as the screen would get it.
void BM_PlayheadFrame(benchmark::State& state) {
  const tivenor::bench::BenchDisc& disc = tivenor::bench::DiscAt(static_cast<int>(state.range(0)));
  const auto view = static_cast<PictureView>(state.range(1));
  PictureDisplay display;
  display.ShowBitmap(disc.picture);
  display.SetView(view, kWindowRoom);
  display.ShowPlayhead(MapOf(disc.picture));
  QImage screen(display.size().boundedTo(kWindowRoom), QImage::Format_RGB32);
  double ticks = 0;
  for (auto _ : state) {
    ticks += 5.3;  // the file plays 160 ticks a second; 30 frames a second
    display.MovePlayhead(ticks);
    display.render(&screen);
    benchmark::DoNotOptimize(screen.constBits());
  }
}
BENCHMARK(BM_PlayheadFrame)
    ->ArgsProduct({{150, 600},
                   {static_cast<int>(PictureView::kSpecified),
                    static_cast<int>(PictureView::kFitToWindow)}})
    ->ArgNames({"dpi", "view"})
    ->Unit(benchmark::kMillisecond);

// Choosing View > Fit picture to window: the whole picture converted and scaled once.
void BM_FitToWindow(benchmark::State& state) {
  const tivenor::bench::BenchDisc& disc = tivenor::bench::DiscAt(static_cast<int>(state.range(0)));
  PictureDisplay display;
  display.ShowBitmap(disc.picture);
  for (auto _ : state) {
    display.SetView(PictureView::kFitToWindow, kWindowRoom);
    display.SetView(PictureView::kSpecified, kWindowRoom);
  }
}
BENCHMARK(BM_FitToWindow)->Arg(150)->Arg(600)->ArgName("dpi")->Unit(benchmark::kMillisecond);

// Rendering a tune of a minute into a sound file of each kind.
void BM_RenderSound(benchmark::State& state) {
  const auto soundFont = tivenor::FindSoundFont();
  if (!soundFont) {
    state.SkipWithError("no SoundFont");
    return;
  }
  QTemporaryDir folder;
  tivenor::MidiBuffer buffer;
  tivenor::StartMidi(buffer);
  for (int note = 0; note < 160; ++note) {  // a note every 60 ticks: a minute
    tivenor::AppendVarLen(buffer, note == 0 ? 0 : 60);
    if (note == 0) buffer.AppendByte(0x90);
    buffer.AppendByte(static_cast<uint8_t>(64 + note % 24));
    buffer.AppendByte(90);
  }
  tivenor::FinishMidi(buffer);
  tivenor::PatchTrackLength(buffer);
  const std::string midi = folder.filePath("tune.mid").toStdString();
  tivenor::SaveMidiBytes(midi, buffer);
  const auto type = static_cast<tivenor::SoundFileType>(state.range(0));
  int64_t frames = 0;
  for (auto _ : state) {
    frames =
        tivenor::RenderMidiFile({midi, *soundFont, folder.filePath("out").toStdString(), "", type});
  }
  state.counters["seconds_of_sound"] = static_cast<double>(frames) / 44100;
}
BENCHMARK(BM_RenderSound)
    ->Arg(static_cast<int>(tivenor::SoundFileType::kWav))
    ->Arg(static_cast<int>(tivenor::SoundFileType::kFlac))
    ->Arg(static_cast<int>(tivenor::SoundFileType::kOgg))
    ->ArgName("type")
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
