#pragma once
// Whether the slots found fit the format a picture is read with at all. Light patches that fall
// between a format's tracks are noise, or the slots of a disc the format does not describe, and
// notes read from them would be noise too. Discs read with their own format leave next to no
// slot off its tracks; noise and discs of another format leave a fifth or more. So a reading
// with more of its slots off-track than a real disc leaves is refused, and names the known
// format that came closest.

#include <cstddef>
#include <optional>
#include <span>
#include <string>

#include "engine/disc/disc_format.h"
#include "engine/slots/format_choice.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_shape.h"

namespace tivenor {

// A format fits the slots found while at most this share of them, in percent, lies off its
// tracks. Rendered discs read with their own format leave 0 to 2 %; read with another format,
// 16 % or more; light patches strewn at random, 23 % or more.
inline constexpr int kMostOffTrackPercent = 10;
// Fewer slots off-track than this say nothing: on a disc of a few notes one speck is a large
// share, and a disc of another kind cannot be told from so few.
inline constexpr int kFewestOffTrackRefused = 3;

// Whether the slots fit the format scored.
bool FitsTracks(const FormatScore& score);

struct FormatMisfit {
  std::string format;  // the format the picture was read with
  int offTrackPercent = 0;
  std::string closest;  // the known format whose tracks hold the slots best
  int closestOffTrackPercent = 0;
  bool closestFits = false;  // only the format read with does not fit
};

// Nothing when the slots fit `candidates[read]`; else how badly, and which candidate came
// closest. `scores` are ScoreFormats' for `candidates`.
std::optional<FormatMisfit> FindMisfit(std::span<const FormatScore> scores,
                                       std::span<const DiscFormat> candidates, std::size_t read);

// The same for `format`, which keyed the shapes as `keyed`, among `known`, scored here; a format
// of `known` with the name of `format` is taken to be `format`.
std::optional<FormatMisfit> FindMisfit(std::span<const SlotShape> shapes, const DiscFormat& format,
                                       const KeyedSlots& keyed, std::span<const DiscFormat> known);

// "the slots do not fit any known format: closest ariston-24, 41% of slots off-track", or, where
// another format fits them, "the slots do not fit ariston-24 (27% of slots off-track): closest
// piano-player-36, 0% of slots off-track".
std::string MisfitText(const FormatMisfit& misfit);

}  // namespace tivenor
