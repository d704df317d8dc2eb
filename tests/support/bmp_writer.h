#pragma once
// Writes a raster as a Windows bitmap in each of the layouts a scanner or paint program may
// produce, so that tests can feed every one of them to the picture reader.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/base/raster.h"

namespace tivenor::testing {

enum class BmpFormat {
  Rgb24,      // 24-bit, rows bottom-up
  Rgb32,      // 32-bit BGRX
  Rgb555,     // 16-bit, 5 bits per channel
  Palette8,   // 256-colour palette
  Palette4,   // 16-colour palette
  Palette1,   // two colours
  Rle8,       // 256-colour palette, run-length encoded
  Rle4,       // 16-colour palette, run-length encoded
  TopDown24,  // 24-bit, rows top-down (negative height)
};

inline constexpr std::array<BmpFormat, 9> kAllBmpFormats = {
    BmpFormat::Rgb24,    BmpFormat::Rgb32,    BmpFormat::Rgb555,
    BmpFormat::Palette8, BmpFormat::Palette4, BmpFormat::Palette1,
    BmpFormat::Rle8,     BmpFormat::Rle4,     BmpFormat::TopDown24};

std::string_view BmpFormatName(BmpFormat format);

// Palette formats keep the picture's own colours when they fit; otherwise they split the
// brightness range into equal steps, each coloured by the mean of its pixels.
std::vector<uint8_t> EncodeBmp(const Raster& raster, BmpFormat format);
// Throws std::runtime_error when the file cannot be written.
void WriteBmp(const Raster& raster, BmpFormat format, const std::string& fileName);

// The colours a palette format gives the raster's pixels: what a faithful reader returns.
Raster QuantiseForBmp(const Raster& raster, BmpFormat format);

}  // namespace tivenor::testing
