#pragma once
// Whether the converter reads a made picture back at its default settings, and what to set when
// it does not: at other resolutions than 150 dpi a slot covers another number of pixels.

#include <optional>
#include <string>

namespace tivenor::cli {

// Pixels a slot of this size covers at `dpi`.
double SlotPixels(double slotLengthMm, double slotWidthMm, double dpi);

// Nothing when the converter's default hole sizes take the slots; otherwise a sentence that says
// which --minimum and --maximum do, or that no setting can.
std::optional<std::string> ReadingAdvice(double slotLengthMm, double slotWidthMm, double dpi);

}  // namespace tivenor::cli
