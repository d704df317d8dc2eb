#pragma once
// The fields of a BMP file's headers that say how its pixel data is laid out.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tivenor {

// The file header and the longest info header (version 5) together.
inline constexpr std::size_t kBmpLongestHeaders = 14 + 124;

struct BmpHeader {
  uint64_t dataOffset = 0;  // where the pixel rows start, from the file's start
  uint32_t infoSize = 0;    // 12 (OS/2), 40, 108 (version 4) or 124 (version 5), or another
  int64_t width = 0;        // never negative; see mirrored
  int64_t height = 0;       // never negative; see topDown
  bool mirrored = false;    // a negative width in the file, which no reader accepts
  bool topDown = false;     // a negative height in the file: the first row is the top one
  uint32_t planes = 1;
  uint32_t bitsPerPixel = 0;
  uint32_t compression = 0;  // 0 plain, 1 and 2 run-length, 3 and 6 bit fields, 4 JPEG, 5 PNG
  uint32_t imageSize = 0;    // bytes of compressed data; may be 0 for plain rows
  uint32_t alphaMask = 0;    // version 4 and 5 headers only, when the bytes hold it

  // Bytes of one row of plain or bit-field data, padded to whole 32-bit words.
  uint64_t RowBytes() const { return (static_cast<uint64_t>(width) * bitsPerPixel + 31) / 32 * 4; }
};

enum class BmpHeaderRead { kNotBmp, kCut, kRead };

// Reads the headers from a file's first bytes: NotBmp when they do not start with "BM", Cut
// when they stop inside the headers.
BmpHeaderRead ReadBmpHeader(const uint8_t* head, std::size_t headSize, BmpHeader& header);

}  // namespace tivenor
