#include "tests/support/bmp_writer.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <unordered_map>

namespace tivenor::testing {
namespace {

constexpr uint32_t kCompressionNone = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr int32_t kPixelsPerMetre = 5906;  // 150 dpi; readers ignore it

struct Palette {
  std::vector<uint32_t> colours;  // 0x00BBGGRR
  std::vector<uint8_t> indices;   // one per pixel, row by row from the top
};

int BitsPerPixel(BmpFormat format) {
  switch (format) {
    case BmpFormat::Rgb24:
    case BmpFormat::TopDown24:
      return 24;
    case BmpFormat::Rgb32:
      return 32;
    case BmpFormat::Rgb555:
      return 16;
    case BmpFormat::Palette8:
    case BmpFormat::Rle8:
      return 8;
    case BmpFormat::Palette4:
    case BmpFormat::Rle4:
      return 4;
    case BmpFormat::Palette1:
      return 1;
  }
  return 24;
}

uint32_t Compression(BmpFormat format) {
  if (format == BmpFormat::Rle8) return kCompressionRle8;
  if (format == BmpFormat::Rle4) return kCompressionRle4;
  return kCompressionNone;
}

uint32_t Red(uint32_t c) {
  return c & 0xFFu;
}
uint32_t Green(uint32_t c) {
  return (c >> 8) & 0xFFu;
}
uint32_t Blue(uint32_t c) {
  return (c >> 16) & 0xFFu;
}
int Brightness(uint32_t c) {
  return static_cast<int>((299 * Red(c) + 587 * Green(c) + 114 * Blue(c)) / 1000);
}

Palette BuildPalette(const Raster& raster, std::size_t size) {
  Palette palette;
  palette.indices.resize(raster.pixels.size());
  std::unordered_map<uint32_t, uint8_t> own;
  for (uint32_t c : raster.pixels) {
    if (own.size() > size) break;
    own.emplace(c, 0);
  }
  if (own.size() <= size) {
    for (const auto& entry : own) palette.colours.push_back(entry.first);
    std::sort(palette.colours.begin(), palette.colours.end());
    for (std::size_t i = 0; i < palette.colours.size(); ++i) {
      own[palette.colours[i]] = static_cast<uint8_t>(i);
    }
    for (std::size_t i = 0; i < raster.pixels.size(); ++i)
      palette.indices[i] = own[raster.pixels[i]];
    return palette;
  }
  int low = 255, high = 0;
  for (uint32_t c : raster.pixels) {
    low = std::min(low, Brightness(c));
    high = std::max(high, Brightness(c));
  }
  const int range = high - low + 1;
  std::vector<uint64_t> sums(size * 3, 0);
  std::vector<uint64_t> counts(size, 0);
  for (std::size_t i = 0; i < raster.pixels.size(); ++i) {
    const uint32_t c = raster.pixels[i];
    const auto step =
        static_cast<std::size_t>((Brightness(c) - low) * static_cast<int>(size) / range);
    palette.indices[i] = static_cast<uint8_t>(step);
    sums[3 * step] += Red(c);
    sums[3 * step + 1] += Green(c);
    sums[3 * step + 2] += Blue(c);
    ++counts[step];
  }
  for (std::size_t step = 0; step < size; ++step) {
    if (counts[step] == 0) {
      const auto grey = static_cast<uint32_t>(low + (2 * step + 1) * range / (2 * size));
      palette.colours.push_back(grey | grey << 8 | grey << 16);
      continue;
    }
    const uint64_t n = counts[step];
    const auto mean = [&](int channel) {
      return static_cast<uint32_t>((sums[3 * step + channel] + n / 2) / n);
    };
    palette.colours.push_back(mean(0) | mean(1) << 8 | mean(2) << 16);
  }
  return palette;
}

uint32_t To555(uint32_t c) {
  return (Red(c) >> 3) << 10 | (Green(c) >> 3) << 5 | (Blue(c) >> 3);
}

class ByteSink {
 public:
  void U8(uint32_t v) { bytes.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) {
    U8(v);
    U8(v >> 8);
  }
  void U32(uint32_t v) {
    U16(v);
    U16(v >> 16);
  }
  void Pad(std::size_t multiple) {
    while (bytes.size() % multiple != 0) U8(0);
  }
  std::vector<uint8_t> bytes;
};

// One row of uncompressed pixel data, padded to whole 32-bit words.
void PutRow(ByteSink& out, const Raster& raster, const Palette& palette, int32_t y, int bits) {
  const std::size_t start = out.bytes.size();
  const auto first = static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width);
  uint32_t pending = 0;
  int pendingBits = 0;
  for (int32_t x = 0; x < raster.width; ++x) {
    const uint32_t c = raster.pixels[first + static_cast<std::size_t>(x)];
    switch (bits) {
      case 32:
        out.U8(Blue(c));
        out.U8(Green(c));
        out.U8(Red(c));
        out.U8(0);
        break;
      case 24:
        out.U8(Blue(c));
        out.U8(Green(c));
        out.U8(Red(c));
        break;
      case 16:
        out.U16(To555(c));
        break;
      default:
        pending = pending << bits | palette.indices[first + static_cast<std::size_t>(x)];
        pendingBits += bits;
        if (pendingBits == 8) {
          out.U8(pending);
          pending = 0;
          pendingBits = 0;
        }
    }
  }
  if (pendingBits > 0) out.U8(pending << (8 - pendingBits));
  while ((out.bytes.size() - start) % 4 != 0) out.U8(0);
}

// Run-length encoding of one row: repeated pixels as (count, index) pairs, other stretches in
// absolute mode; RLE4 packs two pixels a byte and repeats its nibble pair.
void PutRleRow(ByteSink& out, const uint8_t* row, int32_t width, int bits) {
  int32_t x = 0;
  const auto runAt = [&](int32_t from) {
    int32_t n = 1;
    while (from + n < width && n < 255 && row[from + n] == row[from]) ++n;
    return n;
  };
  while (x < width) {
    const int32_t run = runAt(x);
    if (run >= 3 || width - x < 3) {
      const int32_t n = std::min(run, width - x);
      out.U8(static_cast<uint32_t>(n));
      out.U8(bits == 8 ? row[x] : static_cast<uint32_t>(row[x] << 4 | row[x]));
      x += n;
      continue;
    }
    int32_t end = x;
    while (end < width && end - x < 255 && (runAt(end) < 3 || end == x)) ++end;
    const int32_t n = end - x;
    if (n < 3) {
      // Too short for absolute mode: RLE4 alternates the two nibbles, RLE8 needs one pair each.
      if (bits == 8) {
        for (int32_t i = 0; i < n; ++i) {
          out.U8(1);
          out.U8(row[x + i]);
        }
      } else {
        out.U8(static_cast<uint32_t>(n));
        out.U8(static_cast<uint32_t>(row[x] << 4 | (n > 1 ? row[x + 1] : 0)));
      }
      x += n;
      continue;
    }
    out.U8(0);
    out.U8(static_cast<uint32_t>(n));
    const std::size_t start = out.bytes.size();
    for (int32_t i = 0; i < n; i += (bits == 8 ? 1 : 2)) {
      if (bits == 8) {
        out.U8(row[x + i]);
      } else {
        out.U8(static_cast<uint32_t>(row[x + i] << 4 | (i + 1 < n ? row[x + i + 1] : 0)));
      }
    }
    if ((out.bytes.size() - start) % 2 != 0) out.U8(0);
    x = end;
  }
  out.U8(0);  // end of line
  out.U8(0);
}

}  // namespace

