#pragma once
// The layouts scanners write, uncompressed 24- and 32-bit BMP with rows bottom-up or top-down,
// read straight from the file's bytes into the raster in one pass, with no library call per
// pixel and no full-size copy between.

#include <cstdint>

#include "adapters/picture/bmp_header.h"
#include "adapters/picture/read_only_file.h"
#include "engine/base/raster.h"

namespace tivenor {

// True for the layouts ReadDirectBmp reads; they give exactly the pixels Qt's reader gives.
// Palettes, run-length data, bit fields, embedded JPEG or PNG and odd headers are for Qt.
bool IsDirectBmp(const BmpHeader& header);

// One row of `width` pixels of 3 or 4 bytes each (blue, green, red, and an unused fourth) into
// the raster's layout, four pixels per byte shuffle where the processor has it.
void ConvertBmpRow(const uint8_t* row, int bytesPerPixel, int32_t width, uint32_t* out);
// The same one pixel at a time, for the pixels from `from` on: processors without the shuffle
// take it for whole rows, the others for the ends of rows.
void ConvertBmpPixels(const uint8_t* row, int bytesPerPixel, int32_t from, int32_t width,
                      uint32_t* out);

// Reads the pixel rows of a file IsDirectBmp accepts into `into`, reusing its storage. The
// caller has checked the picture's size and that the file holds every row. Throws
// std::runtime_error when the file ends early all the same (it shrank while being read).
void ReadDirectBmp(const ReadOnlyFile& file, const BmpHeader& header, Raster& into);

}  // namespace tivenor
