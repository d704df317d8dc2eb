#include "adapters/picture/direct_bmp.h"

#include <immintrin.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tivenor {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
// Rows are read in pieces of about this size: small enough to stay in the processor's cache
// between the read and the conversion, large enough that the calls cost nothing.
constexpr std::size_t kPieceBytes = 256u << 10;

// Four pixels per shuffle of 16 bytes. Every processor that runs this program but the oldest has
// the shuffle; those few take the plain loop.
[[gnu::target("ssse3")]] void ConvertWithShuffles(const uint8_t* row, int bytesPerPixel,
                                                  int32_t width, uint32_t* out) {
  const std::size_t step = static_cast<std::size_t>(bytesPerPixel) * 4;
  const __m128i order = bytesPerPixel == 3
                            ? _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1)
                            : _mm_setr_epi8(2, 1, 0, -1, 6, 5, 4, -1, 10, 9, 8, -1, 14, 13, 12, -1);
  // Each load takes 16 bytes; stop while they all lie inside the row.
  const std::size_t rowBytes = static_cast<std::size_t>(bytesPerPixel) * width;
  int32_t x = 0;
  for (std::size_t at = 0; at + 16 <= rowBytes && x + 4 <= width; at += step, x += 4) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_shuffle_epi8(bytes, order));
  }
  ConvertBmpPixels(row, bytesPerPixel, x, width, out);
}

}  // namespace

bool IsDirectBmp(const BmpHeader& header) {
  // Qt's reader gives a 32-bit file with an alpha mask of 0xFF000000 an alpha channel, whose
  // values the raster drops; its colours stay those of the bytes, as here.
  const bool plainRgb =
      header.compression == 0 && (header.bitsPerPixel == 24 || header.bitsPerPixel == 32);
  const bool windowsHeader =
      header.infoSize == 40 || header.infoSize == 108 || header.infoSize == 124;
  return plainRgb && windowsHeader && header.planes == 1 && !header.mirrored && header.width > 0 &&
         header.height > 0 && header.dataOffset >= kFileHeaderSize + header.infoSize;
}

void ConvertBmpPixels(const uint8_t* row, int bytesPerPixel, int32_t from, int32_t width,
                      uint32_t* out) {
  const auto step = static_cast<std::size_t>(bytesPerPixel);
  for (int32_t x = std::max(from, 0); x < width; ++x) {
    const uint8_t* pixel = row + step * static_cast<std::size_t>(x);
    out[x] = uint32_t{pixel[0]} << 16 | uint32_t{pixel[1]} << 8 | pixel[2];
  }
}

void ConvertBmpRow(const uint8_t* row, int bytesPerPixel, int32_t width, uint32_t* out) {
  static const bool shuffles = __builtin_cpu_supports("ssse3") != 0;
  if (shuffles) {
    ConvertWithShuffles(row, bytesPerPixel, width, out);
  } else {
    ConvertBmpPixels(row, bytesPerPixel, 0, width, out);
  }
}

void ReadDirectBmp(const ReadOnlyFile& file, const BmpHeader& header, Raster& into) {
  const auto width = static_cast<int32_t>(header.width);
  const auto height = static_cast<int32_t>(header.height);
  const int bytesPerPixel = static_cast<int>(header.bitsPerPixel / 8);
  const auto rowBytes = static_cast<std::size_t>(header.RowBytes());
  const std::size_t piecesRows = std::max<std::size_t>(1, kPieceBytes / rowBytes);
  std::vector<uint8_t> piece(piecesRows * rowBytes);
  into.ResizeForOverwrite(width, height);

  for (int32_t fileRow = 0; fileRow < height;) {
    const auto rows = static_cast<int32_t>(
        std::min<std::size_t>(piecesRows, static_cast<std::size_t>(height - fileRow)));
    const std::size_t bytes = static_cast<std::size_t>(rows) * rowBytes;
    if (file.ReadAt(header.dataOffset + static_cast<uint64_t>(fileRow) * rowBytes, piece.data(),
                    bytes) != bytes) {
      throw std::runtime_error("the file ended while it was read");
    }
    for (int32_t i = 0; i < rows; ++i, ++fileRow) {
      // Rows are stored from the bottom up unless the header says otherwise.
      const int32_t y = header.topDown ? fileRow : height - 1 - fileRow;
      ConvertBmpRow(
          piece.data() + static_cast<std::size_t>(i) * rowBytes, bytesPerPixel, width,
          into.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width));
    }
  }
}

}  // namespace tivenor
