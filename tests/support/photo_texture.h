#pragma once
// Deterministic randomness for photos: a hash of a few numbers, and a tile of smooth noise that
// gives paper and cardboard their mottled look when sampled at two scales.

#include <cmath>
#include <cstdint>
#include <vector>

namespace tivenor::testing {

// Well-mixed bits of (a, b, seed): the same arguments give the same bits on every machine.
inline uint64_t HashBits(uint64_t a, uint64_t b, uint64_t seed) {
  uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull) * 0xC2B2AE3D27D4EB4Full ^
               seed * 0xD6E8FEB86659FD93ull;
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93ull;
  h ^= h >> 32;
  h *= 0xD6E8FEB86659FD93ull;
  h ^= h >> 32;
  return h;
}

// A square tile of noise, about -1 to 1, that repeats seamlessly: octaves of smoothly
// interpolated random values from 64 texels down to 4.
class NoiseTile {
 public:
  static constexpr int kSide = 256;
  static constexpr int64_t kMask = kSide - 1;
  explicit NoiseTile(uint32_t seed);
  // Bilinear, wrapping at the tile's sides; (s, t) in texels.
  float Sample(double s, double t) const {
    const double fs = std::floor(s), ft = std::floor(t);
    const auto i0 = static_cast<int64_t>(fs), j0 = static_cast<int64_t>(ft);
    const auto wx = static_cast<float>(s - fs), wy = static_cast<float>(t - ft);
    const float* row0 = texels_.data() + static_cast<std::size_t>((j0 & kMask) * kSide);
    const float* row1 = texels_.data() + static_cast<std::size_t>(((j0 + 1) & kMask) * kSide);
    const auto a = static_cast<std::size_t>(i0 & kMask),
               b = static_cast<std::size_t>((i0 + 1) & kMask);
    const float top = row0[a] + (row0[b] - row0[a]) * wx;
    const float bottom = row1[a] + (row1[b] - row1[a]) * wx;
    return top + (bottom - top) * wy;
  }

 private:
  std::vector<float> texels_;
};

}  // namespace tivenor::testing
