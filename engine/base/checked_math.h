#pragma once
// Overflow-checked 32-bit integers, range-checked narrowing and the two roundings of the system.
// Real arithmetic runs in long double; each stored value is a double.

#include <cmath>
#include <cstdint>
#include <limits>

#include "engine/base/run_error.h"

namespace tivenor {

inline int32_t CheckedAdd(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_add_overflow(a, b, &r)) throw RunError(kIntegerOverflow);
  return r;
}
inline int32_t CheckedSub(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_sub_overflow(a, b, &r)) throw RunError(kIntegerOverflow);
  return r;
}
inline int32_t CheckedMul(int32_t a, int32_t b) {
  int32_t r;
  if (__builtin_mul_overflow(a, b, &r)) throw RunError(kIntegerOverflow);
  return r;
}

// Stores a value into a narrower field, as the tables and the MIDI bytes need.
template <typename Narrow, typename Wide>
Narrow NarrowChecked(Wide value) {
  if (value < static_cast<Wide>(std::numeric_limits<Narrow>::min()) ||
      value > static_cast<Wide>(std::numeric_limits<Narrow>::max())) {
    throw RunError(kRangeCheckError);
  }
  return static_cast<Narrow>(value);
}

// A real result that is not finite ends the command like a floating-point trap would.
inline long double CheckedReal(long double value) {
  if (std::isnan(value)) throw RunError(kInvalidFloatOperation);
  if (std::isinf(value)) throw RunError(kFloatOverflow);
  return value;
}

inline long double CheckedDivide(long double numerator, long double denominator) {
  if (denominator == 0.0L) {
    throw RunError(numerator == 0.0L || std::isnan(numerator) ? kInvalidFloatOperation
                                                              : kFloatDivisionByZero);
  }
  return CheckedReal(numerator / denominator);
}

// Round: nearest integer, halves to the even neighbour; the result must fit 64 bits.
inline int64_t RoundHalfEven(long double value) {
  CheckedReal(value);
  if (value >= 9.2e18L || value <= -9.2e18L) throw RunError(kIntegerOverflow);
  return static_cast<int64_t>(std::rint(value));  // the default rounding mode: halves to even
}

// Round into a signed 32-bit integer.
inline int32_t Round32(long double value) {
  return NarrowChecked<int32_t>(RoundHalfEven(value));
}

// Trunc: toward zero, into a signed 32-bit integer.
inline int32_t Trunc32(long double value) {
  CheckedReal(value);
  if (value >= 2147483648.0L || value <= -2147483649.0L) throw RunError(kIntegerOverflow);
  return static_cast<int32_t>(value);
}

}  // namespace tivenor
