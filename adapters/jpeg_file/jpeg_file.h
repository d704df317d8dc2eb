#pragma once
// JPEG files through libjpeg-turbo: the header, and the pixels at 1/1, 1/2, 1/4 or 1/8 of the
// resolution. The library's scaled decoding leaves out most of the work a whole picture costs,
// so a picture read at a lower resolution is decoded at it.

#include <cstdint>
#include <string>

#include "engine/base/raster.h"

namespace tivenor {

struct JpegHeader {
  int32_t width = 0;
  int32_t height = 0;
  // Bytes of compressed data the picture needs at the least (one bit for each block of 8 x 8
  // pixels, as the tersest progressive file has it), or 0 where arithmetic coding gives no bound.
  uint64_t leastDataBytes = 0;
  // What the library holds while decoding: a progressive file keeps every coefficient.
  uint64_t decoderBytes = 0;
};

// Throws std::runtime_error with the library's reason when the file is no JPEG it can read.
JpegHeader ReadJpegHeader(const std::string& fileName);

// The reduction the library decodes at for a wanted one: the largest of 1, 2, 4 and 8 not above.
int JpegReduction(int wanted);

// Decodes the picture as stored (an orientation the file records is the caller's) at
// 1/JpegReduction(wanted) into `into`, ceil(width / r) x ceil(height / r), reusing its storage.
// Throws std::runtime_error with the library's reason, or saying that the file is cut short:
// the library itself fills a missing end with grey.
void DecodeJpeg(const std::string& fileName, int wanted, Raster& into);

}  // namespace tivenor
