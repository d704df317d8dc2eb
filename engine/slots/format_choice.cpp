#include "engine/slots/format_choice.h"

#include <algorithm>
#include <cmath>

#include "engine/slots/track_grid.h"

namespace tivenor {

namespace {

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

int FormatScore::OffTrackPercent() const {
  if (slotSized <= 0) return 0;
  return static_cast<int>(std::lround(100.0 * OffTrack() / slotSized));
}

std::vector<FormatScore> ScoreFormats(std::span<const SlotShape> shapes,
                                      std::span<const DiscFormat> candidates) {
  std::vector<KeyedSlots> keyedEach;
  keyedEach.reserve(candidates.size());
  for (const DiscFormat& candidate : candidates) keyedEach.push_back(KeySlots(shapes, candidate));
  return ScoreKeyedFormats(shapes, keyedEach, candidates);
}

std::vector<FormatScore> ScoreKeyedFormats(std::span<const SlotShape> shapes,
                                           std::span<const KeyedSlots> keyedEach,
                                           std::span<const DiscFormat> candidates) {
  // Patches that no candidate keys (drive holes, print, dust) say nothing about which fits.
  std::vector<bool> someonesSlot(shapes.size(), false);
  std::vector<FormatScore> scores;
  for (std::size_t c = 0; c < candidates.size(); ++c) {
    const KeyedSlots& keyed = keyedEach[c];
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
  for (FormatScore& score : scores) {
    score.counted = counted;
    const std::vector<SlotVerdict>& verdicts = keyedEach[score.candidate].verdicts;
    for (std::size_t i = 0; i < shapes.size(); ++i) {
      if (shapes[i].pixels < kSmallestCountedPixels) continue;
      if (verdicts[i] == SlotVerdict::kKeyed || verdicts[i] == SlotVerdict::kOffTrack ||
          (someonesSlot[i] && verdicts[i] != SlotVerdict::kOutsideRing)) {
        ++score.slotSized;
      }
    }
  }
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
