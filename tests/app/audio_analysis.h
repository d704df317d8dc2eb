#pragma once
// Loudness over time of 16-bit little-endian audio, for checking when sound starts and stops.

#include <QByteArray>

#include <vector>

namespace tivenor::testing {

// Peak absolute sample of each window of `windowSeconds`, over all channels.
std::vector<int> PeakEnvelope(const QByteArray& samples, int channels, int sampleRate,
                              double windowSeconds);

// Start times in seconds of the windows where the peak first exceeds `threshold` and is at least
// `rise` times the loudest of the `lookBack` windows before it; an attack counts once.
std::vector<double> Onsets(const std::vector<int>& envelope, double windowSeconds, int threshold,
                           double rise, int lookBack);

// The loudest peak of the envelope between two times.
int LoudestBetween(const std::vector<int>& envelope, double windowSeconds, double from, double to);

}  // namespace tivenor::testing
