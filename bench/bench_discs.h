#pragma once
// The discs the benchmarks run on: one melody drawn at 150, 300 and 600 dpi.

#include "engine/base/raster.h"
#include "engine/base/settings.h"
#include "tests/support/memory_host.h"

namespace tivenor::bench {

struct BenchDisc {
  Raster picture;
  int minimum = kMinimumSetting.initial;  // hole size settings that fit the disc's slots
  int maximum = kMaximumSetting.initial;
  int notes = 0;
};

// Drawn once per dpi and kept for the whole run.
const BenchDisc& DiscAt(int dpi);

// A host showing the disc, with its hole size settings.
void SetUpHost(testing::MemoryHost& host, const BenchDisc& disc);

}  // namespace tivenor::bench
