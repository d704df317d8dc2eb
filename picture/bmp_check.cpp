#include "picture/bmp_check.h"

#include <cstdlib>
#include <fstream>

namespace tivenor {

namespace {

constexpr std::size_t kHeadersSize = 54;  // file header and the common info header

uint32_t Unsigned(const uint8_t* bytes, std::size_t offset, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = value << 8 | bytes[offset + static_cast<std::size_t>(i)];
  return value;
}

}  // namespace

std::string BmpTruncation(const uint8_t* head, std::size_t headSize, uint64_t fileSize) {
  if (headSize < 2 || head[0] != 'B' || head[1] != 'M') return {};
  if (headSize < 26) return "the file ends inside its header";
  const uint64_t dataOffset = Unsigned(head, 10, 4);
  const uint32_t infoSize = Unsigned(head, 14, 4);

  uint64_t width = 0, height = 0, bitsPerPixel = 0, compression = 0, imageSize = 0;
  if (infoSize == 12) {  // the old OS/2 header
    width = Unsigned(head, 18, 2);
    height = Unsigned(head, 20, 2);
    bitsPerPixel = Unsigned(head, 24, 2);
  } else {
    if (headSize < kHeadersSize) return "the file ends inside its header";
    width = static_cast<uint64_t>(std::llabs(static_cast<int32_t>(Unsigned(head, 18, 4))));
    height = static_cast<uint64_t>(std::llabs(static_cast<int32_t>(Unsigned(head, 22, 4))));
    bitsPerPixel = Unsigned(head, 28, 2);
    compression = Unsigned(head, 30, 4);
    imageSize = Unsigned(head, 34, 4);
  }

  uint64_t needed = 0;
  if (compression == 0 || compression == 3 || compression == 6) {  // plain rows, bit fields
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    needed = dataOffset + rowBytes * height;
  } else if (compression == 1 || compression == 2) {  // run-length encoded
    needed = dataOffset + imageSize;
  } else {
    return {};  // embedded JPEG or PNG: their own decoders notice a cut
  }
  if (fileSize >= needed) return {};
  return "the file is cut short: it holds " + std::to_string(fileSize) + " of the " +
         std::to_string(needed) + " bytes its header announces";
}

std::string BmpTruncation(const std::string& fileName) {
  std::ifstream file(fileName, std::ios::binary | std::ios::ate);
  if (!file) return {};  // the decoder reports files it cannot open
  const auto fileSize = static_cast<uint64_t>(file.tellg());
  uint8_t head[kHeadersSize] = {};
  file.seekg(0);
  file.read(reinterpret_cast<char*>(head), kHeadersSize);
  return BmpTruncation(head, static_cast<std::size_t>(file.gcount()), fileSize);
}

}  // namespace tivenor
