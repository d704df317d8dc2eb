#pragma once
// Writes a raster as a TIFF file in the layouts scanners and archives produce, through libtiff,
// so that tests can feed every one of them to the picture reader.

#include <array>
#include <string>
#include <string_view>

#include "engine/base/raster.h"

namespace tivenor::testing {

enum class TiffLayout {
  Rgb8,   // 8 bits per channel, in strips
  Rgb16,  // 16 bits per channel
  Grey8,  // one channel, black is 0
  Grey16,
  Palette8,     // 256 greys in a colour map
  Bilevel,      // one bit, split at half brightness
  Rgb8Tiled,    // 8 bits per channel in tiles of 64 x 64
  Rgb16Planes,  // 16 bits, each channel in its own plane
};

enum class TiffCompression { None, Lzw, Deflate, PackBits };

inline constexpr std::array<TiffLayout, 8> kAllTiffLayouts = {
    TiffLayout::Rgb8,     TiffLayout::Rgb16,   TiffLayout::Grey8,     TiffLayout::Grey16,
    TiffLayout::Palette8, TiffLayout::Bilevel, TiffLayout::Rgb8Tiled, TiffLayout::Rgb16Planes};
inline constexpr std::array<TiffCompression, 4> kAllTiffCompressions = {
    TiffCompression::None, TiffCompression::Lzw, TiffCompression::Deflate,
    TiffCompression::PackBits};

std::string_view TiffLayoutName(TiffLayout layout);
std::string_view TiffCompressionName(TiffCompression compression);

struct TiffFormat {
  TiffLayout layout = TiffLayout::Rgb8;
  TiffCompression compression = TiffCompression::None;
  int orientation = 1;  // the tag written; the pixels are stored as given
};

// Throws std::runtime_error when the file cannot be written. 16-bit samples are the 8-bit ones
// times 257.
void WriteTiff(const Raster& raster, const TiffFormat& format, const std::string& fileName);

// The pixels a faithful reader returns for the raster written in this layout: greys for the
// grey and palette layouts, black and white for the bilevel one.
Raster QuantiseForTiff(const Raster& raster, TiffLayout layout);

// The grey the grey layouts store for a pixel.
uint8_t GreyOf(uint32_t pixel);

}  // namespace tivenor::testing