std::string_view BmpFormatName(BmpFormat format) {
  switch (format) {
    case BmpFormat::Rgb24:
      return "Rgb24";
    case BmpFormat::Rgb32:
      return "Rgb32";
    case BmpFormat::Rgb555:
      return "Rgb555";
    case BmpFormat::Palette8:
      return "Palette8";
    case BmpFormat::Palette4:
      return "Palette4";
    case BmpFormat::Palette1:
      return "Palette1";
    case BmpFormat::Rle8:
      return "Rle8";
    case BmpFormat::Rle4:
      return "Rle4";
    case BmpFormat::TopDown24:
      return "TopDown24";
  }
  return "?";
}

std::vector<uint8_t> EncodeBmp(const Raster& raster, BmpFormat format) {
  const int bits = BitsPerPixel(format);
  const bool paletted = bits <= 8;
  const Palette palette = paletted ? BuildPalette(raster, std::size_t{1} << bits) : Palette{};

  ByteSink data;
  const bool topDown = format == BmpFormat::TopDown24;
  for (int32_t row = 0; row < raster.height; ++row) {
    const int32_t y = topDown ? row : raster.height - 1 - row;
    if (Compression(format) == kCompressionNone) {
      PutRow(data, raster, palette, y, bits);
    } else {
      const auto first = static_cast<std::size_t>(y) * static_cast<std::size_t>(raster.width);
      PutRleRow(data, palette.indices.data() + first, raster.width, bits);
    }
  }
  if (Compression(format) != kCompressionNone) {
    data.U8(0);  // end of bitmap
    data.U8(1);
  }

  const auto paletteBytes = static_cast<uint32_t>(4 * palette.colours.size());
  const uint32_t offset = 14 + 40 + paletteBytes;
  ByteSink out;
  out.U8('B');
  out.U8('M');
  out.U32(offset + static_cast<uint32_t>(data.bytes.size()));
  out.U32(0);
  out.U32(offset);
  out.U32(40);
  out.U32(static_cast<uint32_t>(raster.width));
  out.U32(static_cast<uint32_t>(topDown ? -raster.height : raster.height));
  out.U16(1);
  out.U16(static_cast<uint32_t>(bits));
  out.U32(Compression(format));
  out.U32(static_cast<uint32_t>(data.bytes.size()));
  out.U32(kPixelsPerMetre);
  out.U32(kPixelsPerMetre);
  out.U32(static_cast<uint32_t>(palette.colours.size()));
  out.U32(0);
  for (uint32_t c : palette.colours) {
    out.U8(Blue(c));
    out.U8(Green(c));
    out.U8(Red(c));
    out.U8(0);
  }
  out.bytes.insert(out.bytes.end(), data.bytes.begin(), data.bytes.end());
  return out.bytes;
}

void WriteBmp(const Raster& raster, BmpFormat format, const std::string& fileName) {
  const std::vector<uint8_t> bytes = EncodeBmp(raster, format);
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) throw std::runtime_error("cannot write " + fileName);
}

Raster QuantiseForBmp(const Raster& raster, BmpFormat format) {
  const int bits = BitsPerPixel(format);
  Raster result = raster;
  if (bits == 16) {
    for (uint32_t& c : result.pixels) c &= 0x00F8F8F8u;
  } else if (bits <= 8) {
    const Palette palette = BuildPalette(raster, std::size_t{1} << bits);
    for (std::size_t i = 0; i < result.pixels.size(); ++i) {
      result.pixels[i] = palette.colours[palette.indices[i]];
    }
  }
  return result;
}

}  // namespace tivenor::testing
