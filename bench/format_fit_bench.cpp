// Fitting the slots found to every known format, as each reading does to decide whether they fit
// its format at all: on a disc's slots alone, and among the thousands of light patches a poorly
// lit photograph gives. Reports patches per second: the fit is linear in the patches.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "engine/slots/format_fit.h"
#include "tests/support/test_formats.h"

namespace tivenor::bench {
namespace {

// 300 slots on the organette disc's tracks, then `noise` patches of slot size strewn over its
// ring by a fixed sequence.
std::vector<SlotShape> ShapesWithNoise(int noise) {
  const DiscFormat format = testing::Ariston24();
  std::vector<SlotShape> shapes;
  const double pixel = 1.0 / 700.0;
  for (int i = 0; i < 300; ++i) {
    SlotShape slot;
    slot.radius = format.trackRadii[static_cast<std::size_t>((i * 7) % format.TrackCount())];
    slot.width = 0.021;
    slot.length = 0.02 + 0.004 * (i % 20);
    slot.pixel = pixel;
    slot.pixels = 200;
    shapes.push_back(slot);
  }
  uint32_t bits = 12345;
  const auto next = [&bits] {
    bits = bits * 1664525u + 1013904223u;
    return static_cast<double>(bits >> 8) / static_cast<double>(1u << 24);
  };
  for (int i = 0; i < noise; ++i) {
    SlotShape patch;
    patch.radius = format.ringInner + next() * (format.ringOuter - format.ringInner);
    patch.width = 0.005 + 0.03 * next();
    patch.length = 0.005 + 0.1 * next();
    patch.pixel = pixel;
    patch.pixels = 20;
    shapes.push_back(patch);
  }
  return shapes;
}

void BM_FindMisfit(benchmark::State& state) {
  const std::vector<SlotShape> shapes = ShapesWithNoise(static_cast<int>(state.range(0)));
  const std::vector<DiscFormat> known = {BuiltInDiscFormat(), testing::Ariston24(),
                                         testing::PianoPlayer36()};
  const DiscFormat format = testing::Ariston24();
  const KeyedSlots keyed = KeySlots(shapes, format);
  for (auto _ : state) {
    benchmark::DoNotOptimize(FindMisfit(shapes, format, keyed, known));
  }
  state.counters["patches/s"] = benchmark::Counter(
      static_cast<double>(shapes.size() * state.iterations()), benchmark::Counter::kIsRate);
}

BENCHMARK(BM_FindMisfit)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tivenor::bench
