#pragma once
// The log lines for light patches a reading of slots kept out. Dust or a mis-set threshold can
// make thousands, so the first kMaxPatchLogLines are logged and then one line with the count of
// the rest.

#include <span>

#include "engine/base/host.h"
#include "engine/slots/slot_keying.h"
#include "engine/slots/slot_shape.h"

namespace tivenor {

inline constexpr int kMaxPatchLogLines = 100;

// "Light patch left out at 12.3 degrees from the start, 0.512 of the rim radius out: fits no
// track"; `startAngle` in music degrees.
void LogKeptOutPatches(Host& host, std::span<const SlotShape> shapes,
                       std::span<const SlotVerdict> verdicts, double startAngle);

}  // namespace tivenor
