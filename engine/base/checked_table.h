#pragma once
// A fixed-size table with declared bounds; every index is tested against them.

#include <array>
#include <cstddef>

#include "engine/base/run_error.h"

namespace tivenor {

template <typename T, int First, int Last>
class CheckedTable {
 public:
  static constexpr int kFirst = First;
  static constexpr int kLast = Last;

  T& operator[](int index) { return values_[Offset(index)]; }
  const T& operator[](int index) const { return values_[Offset(index)]; }
  void Fill(const T& value) { values_.fill(value); }

 private:
  static std::size_t Offset(int index) {
    if (index < First || index > Last) throw RunError(kRangeCheckError);
    return static_cast<std::size_t>(index - First);
  }
  std::array<T, Last - First + 1> values_{};
};

}  // namespace tivenor
