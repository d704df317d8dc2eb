#pragma once
// The least of a smooth function of a few numbers, by the downhill simplex (Nelder and Mead):
// no slopes needed, which suits a misfit that is measured, not written down.

#include <array>
#include <functional>

namespace tivenor {

template <std::size_t N>
using SimplexPoint = std::array<double, N>;

// Starts from `start`, with first steps `steps`, for at most `rounds` rounds or until the
// simplex's values differ by less than `tolerance`.
template <std::size_t N>
SimplexPoint<N> SimplexMinimum(const std::function<double(const SimplexPoint<N>&)>& f,
                               SimplexPoint<N> start, const SimplexPoint<N>& steps, int rounds,
                               double tolerance) {
  std::array<SimplexPoint<N>, N + 1> p;
  std::array<double, N + 1> value;
  for (std::size_t i = 0; i <= N; ++i) {
    p[i] = start;
    if (i > 0) p[i][i - 1] += steps[i - 1];
    value[i] = f(p[i]);
  }
  const auto blend = [](const SimplexPoint<N>& a, const SimplexPoint<N>& b, double t) {
    SimplexPoint<N> out;
    for (std::size_t k = 0; k < N; ++k) out[k] = a[k] + t * (b[k] - a[k]);
    return out;
  };
  for (int round = 0; round < rounds; ++round) {
    std::size_t best = 0, worst = 0;
    for (std::size_t i = 1; i <= N; ++i) {
      if (value[i] < value[best]) best = i;
      if (value[i] > value[worst]) worst = i;
    }
    std::size_t second = best;
    for (std::size_t i = 0; i <= N; ++i) {
      if (i != worst && value[i] > value[second]) second = i;
    }
    if (value[worst] - value[best] < tolerance) break;
    SimplexPoint<N> centroid{};
    for (std::size_t i = 0; i <= N; ++i) {
      if (i == worst) continue;
      for (std::size_t k = 0; k < N; ++k) centroid[k] += p[i][k] / static_cast<double>(N);
    }
    const SimplexPoint<N> reflected = blend(centroid, p[worst], -1.0);
    const double reflectedValue = f(reflected);
    if (reflectedValue < value[best]) {
      const SimplexPoint<N> expanded = blend(centroid, p[worst], -2.0);
      const double expandedValue = f(expanded);
      if (expandedValue < reflectedValue) {
        p[worst] = expanded;
        value[worst] = expandedValue;
      } else {
        p[worst] = reflected;
        value[worst] = reflectedValue;
      }
      continue;
    }
    if (reflectedValue < value[second]) {
      p[worst] = reflected;
      value[worst] = reflectedValue;
      continue;
    }
    const SimplexPoint<N> contracted = blend(centroid, p[worst], 0.5);
    const double contractedValue = f(contracted);
    if (contractedValue < value[worst]) {
      p[worst] = contracted;
      value[worst] = contractedValue;
      continue;
    }
    for (std::size_t i = 0; i <= N; ++i) {
      if (i == best) continue;
      p[i] = blend(p[best], p[i], 0.5);
      value[i] = f(p[i]);
    }
  }
  std::size_t best = 0;
  for (std::size_t i = 1; i <= N; ++i) {
    if (value[i] < value[best]) best = i;
  }
  return p[best];
}

}  // namespace tivenor
