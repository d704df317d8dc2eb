#pragma once
// The discs the benchmarks run on: one melody drawn at 150, 300 and 600 dpi.

#include "bench/bench_host.h"
#include "engine/base/raster.h"

namespace tivenor::bench {

struct BenchDisc {
  Raster picture;
  int minimum = 10;  // hole size settings that fit the disc's slots
  int maximum = 75;
  int notes = 0;
};

// Drawn once per dpi and kept for the whole run.
const BenchDisc& DiscAt(int dpi);

// A host showing the disc, with its hole size settings.
void SetUpHost(BenchHost& host, const BenchDisc& disc);

}  // namespace tivenor::bench
