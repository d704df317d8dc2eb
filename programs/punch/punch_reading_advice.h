#pragma once
// Whether the converter reads a made picture back at its default settings, and what to set when
// it does not: at other resolutions than 150 dpi a slot covers another number of pixels. Discs
// of other formats are read by their format's sizes; a picture of one can still be too coarse to
// show the card between its slots.

#include <optional>
#include <string>

#include "engine/making/disc_layout.h"

namespace tivenor::cli {

// Pixels a slot of this size covers at `dpi`.
double SlotPixels(double slotLengthMm, double slotWidthMm, double dpi);

// Nothing when the converter's default hole sizes take the slots; otherwise a sentence that says
// which --minimum and --maximum do, or that no setting can.
std::optional<std::string> ReadingAdvice(double slotLengthMm, double slotWidthMm, double dpi);

// Fewer pixels than this across the card between two slots, and the converter may find the slots
// joined: measured on piano player's discs, webs of 1.2 pixels joined some, of 1.3 pixels none.
inline constexpr double kLeastWebPixels = 1.5;

// Other formats: nothing when the picture shows its narrowest slot and its thinnest card between
// slots over at least kLeastWebPixels; otherwise a sentence that says which --dpi does.
std::optional<std::string> FormatReadingAdvice(const FormatPlacement& placement, double dpi);

}  // namespace tivenor::cli
