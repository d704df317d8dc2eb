// Writes the benchmarks' disc at one resolution as a 24-bit BMP, and prints the hole size
// settings that fit it as converter options, for timing whole processes on a real file.
//   tivenor-bench-disc DPI OUTPUT.bmp

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "bench/bench_discs.h"
#include "tests/support/bmp_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: tivenor-bench-disc DPI OUTPUT.bmp\n", stderr);
    return 2;
  }
  try {
    const int dpi = std::stoi(argv[1]);
    if (dpi < 50 || dpi > 1200) throw std::out_of_range("dpi from 50 to 1200");
    const tivenor::bench::BenchDisc& disc = tivenor::bench::DiscAt(dpi);
    tivenor::testing::WriteBmp(disc.picture, tivenor::testing::BmpFormat::Rgb24, argv[2]);
    std::printf("--minimum %d --maximum %d\n", disc.minimum, disc.maximum);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "tivenor-bench-disc: %s\n", error.what());
    return 1;
  }
  return 0;
}
