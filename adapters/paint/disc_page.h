#pragma once
// The page a made disc is drawn on: the disc with a light border, like a scan of it.

#include "engine/disc/geometry.h"

namespace tivenor {

inline constexpr double kPageMarginMm = 4.0;
inline constexpr double kPageSizeMm = DiscDiameterMm + 2 * kPageMarginMm;
inline constexpr double kCentreHoleRadiusMm = 3.5;  // the spindle's hole
inline constexpr double kMmPerInch = 25.4;

// Discs of other formats: the spindle's hole and the drive holes, in fractions of the rim
// radius; the drive holes lie midway between the start direction and the turn's other
// divisions, so that none lies on a start line.
inline constexpr double kSpindleHoleRadius = 0.024;
inline constexpr double kDriveHoleDiameter = 0.02;
// What is printed on their card (a label's ring, the start line) is this grey, 0 black to 255
// white: seen on the black card, yet darker than any threshold a reader sets between the card
// and its light holes, so that nothing printed is ever taken for a hole.
inline constexpr int kPrintGrey = 80;

struct DiscLayout;

// Side of the square page a layout is drawn on: its disc with the margin all round.
double PageSizeMm(const DiscLayout& layout);

}  // namespace tivenor
