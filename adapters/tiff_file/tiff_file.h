#pragma once
// TIFF files through libtiff: the first page, 1 to 16 bits per sample, grey, RGB, palette and the
// rest the library turns into colours, stored in strips or tiles, whatever the compression the
// library reads. The rows are reduced as they are decoded, so a picture read at a lower
// resolution is never held whole.

#include <cstdint>
#include <string>

#include "engine/base/raster.h"

namespace tivenor {

struct TiffHeader {
  int32_t width = 0;
  int32_t height = 0;
  int orientation = 1;  // as the file records it, 1 to 8 as in a camera's EXIF
  // Bytes of data the pixels need at the least (no compression here packs more than 4096 bytes
  // of pixels into one), or 0 for compressions without a known bound.
  uint64_t leastDataBytes = 0;
  // What decoding holds besides the picture: the library's buffer and one band of rows.
  uint64_t decoderBytes = 0;
};

// Throws std::runtime_error with the library's reason when the file is no TIFF it can read.
TiffHeader ReadTiffHeader(const std::string& fileName);

// Decodes the first page as stored (an orientation the file records is the caller's), each
// block of `reduction` x `reduction` pixels (1 to 16) the mean of its pixels, into `into`,
// ceil(width / reduction) x ceil(height / reduction), reusing its storage. Samples of other
// than 8 bits become 8 as the library makes them. Throws std::runtime_error with the library's
// reason.
void DecodeTiff(const std::string& fileName, int reduction, Raster& into);

}  // namespace tivenor
