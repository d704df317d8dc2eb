#include "tests/support/photo_texture.h"

#include <cmath>

namespace tivenor::testing {
namespace {

double SmoothStep(double t) {
  return t * t * (3.0 - 2.0 * t);
}

// A random value in -1..1 for each lattice point of a `cells` x `cells` grid, wrapping.
double LatticeValue(int i, int j, int cells, uint64_t seed) {
  const auto wrapped = [cells](int v) {
    return static_cast<uint64_t>(((v % cells) + cells) % cells);
  };
  return static_cast<double>(HashBits(wrapped(i), wrapped(j), seed) >> 11) / 4503599627370496.0 -
         1.0;
}

}  // namespace

NoiseTile::NoiseTile(uint32_t seed) : texels_(static_cast<std::size_t>(kSide) * kSide, 0.0f) {
  constexpr int kOctaves = 5;  // periods 64, 32, 16, 8 and 4 texels
  double amplitude = 0.5;
  for (int octave = 0; octave < kOctaves; ++octave) {
    const int period = 64 >> octave;
    const int cells = kSide / period;
    const uint64_t octaveSeed = HashBits(seed, static_cast<uint64_t>(octave), 0x5EEDu);
    for (int y = 0; y < kSide; ++y) {
      const int j = y / period;
      const double fy = SmoothStep((y % period) / static_cast<double>(period));
      for (int x = 0; x < kSide; ++x) {
        const int i = x / period;
        const double fx = SmoothStep((x % period) / static_cast<double>(period));
        const double top = LatticeValue(i, j, cells, octaveSeed) * (1.0 - fx) +
                           LatticeValue(i + 1, j, cells, octaveSeed) * fx;
        const double bottom = LatticeValue(i, j + 1, cells, octaveSeed) * (1.0 - fx) +
                              LatticeValue(i + 1, j + 1, cells, octaveSeed) * fx;
        texels_[static_cast<std::size_t>(y) * kSide + static_cast<std::size_t>(x)] +=
            static_cast<float>(amplitude * (top * (1.0 - fy) + bottom * fy));
      }
    }
    amplitude *= 0.6;
  }
}

}  // namespace tivenor::testing
