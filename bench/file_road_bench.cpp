// The whole road from a 24-bit BMP file to MIDI bytes (reading and decoding the file, the
// analysis, the transcription), beside reading the file's bytes alone, at 150, 300 and 600 dpi.
// The baseline is the least any reader of the file must do; decoding shows what the picture
// reader adds to it, the whole road what the converter does for one picture of a batch.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "adapters/picture/read_only_file.h"
#include "bench/bench_discs.h"
#include "engine/files/log_file.h"
#include "engine/midi/midi_buffer.h"
#include "engine/reading/scan_state.h"
#include "engine/roads/read_disc.h"
#include "programs/convert/converter_host.h"
#include "tests/support/bmp_writer.h"

namespace tivenor::bench {
namespace {

// The disc at `dpi` written once as a 24-bit BMP in the temporary folder, removed at exit.
class DiscFiles {
 public:
  ~DiscFiles() {
    std::error_code ignored;
    for (const auto& [dpi, file] : files_) std::filesystem::remove(file, ignored);
  }
  const std::string& At(int dpi) {
    auto found = files_.find(dpi);
    if (found == files_.end()) {
      const std::string file = (std::filesystem::temp_directory_path() /
                                ("tivenor-bench-" + std::to_string(dpi) + "dpi.bmp"))
                                   .string();
      testing::WriteBmp(DiscAt(dpi).picture, testing::BmpFormat::Rgb24, file);
      found = files_.emplace(dpi, file).first;
    }
    return found->second;
  }

 private:
  std::map<int, std::string> files_;
};

DiscFiles discFiles;

void CountBytesAndPixels(benchmark::State& state, const std::string& file, int dpi) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
  const double megapixels = static_cast<double>(DiscAt(dpi).picture.pixels.size()) / 1e6;
  state.counters["MP/s"] = benchmark::Counter(megapixels * static_cast<double>(state.iterations()),
                                              benchmark::Counter::kIsRate);
}

// The least: every byte of the file read once into memory that is kept from run to run.
void BM_ReadFileBytes(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const std::string& file = discFiles.At(dpi);
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    const ReadOnlyFile opened(file);
    bytes.resize(opened.Size());
    benchmark::DoNotOptimize(opened.ReadAt(0, bytes.data(), bytes.size()));
  }
  CountBytesAndPixels(state, file, dpi);
}

// The file decoded into a raster whose storage is kept, as in a batch.
void BM_DecodePicture(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const std::string& file = discFiles.At(dpi);
  Raster picture;
  for (auto _ : state) {
    picture = LoadPicture(file, std::move(picture));
    benchmark::DoNotOptimize(picture.pixels.data());
  }
  CountBytesAndPixels(state, file, dpi);
}

// What the converter does for one picture of a batch, but writing the file: decode, outline,
// holes, notes, transcription and MIDI bytes, with the converter's own host.
void BM_FileToMidiBytes(benchmark::State& state) {
  const int dpi = static_cast<int>(state.range(0));
  const std::string& file = discFiles.At(dpi);
  const BenchDisc& disc = DiscAt(dpi);
  ScanSettings settings;
  settings.minimum = disc.minimum;
  settings.maximum = disc.maximum;
  LogFile log;
  log.FileName = (std::filesystem::temp_directory_path() / "tivenor-bench.log").string();
  std::FILE* progress = std::fopen("/dev/null", "w");
  cli::ConverterHost host(settings, {}, log, progress);
  ScanState scan;
  for (auto _ : state) {
    scan.SourceFileName = file;
    host.ShowPicture(LoadPicture(file, host.TakeDisplay()));
    scan.PictureLoaded = true;
    scan.PictureClean = true;
    benchmark::DoNotOptimize(ReadDisc(scan, host, {}).midi.size());
  }
  std::fclose(progress);
  if (scan.NoteCount != disc.notes) state.SkipWithError("the scan missed notes");
  CountBytesAndPixels(state, file, dpi);
}

void Resolutions(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("dpi")->Arg(150)->Arg(300)->Arg(600)->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_ReadFileBytes)->Apply(Resolutions);
BENCHMARK(BM_DecodePicture)->Apply(Resolutions);
BENCHMARK(BM_FileToMidiBytes)->Apply(Resolutions);

}  // namespace
}  // namespace tivenor::bench
