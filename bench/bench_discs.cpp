#include "bench/bench_discs.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "tests/support/disc_renderer.h"
#include "tests/support/sample_melody.h"

namespace tivenor::bench {
namespace {

BenchDisc Draw(int dpi) {
  testing::DiscOptions options = testing::SampleDiscOptions();
  options.dpi = dpi;
  // Slots stay under the 500 pixels a hole may hold at any resolution.
  if (dpi > 400) {
    options.holeWidthMm = 0.6;
    options.holeLengthMm = 1.2;
  }
  BenchDisc disc;
  const auto notes = testing::SampleMelody();
  disc.picture = testing::RenderDisc(notes, options);
  const double area = testing::HoleAreaPixels(options);
  disc.minimum = std::max(2, static_cast<int>(area * 0.25));
  disc.maximum = std::min(900, static_cast<int>(std::ceil(area * 1.5)));
  disc.notes = static_cast<int>(notes.size());
  return disc;
}

}  // namespace

const BenchDisc& DiscAt(int dpi) {
  static std::map<int, BenchDisc> discs;
  auto found = discs.find(dpi);
  if (found == discs.end()) found = discs.emplace(dpi, Draw(dpi)).first;
  return found->second;
}

void SetUpHost(testing::MemoryHost& host, const BenchDisc& disc) {
  host.picture = disc.picture;
  host.display = disc.picture;
  host.settings.minimum = disc.minimum;
  host.settings.maximum = disc.maximum;
}

}  // namespace tivenor::bench
