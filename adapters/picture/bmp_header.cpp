#include "adapters/picture/bmp_header.h"

#include <cstdlib>

namespace tivenor {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr uint32_t kOs2InfoSize = 12;
constexpr uint32_t kCommonInfoSize = 40;
constexpr uint32_t kVersion4InfoSize = 108;

uint32_t Unsigned(const uint8_t* bytes, std::size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
  return value;
}

}  // namespace

BmpHeaderRead ReadBmpHeader(const uint8_t* head, std::size_t headSize, BmpHeader& header) {
  if (headSize < 2 || head[0] != 'B' || head[1] != 'M') return BmpHeaderRead::kNotBmp;
  if (headSize < kFileHeaderSize + kOs2InfoSize) return BmpHeaderRead::kCut;
  header = BmpHeader{};
  header.dataOffset = Unsigned(head, 10, 4);
  header.infoSize = Unsigned(head, 14, 4);
  if (header.infoSize == kOs2InfoSize) {
    header.width = Unsigned(head, 18, 2);
    header.height = Unsigned(head, 20, 2);
    header.planes = Unsigned(head, 22, 2);
    header.bitsPerPixel = Unsigned(head, 24, 2);
    return BmpHeaderRead::kRead;
  }
  if (headSize < kFileHeaderSize + kCommonInfoSize) return BmpHeaderRead::kCut;
  const auto width = static_cast<int32_t>(Unsigned(head, 18, 4));
  const auto height = static_cast<int32_t>(Unsigned(head, 22, 4));
  header.width = std::llabs(width);
  header.height = std::llabs(height);
  header.mirrored = width < 0;
  header.topDown = height < 0;
  header.planes = Unsigned(head, 26, 2);
  header.bitsPerPixel = Unsigned(head, 28, 2);
  header.compression = Unsigned(head, 30, 4);
  header.imageSize = Unsigned(head, 34, 4);
  constexpr std::size_t kAlphaMaskOffset = 66;
  if (header.infoSize >= kVersion4InfoSize && headSize >= kAlphaMaskOffset + 4)
    header.alphaMask = Unsigned(head, kAlphaMaskOffset, 4);
  return BmpHeaderRead::kRead;
}

}  // namespace tivenor
