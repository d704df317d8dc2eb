#include "engine/slots/format_choice.h"

#include <algorithm>
#include <cmath>

#include "engine/slots/slot_keying.h"
#include "engine/slots/track_grid.h"

namespace tivenor {

namespace {

// Fewer pixels than this are noise to every format.
constexpr int64_t kSmallestCountedPixels = 6;
// What a grid moved as far as the search goes costs, as a share of the slots: enough to choose
// between formats whose tracks nearly coincide, too little to outweigh slots that do not fit.
constexpr double kGridChangeCost = 0.1;

double GridChange(const TrackGrid& grid, const DiscFormat& format) {
  const double pitch = TrackPitch(format);
  const double shift =
      pitch > 0.0 ? std::fabs(grid.shift) / (kLargestGridShiftPitches * pitch) : 0.0;
  const double stretch = std::fabs(grid.stretch - 1.0) / kLargestGridStretch;
  return 0.5 * std::min(shift, 1.0) + 0.5 * std::min(stretch, 1.0);
}

}  // namespace

double FormatScore::Score() const {
  return Share() - kGridChangeCost * gridChange;
}

std::vector<FormatScore> ScoreFormats(std::span<const SlotShape> shapes,
                                      std::span<const DiscFormat> candidates) {
  // Patches that no candidate keys (drive holes, print, dust) say nothing about which fits.
  std::vector<bool> someonesSlot(shapes.size(), false);
  std::vector<FormatScore> scores;
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    const KeyedSlots keyed = KeySlots(shapes, candidates[c]);
    FormatScore score;
    score.candidate = c;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      if (keyed.tracks[i] >= 0 && shapes[i].pixels >= kSmallestCountedPixels) {
        ++score.onTrack;
        someonesSlot[i] = true;
      }
    }
    score.meanOffset = keyed.meanOffset;
    score.gridChange = GridChange(keyed.grid, candidates[c]);
    scores.push_back(score);
  }
  const auto counted = static_cast<int>(std::count(someonesSlot.begin(), someonesSlot.end(), true));
  for (FormatScore& score : scores) score.counted = counted;
  std::stable_sort(scores.begin(), scores.end(), [](const FormatScore& a, const FormatScore& b) {
    if (a.Score() != b.Score()) return a.Score() > b.Score();
    return a.meanOffset < b.meanOffset;
  });
  return scores;
}

std::string AutoFormatText(const std::string& formatName, const FormatScore& score) {
  return "format " + formatName +
         " (auto: " + std::to_string(static_cast<int>(std::lround(100.0 * score.Share()))) +
         "% of slots on track)";
}

}  // namespace tivenor
