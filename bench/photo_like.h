#pragma once
// Large pictures like those of the field: a camera's photograph of a disc, and an archive's fine
// scan, for timing the picture files of those sizes.

#include <cstdint>

#include "engine/base/raster.h"

namespace tivenor::bench {

// A disc photographed from straight above: it fills nine tenths of the shorter side of a width
// x height frame, on a light sheet lit unevenly (a quarter darker in the corners), with a
// camera's noise. The sample melody, slots of 1.8 x 0.7 mm.
Raster PhotoLikeDisc(int32_t width, int32_t height);

// The sample disc scanned at the resolution that makes the picture side x side pixels.
Raster ScanOfSide(int32_t side);

}  // namespace tivenor::bench
