#pragma once
// `--format auto`: which of several formats the slots found fit best. Each candidate keys the
// patches as a reading with it would; the one that keys the largest share, with the least
// change to its track grid, wins.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/disc/disc_format.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_shape.h"

namespace tivenor {

// Patches of fewer pixels than this are noise to every format: they count for none.
inline constexpr int64_t kSmallestCountedPixels = 6;

struct FormatScore {
  std::size_t candidate = 0;  // index into the candidates
  int onTrack = 0;            // patches the format keys
  int counted = 0;            // patches large enough to be anyone's slot
  double meanOffset = 0.0;    // of the keyed patches from their track centres, pitches
  double gridChange = 0.0;    // 0 for the format's own grid, 1 for the largest shift and stretch
  // The slot-sized patches as this format sees them: those it keys or finds off its tracks, and
  // those inside its ring that another candidate keys. What it places outside its ring, a drive
  // hole or the label's print, is none of its business.
  int slotSized = 0;

  double Share() const { return counted > 0 ? static_cast<double>(onTrack) / counted : 0.0; }
  double Score() const;
  int OffTrack() const { return slotSized - onTrack; }
  // Of the slot-sized patches, rounded as the texts give it; 0 when there are none.
  int OffTrackPercent() const;
};

// Every candidate's score, best first (ties keep the candidates' order).
std::vector<FormatScore> ScoreFormats(std::span<const SlotShape> shapes,
                                      std::span<const DiscFormat> candidates);
// The same from the shapes as each candidate keyed them, one KeySlots per candidate.
std::vector<FormatScore> ScoreKeyedFormats(std::span<const SlotShape> shapes,
                                           std::span<const KeyedSlots> keyedEach,
                                           std::span<const DiscFormat> candidates);

// "format ariston-24 (auto: 97% of slots on track)"
std::string AutoFormatText(const std::string& formatName, const FormatScore& score);

}  // namespace tivenor
