#pragma once
// Signs that a scan's result is wrong although it gave notes: what looks wrong, as values the
// hosts turn into advice.

#include <cstdint>
#include <vector>

#include "engine/reading/scan_state.h"

namespace tivenor {

enum class Concern {
  kNoteLimitReached,     // 500 notes: background or disc texture taken for holes
  kManyPatchesTooLarge,  // holes larger than Maximum: a finer scan than the settings expect
  kOverfullHoles,        // patches beyond what a hole holds: "too many pixels" lines
  kNotesWithoutPin,      // notes outside the pins' radii: wrong centre or scale
  kOutlineAtEdge,        // the outline touches the picture's edge: background taken for the disc
  kPatchesOffTrack,      // light patches that fit no track or slot size of the disc's format
};

struct Finding {
  Concern concern;
  int32_t count = 0;  // notes, patches or edge points, whichever the concern counts
};

// A few of each kind are normal on a real disc (a scratch, a torn hole); more are a sign.
inline constexpr int32_t kFewPatchesTooLarge = 3;
inline constexpr int32_t kFewNotesWithoutPin = 3;

// What the last scan of `state` shows, on a picture of width x height as it was read.
std::vector<Finding> CheckPlausibility(const ScanState& state, int32_t width, int32_t height);

}  // namespace tivenor
