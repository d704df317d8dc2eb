#include "engine/slots/format_fit.h"

#include <algorithm>
#include <vector>

namespace tivenor {

bool FitsTracks(const FormatScore& score) {
  return score.OffTrack() < kFewestOffTrackRefused ||
         score.OffTrackPercent() <= kMostOffTrackPercent;
}

std::optional<FormatMisfit> FindMisfit(std::span<const FormatScore> scores,
                                       std::span<const DiscFormat> candidates, std::size_t read) {
  const auto readScore = std::find_if(scores.begin(), scores.end(),
                                      [read](const FormatScore& s) { return s.candidate == read; });
  if (readScore == scores.end() || FitsTracks(*readScore)) return std::nullopt;
  // The least off-track share; between equals, the format that keys more, then the better
  // scored.
  const FormatScore& closest = *std::min_element(
      scores.begin(), scores.end(), [](const FormatScore& a, const FormatScore& b) {
        if (a.OffTrackPercent() != b.OffTrackPercent())
          return a.OffTrackPercent() < b.OffTrackPercent();
        return a.onTrack > b.onTrack;
      });
  FormatMisfit misfit;
  misfit.format = candidates[read].name;
  misfit.offTrackPercent = readScore->OffTrackPercent();
  misfit.closest = candidates[closest.candidate].name;
  misfit.closestOffTrackPercent = closest.OffTrackPercent();
  misfit.closestFits = FitsTracks(closest);
  return misfit;
}

std::optional<FormatMisfit> FindMisfit(std::span<const SlotShape> shapes, const DiscFormat& format,
                                       const KeyedSlots& keyed, std::span<const DiscFormat> known) {
  // Only the patches this format keeps out, and another might key, can count against it: when
  // even all of them leave it fitting, the other formats need not key a thing.
  FormatScore worst;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    if (shapes[i].pixels < kSmallestCountedPixels) continue;
    const SlotVerdict verdict = keyed.verdicts[i];
    worst.onTrack += verdict == SlotVerdict::kKeyed ? 1 : 0;
    worst.slotSized += verdict != SlotVerdict::kOutsideRing ? 1 : 0;
  }
  if (FitsTracks(worst)) return std::nullopt;

  std::vector<DiscFormat> formats = {format};
  std::vector<KeyedSlots> keyedEach = {keyed};
  for (const DiscFormat& other : known) {
    if (other.name == format.name) continue;
    formats.push_back(other);
    keyedEach.push_back(KeySlots(shapes, other));
  }
  return FindMisfit(ScoreKeyedFormats(shapes, keyedEach, formats), formats, 0);
}

std::string MisfitText(const FormatMisfit& misfit) {
  const auto offTrack = [](int percent) {
    return std::to_string(percent) + "% of slots off-track";
  };
  const std::string what = misfit.closestFits
                               ? misfit.format + " (" + offTrack(misfit.offTrackPercent) + ")"
                               : std::string("any known format");
  return "the slots do not fit " + what + ": closest " + misfit.closest + ", " +
         offTrack(misfit.closestOffTrackPercent);
}

}  // namespace tivenor
