#pragma once
// Fast searches along one row of pixels, four at a time where the processor allows.

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tivenor {

// True when the pixel's red byte is above the threshold.
inline bool IsBright(uint32_t pixel, int threshold) {
  return static_cast<int>(pixel & 0xFFu) > threshold;
}

// True when the whole colour value is at most the dark limit.
inline bool IsDark(uint32_t pixel, int32_t darkLimit) {
  return static_cast<int32_t>(pixel) <= darkLimit;
}

// Calls visit(c) for each c < count, in order, whose pixel row[c] is bright.
template <typename Visit>
void ForEachBright(const uint32_t* row, int32_t count, int threshold, Visit visit) {
  int32_t c = 0;
#if defined(__SSE2__)
  const __m128i redMask = _mm_set1_epi32(0xFF);
  const __m128i limit = _mm_set1_epi32(threshold);
  for (; c + 4 <= count; c += 4) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c));
    const __m128i above = _mm_cmpgt_epi32(_mm_and_si128(pixels, redMask), limit);
    int bits = _mm_movemask_ps(_mm_castsi128_ps(above));
    while (bits != 0) {
      visit(c + __builtin_ctz(static_cast<unsigned>(bits)));
      bits &= bits - 1;
    }
  }
#endif
  for (; c < count; ++c)
    if (IsBright(row[c], threshold)) visit(c);
}

// Index of the first dark pixel of row[from..to) searching upwards, or -1.
inline int32_t FirstDarkUp(const uint32_t* row, int32_t from, int32_t to, int32_t darkLimit) {
  int32_t c = from;
#if defined(__SSE2__)
  // Pixel values use 24 bits, so a signed comparison orders them correctly.
  const __m128i limit = _mm_set1_epi32(darkLimit);
  for (; c + 4 <= to; c += 4) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c));
    const int above = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(pixels, limit)));
    if (above != 0xF) return c + __builtin_ctz(static_cast<unsigned>(~above & 0xF));
  }
#endif
  for (; c < to; ++c)
    if (IsDark(row[c], darkLimit)) return c;
  return -1;
}

// Index of the last dark pixel of row[to..from] searching downwards from `from`, or -1.
inline int32_t FirstDarkDown(const uint32_t* row, int32_t from, int32_t to, int32_t darkLimit) {
  int32_t c = from;
#if defined(__SSE2__)
  const __m128i limit = _mm_set1_epi32(darkLimit);
  for (; c - 3 >= to; c -= 4) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + c - 3));
    const int above = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpgt_epi32(pixels, limit)));
    if (above != 0xF) return c - 3 + (31 - __builtin_clz(static_cast<unsigned>(~above & 0xF)));
  }
#endif
  for (; c >= to; --c)
    if (IsDark(row[c], darkLimit)) return c;
  return -1;
}

}  // namespace tivenor
