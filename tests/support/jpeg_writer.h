#pragma once
// Writes a raster as a JPEG file through Qt, as a camera would: baseline or progressive, at a
// quality, and with the EXIF orientation a camera records when it was held turned.

#include <string>

#include "engine/base/raster.h"

namespace tivenor::testing {

struct JpegOptions {
  int quality = 85;
  bool progressive = false;
  int orientation = 0;  // the EXIF tag written, 1 to 8; 0 writes no EXIF
};

// Throws std::runtime_error when the file cannot be written.
void WriteJpeg(const Raster& raster, const JpegOptions& options, const std::string& fileName);

// The raster as a camera held turned stores it when it records `orientation` (1 to 8): turning
// the result as the tag says gives the raster back.
Raster StoredForOrientation(const Raster& upright, int orientation);
// The stored raster turned as the tag says, by Qt's own turns.
Raster UprightForOrientation(const Raster& stored, int orientation);

}  // namespace tivenor::testing
