#include "tests/app/audio_analysis.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace tivenor::testing {

std::vector<int> PeakEnvelope(const QByteArray& samples, int channels, int sampleRate,
                              double windowSeconds) {
  const auto frameBytes = static_cast<qsizetype>(2 * channels);
  const auto framesPerWindow = static_cast<qsizetype>(sampleRate * windowSeconds);
  const qsizetype frames = samples.size() / frameBytes;
  std::vector<int> envelope;
  for (qsizetype start = 0; start + framesPerWindow <= frames; start += framesPerWindow) {
    int peak = 0;
    for (qsizetype i = start * channels; i < (start + framesPerWindow) * channels; ++i) {
      int16_t sample;
      std::memcpy(&sample, samples.constData() + 2 * i, 2);
      peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    envelope.push_back(peak);
  }
  return envelope;
}

std::vector<double> Onsets(const std::vector<int>& envelope, double windowSeconds, int threshold,
                           double rise, int lookBack) {
  std::vector<double> onsets;
  for (std::size_t i = 0; i < envelope.size(); ++i) {
    if (envelope[i] <= threshold) continue;
    int before = 0;
    for (std::size_t j = i >= static_cast<std::size_t>(lookBack) ? i - lookBack : 0; j < i; ++j) {
      before = std::max(before, envelope[j]);
    }
    const double time = static_cast<double>(i) * windowSeconds;
    // An attack spread over neighbouring windows is one onset.
    const bool sameAttack = !onsets.empty() && time - onsets.back() <= lookBack * windowSeconds;
    if (envelope[i] >= rise * before && !sameAttack) onsets.push_back(time);
  }
  return onsets;
}

int LoudestBetween(const std::vector<int>& envelope, double windowSeconds, double from, double to) {
  int loudest = 0;
  for (std::size_t i = 0; i < envelope.size(); ++i) {
    const double t = static_cast<double>(i) * windowSeconds;
    if (t >= from && t < to) loudest = std::max(loudest, envelope[i]);
  }
  return loudest;
}

}  // namespace tivenor::testing
