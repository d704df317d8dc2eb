#include "tests/support/tiff_writer.h"

#include <tiffio.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace tivenor::testing {

namespace {

constexpr uint32_t kTileSide = 64;

uint8_t Channel(uint32_t pixel, int channel) {
  return static_cast<uint8_t>(pixel >> (8 * channel));
}

bool IsGrey(TiffLayout layout) {
  return layout == TiffLayout::Grey8 || layout == TiffLayout::Grey16 ||
         layout == TiffLayout::Palette8 || layout == TiffLayout::Bilevel;
}

uint16_t CompressionTag(TiffCompression compression) {
  switch (compression) {
    case TiffCompression::Lzw:
      return COMPRESSION_LZW;
    case TiffCompression::Deflate:
      return COMPRESSION_ADOBE_DEFLATE;
    case TiffCompression::PackBits:
      return COMPRESSION_PACKBITS;
    case TiffCompression::None:
      break;
  }
  return COMPRESSION_NONE;
}

struct Closer {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// The bytes of one row of one plane (plane -1: all channels interleaved).
std::vector<uint8_t> RowBytes(const Raster& raster, TiffLayout layout, int32_t y, int plane) {
  std::vector<uint8_t> bytes;
  const uint32_t* row = raster.pixels.data() + static_cast<std::size_t>(y) * raster.width;
  const auto put16 = [&bytes](uint8_t value) {
    const uint16_t sample = static_cast<uint16_t>(value * 257);
    bytes.push_back(static_cast<uint8_t>(sample));  // the machine's order, as libtiff expects
    bytes.push_back(static_cast<uint8_t>(sample >> 8));
  };
  if (layout == TiffLayout::Bilevel) {
    bytes.assign((static_cast<std::size_t>(raster.width) + 7) / 8, 0);
    for (int32_t x = 0; x < raster.width; ++x) {
      if (GreyOf(row[x]) >= 128) bytes[static_cast<std::size_t>(x) / 8] |= 0x80 >> (x % 8);
    }
    return bytes;
  }
  for (int32_t x = 0; x < raster.width; ++x) {
    switch (layout) {
      case TiffLayout::Grey8:
      case TiffLayout::Palette8:
        bytes.push_back(GreyOf(row[x]));
        break;
      case TiffLayout::Grey16:
        put16(GreyOf(row[x]));
        break;
      case TiffLayout::Rgb16:
      case TiffLayout::Rgb16Planes:
        for (int c = 0; c < 3; ++c) {
          if (plane < 0 || plane == c) put16(Channel(row[x], c));
        }
        break;
      default:
        for (int c = 0; c < 3; ++c) bytes.push_back(Channel(row[x], c));
        break;
    }
  }
  return bytes;
}

void WriteTiles(TIFF* tiff, const Raster& raster) {
  std::vector<uint8_t> tile(std::size_t{kTileSide} * kTileSide * 3);
  for (uint32_t top = 0; top < static_cast<uint32_t>(raster.height); top += kTileSide) {
    for (uint32_t left = 0; left < static_cast<uint32_t>(raster.width); left += kTileSide) {
      std::fill(tile.begin(), tile.end(), 0);
      for (uint32_t y = 0; y < kTileSide && top + y < static_cast<uint32_t>(raster.height); ++y) {
        for (uint32_t x = 0; x < kTileSide && left + x < static_cast<uint32_t>(raster.width); ++x) {
          const uint32_t pixel =
              raster.Pixel(static_cast<int32_t>(left + x), static_cast<int32_t>(top + y));
          for (int c = 0; c < 3; ++c) tile[(y * kTileSide + x) * 3 + c] = Channel(pixel, c);
        }
      }
      if (TIFFWriteTile(tiff, tile.data(), left, top, 0, 0) < 0)
        throw std::runtime_error("cannot write a tile");
    }
  }
}

}  // namespace

std::string_view TiffLayoutName(TiffLayout layout) {
  switch (layout) {
    case TiffLayout::Rgb8:
      return "Rgb8";
    case TiffLayout::Rgb16:
      return "Rgb16";
    case TiffLayout::Grey8:
      return "Grey8";
    case TiffLayout::Grey16:
      return "Grey16";
    case TiffLayout::Palette8:
      return "Palette8";
    case TiffLayout::Bilevel:
      return "Bilevel";
    case TiffLayout::Rgb8Tiled:
      return "Rgb8Tiled";
    case TiffLayout::Rgb16Planes:
      return "Rgb16Planes";
  }
  return "?";
}

std::string_view TiffCompressionName(TiffCompression compression) {
  switch (compression) {
    case TiffCompression::None:
      return "Uncompressed";
    case TiffCompression::Lzw:
      return "Lzw";
    case TiffCompression::Deflate:
      return "Deflate";
    case TiffCompression::PackBits:
      return "PackBits";
  }
  return "?";
}

uint8_t GreyOf(uint32_t pixel) {
  return static_cast<uint8_t>((Channel(pixel, 0) + 2 * Channel(pixel, 1) + Channel(pixel, 2) + 2) /
                              4);
}

void WriteTiff(const Raster& raster, const TiffFormat& format, const std::string& fileName) {
  const std::unique_ptr<TIFF, Closer> tiff(TIFFOpen(fileName.c_str(), "w"));
  if (!tiff) throw std::runtime_error("cannot create " + fileName);
  TIFF* t = tiff.get();
  const TiffLayout layout = format.layout;
  const bool grey = IsGrey(layout);
  const bool sixteen = layout == TiffLayout::Rgb16 || layout == TiffLayout::Grey16 ||
                       layout == TiffLayout::Rgb16Planes;
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(raster.width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(raster.height));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, grey ? 1 : 3);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, layout == TiffLayout::Bilevel ? 1 : sixteen ? 16 : 8);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC,
               layout == TiffLayout::Palette8 ? PHOTOMETRIC_PALETTE
               : grey                         ? PHOTOMETRIC_MINISBLACK
                                              : PHOTOMETRIC_RGB);
  const bool planes = layout == TiffLayout::Rgb16Planes;
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, planes ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_COMPRESSION, CompressionTag(format.compression));
  TIFFSetField(t, TIFFTAG_ORIENTATION, static_cast<uint16_t>(format.orientation));
  if (layout == TiffLayout::Palette8) {
    std::vector<uint16_t> map(256);
    for (int i = 0; i < 256; ++i) map[static_cast<std::size_t>(i)] = static_cast<uint16_t>(i * 257);
    TIFFSetField(t, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
  }
  if (layout == TiffLayout::Rgb8Tiled) {
    TIFFSetField(t, TIFFTAG_TILEWIDTH, kTileSide);
    TIFFSetField(t, TIFFTAG_TILELENGTH, kTileSide);
    WriteTiles(t, raster);
    return;
  }
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
  for (int plane = planes ? 0 : -1; plane < (planes ? 3 : 0); ++plane) {
    for (int32_t y = 0; y < raster.height; ++y) {
      std::vector<uint8_t> bytes = RowBytes(raster, layout, y, plane);
      if (TIFFWriteScanline(t, bytes.data(), static_cast<uint32_t>(y),
                            static_cast<uint16_t>(std::max(plane, 0))) < 0) {
        throw std::runtime_error("cannot write " + fileName);
      }
    }
  }
}

Raster QuantiseForTiff(const Raster& raster, TiffLayout layout) {
  if (!IsGrey(layout)) return raster;
  Raster out = raster;
  for (uint32_t& pixel : out.pixels) {
    uint32_t grey = GreyOf(pixel);
    if (layout == TiffLayout::Bilevel) grey = grey >= 128 ? 255 : 0;
    pixel = grey * 0x010101u;
  }
  return out;
}

}  // namespace tivenor::testing
