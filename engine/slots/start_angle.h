#pragma once
// Where the music starts, by the format's start rule, among the slots' arcs in the music's frame.

#include <optional>
#include <span>
#include <string>

#include "engine/disc/disc_format.h"
#include "engine/slots/disc_frame.h"

namespace tivenor {

struct FoundStart {
  double angle = 0.0;                      // music degrees in [0, 360): time counts from here
  StartRule rule = StartRule::kWidestGap;  // the rule that found it
};

// "widest-gap": the end of the widest stretch without any slot (the tune's end and beginning
// meet there); sectors: the middle of the first sector, counted from the face's +x axis in the
// music's direction, that no slot reaches into; an angle: that angle on the face; a printed line:
// `printedLine` (music degrees) where one was found, else the widest gap. Without any slot, or
// without a gap, angle 0.
FoundStart FindStart(std::span<const Arc> slots, const DiscFormat& format, const DiscFrame& frame,
                     std::optional<double> printedLine = std::nullopt);

// For the summary: "start at the printed line".
std::string StartRuleText(StartRule rule);

// The end of the widest gap between the arcs, music degrees; 0 when they leave none.
double WidestGapEnd(std::span<const Arc> slots);

}  // namespace tivenor
