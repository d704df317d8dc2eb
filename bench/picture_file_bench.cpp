// Decoding the pictures of the field: a 24-megapixel camera JPEG whole and at 1/2, 1/4 and 1/8
// by the library's scaled decoding, and a 100-megapixel 16-bit TIFF scan (uncompressed) whole and
// reduced strip by strip, beside reading their files' bytes alone. tivenor-bench-photo writes
// the same pictures as files, for timing whole processes.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "adapters/picture/picture_file.h"
#include "adapters/picture/read_only_file.h"
#include "bench/photo_like.h"
#include "tests/support/jpeg_writer.h"
#include "tests/support/tiff_writer.h"

namespace tivenor::bench {
namespace {

// Each picture written once in the temporary folder, removed at exit.
class BenchFiles {
 public:
  ~BenchFiles() {
    std::error_code ignored;
    for (const auto& [name, file] : files_) std::filesystem::remove(file, ignored);
  }
  const std::string& Photo24() {
    return At("tivenor-bench-photo24.jpg", [](const std::string& file) {
      testing::WriteJpeg(PhotoLikeDisc(6000, 4000), {85, false, 0}, file);
    });
  }
  const std::string& Scan100() {
    return At("tivenor-bench-scan100.tif", [](const std::string& file) {
      testing::WriteTiff(ScanOfSide(10000),
                         {testing::TiffLayout::Rgb16, testing::TiffCompression::None}, file);
    });
  }

 private:
  template <typename Write>
  const std::string& At(const std::string& name, Write write) {
    auto found = files_.find(name);
    if (found == files_.end()) {
      const std::string file = (std::filesystem::temp_directory_path() / name).string();
      write(file);
      found = files_.emplace(name, file).first;
    }
    return found->second;
  }
  std::map<std::string, std::string> files_;
};

BenchFiles benchFiles;

void CountPixels(benchmark::State& state, const std::string& file) {
  const PictureSize size = ReadPictureSize(file);
  state.counters["MP/s"] = benchmark::Counter(
      static_cast<double>(size.width) * size.height / 1e6 * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(std::filesystem::file_size(file)));
}

void ReadBytes(benchmark::State& state, const std::string& file) {
  std::vector<uint8_t> bytes;
  for (auto _ : state) {
    const ReadOnlyFile opened(file);
    bytes.resize(opened.Size());
    benchmark::DoNotOptimize(opened.ReadAt(0, bytes.data(), bytes.size()));
  }
  CountPixels(state, file);
}

void Decode(benchmark::State& state, const std::string& file) {
  Raster picture;
  for (auto _ : state) {
    ReducedPicture read =
        LoadReducedPicture(file, static_cast<int>(state.range(0)), std::move(picture));
    picture = std::move(read.picture);
    benchmark::DoNotOptimize(picture.pixels.data());
  }
  CountPixels(state, file);
}

void BM_Photo24ReadBytes(benchmark::State& state) {
  ReadBytes(state, benchFiles.Photo24());
}
void BM_Photo24Decode(benchmark::State& state) {
  Decode(state, benchFiles.Photo24());
}
void BM_Scan100ReadBytes(benchmark::State& state) {
  ReadBytes(state, benchFiles.Scan100());
}
void BM_Scan100Decode(benchmark::State& state) {
  Decode(state, benchFiles.Scan100());
}

BENCHMARK(BM_Photo24ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Photo24Decode)
    ->ArgName("reduction")
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan100ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Scan100Decode)
    ->ArgName("reduction")
    ->Arg(1)
    ->Arg(4)
    ->Arg(7)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tivenor::bench

BENCHMARK_MAIN();
