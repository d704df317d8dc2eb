#pragma once
// Settings fitted to one picture, and how the picture is best read: as it is, or as a copy that
// is evenly lit, cleared around the disc and, for fine scans, of a lower resolution.

#include <cstdint>

#include "engine/base/raster.h"
#include "engine/base/settings.h"
#include "engine/disc/geometry.h"
#include "engine/fitting/disc_circle.h"
#include "engine/fitting/lighting.h"

namespace tivenor {

inline constexpr double kSmallestHoleAreaMm2 = kSmallestSlotMm.length * kSmallestSlotMm.width;
inline constexpr double kLargestHoleAreaMm2 = kLargestSlotMm.length * kLargestSlotMm.width;
// Patches the settings let through: what a threshold, blur and anti-aliasing make of real holes.
inline constexpr double kMinimumShareOfSmallest = 0.4;
inline constexpr double kMaximumShareOfLargest = 1.5;
// The largest pixels per millimetre read as given; finer scans are read at a lower resolution so
// that their largest holes stay within what one hole holds.
inline constexpr double kFinestReadPixelsPerMm = 12.5;

inline constexpr int kMaxReadingScale = 16;

// Geometry is in the pixels of the picture as its file holds it. The picture in memory may hold
// fewer: decoded at 1/pictureReduction of the file's resolution, each of its pixels the mean of
// pictureReduction x pictureReduction of the file's.
struct ReadingPlan {
  int scale = 1;  // each pixel read is the mean of scale x scale picture pixels, up to 16
  int pictureReduction = 1;
  bool evenLighting = false;  // divide out `lighting`
  LightingModel lighting;
  double lightingTarget = 0.0;  // the brightness the background is lifted to
  bool clearOutside = false;    // paint everything outside `clearCircle` in `lightColour`
  Circle clearCircle;           // picture pixels
  uint32_t lightColour = 0;

  bool NeedsCopy() const {
    return scale > 1 || pictureReduction > 1 || evenLighting || clearOutside;
  }
};

struct FittedSettings {
  bool discFound = false;  // without a disc, the other fields keep the built-in defaults
  int threshold = kThresholdSetting.initial;
  int minimum = kMinimumSetting.initial;
  int maximum = kMaximumSetting.initial;
  ReadingPlan reading;

  // What the fit saw, in the picture as given.
  Circle disc;
  double pixelsPerMm = 0.0;
  int discLevel = 0;             // the disc's brightness, once evenly lit
  int lightLevel = 0;            // the background's brightness, once evenly lit
  double lightingRatio = 1.0;    // darkest over brightest light on the picture
  double rimSoftnessPx = 0.0;    // from a quarter to three quarters of the light across the rim
  bool darkOutsideDisc = false;  // dark specks or areas outside the disc would mislead the outline
};

// Reads the picture about once: a sparse preview for the levels, the lighting and the disc, and
// one pass over the background for dark specks when the picture is read as it is. A picture
// decoded at 1/pictureReduction of its file's resolution is measured as it is; what the fit
// gives is in the file's pixels, and its reading scale is below pictureReduction when the disc
// wants a finer picture than that.
FittedSettings FitSettings(const Raster& picture, int pictureReduction = 1);

// The least reading scale a fit can give a picture of this size before its disc is seen: any
// scan or photograph of a disc shows it across at least half the picture's shorter side. A
// picture may be decoded at 1/this of its resolution without losing what the reading needs.
int LeastReadingScale(int32_t width, int32_t height);

}  // namespace tivenor
