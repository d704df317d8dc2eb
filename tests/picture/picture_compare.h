#pragma once
// How far a decoded picture lies from the one expected, channel by channel.

#include <string>

#include "engine/base/raster.h"

namespace tivenor::testing {

struct PixelDifference {
  bool sameSize = false;
  double mean = 0.0;  // over every channel of every pixel
  int largest = 0;
};

PixelDifference ComparePixels(const Raster& read, const Raster& expected);

// "" when the two are equal pixel for pixel; else where they first differ.
std::string FirstDifference(const Raster& read, const Raster& expected);

// Each block of factor x factor pixels as its mean: what a decoder reducing as it decodes gives.
Raster BoxReduced(const Raster& picture, int factor);

}  // namespace tivenor::testing
