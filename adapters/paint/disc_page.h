#pragma once
// The page a made disc is drawn on: the disc with a light border, like a scan of it.

#include "engine/disc/geometry.h"

namespace tivenor {

inline constexpr double kPageMarginMm = 4.0;
inline constexpr double kPageSizeMm = DiscDiameterMm + 2 * kPageMarginMm;
inline constexpr double kCentreHoleRadiusMm = 3.5;  // the spindle's hole
inline constexpr double kMmPerInch = 25.4;

}  // namespace tivenor
