#pragma once
// Which light patches are the format's slots, and on which track: the patches that fit the
// format's ring and hole sizes fit the track grid, then each is keyed by its nearest track. A
// patch that fits no track, is wider than a track allows or is not of a slot's size is kept
// out, with the reason.

#include <span>
#include <vector>

#include "engine/disc/disc_format.h"
#include "engine/slots/slot_shape.h"
#include "engine/slots/track_grid.h"

namespace tivenor {

enum class SlotVerdict {
  kKeyed,
  kOutsideRing,  // the format looks for no holes there: not a patch of this disc
  kTooSmall,     // shorter or narrower than a slot
  kTooLong,      // longer than a slot of a plucked format
  kTooWide,      // wider than a track allows
  kOffTrack,     // between the tracks
  kRing,         // closes around the centre
};

// A slot this far from its nearest track centre, in pitches, fits no track.
inline constexpr double kOffTrackPitches = 0.35;

struct KeyedSlots {
  TrackGrid grid;
  std::vector<SlotVerdict> verdicts;  // one per shape
  std::vector<int> tracks;            // the keyed shapes' tracks, -1 for the others
  std::vector<double> offsets;        // pitches from the track centre, keyed shapes only
  int keyed = 0;
  int keptOut = 0;          // neither keyed nor outside the ring
  double meanOffset = 0.0;  // of the keyed shapes, in pitches, without sign
};

KeyedSlots KeySlots(std::span<const SlotShape> shapes, const DiscFormat& format);

// Where patches are looked for, rim units: the format's ring a pitch wider either way, since a
// grid off the format's may carry slots across its edges. Whether a patch lies in the ring is
// decided on the fitted grid.
struct RingRadii {
  double inner = 0.0;
  double outer = 0.0;
};
RingRadii SearchRing(const DiscFormat& format);

// Words for a verdict that keeps a patch out, for the log: "fits no track".
const char* VerdictText(SlotVerdict verdict);

}  // namespace tivenor
