#include "engine/fitting/lighting.h"

#include <algorithm>
#include <cmath>

namespace tivenor {

namespace {

constexpr int kTerms = 6;
constexpr int kMinimumSamples = 12;
// A sample below this share of the fit is not background.
constexpr double kOutlierShare = 0.75;

std::array<double, kTerms> Terms(double u, double v) {
  return {1.0, u, v, u * u, u * v, v * v};
}

// Solves the normal equations by Gaussian elimination with partial pivoting; false when singular.
bool Solve(std::array<std::array<double, kTerms + 1>, kTerms>& m, std::array<double, kTerms>& x) {
  for (int col = 0; col < kTerms; ++col) {
    int pivot = col;
    for (int row = col + 1; row < kTerms; ++row)
      if (std::fabs(m[row][col]) > std::fabs(m[pivot][col])) pivot = row;
    if (std::fabs(m[pivot][col]) < 1e-12) return false;
    std::swap(m[col], m[pivot]);
    for (int row = col + 1; row < kTerms; ++row) {
      const double f = m[row][col] / m[col][col];
      for (int k = col; k <= kTerms; ++k) m[row][k] -= f * m[col][k];
    }
  }
  for (int row = kTerms - 1; row >= 0; --row) {
    double sum = m[row][kTerms];
    for (int k = row + 1; k < kTerms; ++k) sum -= m[row][k] * x[k];
    x[row] = sum / m[row][row];
  }
  return true;
}

bool FitOnce(const std::vector<LightSample>& samples, LightingModel& model) {
  std::array<std::array<double, kTerms + 1>, kTerms> normal{};
  for (const LightSample& s : samples) {
    const auto t = Terms(s.x / model.width, s.y / model.height);
    for (int i = 0; i < kTerms; ++i) {
      for (int j = 0; j < kTerms; ++j) normal[i][j] += t[i] * t[j];
      normal[i][kTerms] += t[i] * s.brightness;
    }
  }
  return Solve(normal, model.coefficients);
}

}  // namespace

double LightingModel::At(double x, double y) const {
  const auto t = Terms(x / width, y / height);
  double sum = 0.0;
  for (int i = 0; i < kTerms; ++i) sum += coefficients[i] * t[i];
  return sum;
}

LightingFit FitLighting(std::vector<LightSample> samples, double width, double height) {
  LightingFit fit;
  fit.model.width = std::max(width, 1.0);
  fit.model.height = std::max(height, 1.0);
  for (int round = 0; round < 3; ++round) {
    if (static_cast<int>(samples.size()) < kMinimumSamples) return fit;
    if (!FitOnce(samples, fit.model)) return fit;
    fit.fitted = true;
    std::erase_if(samples, [&](const LightSample& s) {
      return s.brightness < kOutlierShare * fit.model.At(s.x, s.y);
    });
  }
  return fit;
}

LightingRange RangeOver(const LightingModel& model, int32_t width, int32_t height) {
  constexpr int kSteps = 16;
  LightingRange range{model.At(0, 0), model.At(0, 0)};
  for (int i = 0; i <= kSteps; ++i) {
    for (int j = 0; j <= kSteps; ++j) {
      const double value = model.At(static_cast<double>(width - 1) * i / kSteps,
                                    static_cast<double>(height - 1) * j / kSteps);
      range.darkest = std::min(range.darkest, value);
      range.brightest = std::max(range.brightest, value);
    }
  }
  return range;
}

}  // namespace tivenor
