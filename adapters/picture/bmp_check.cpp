#include "adapters/picture/bmp_check.h"

#include <fstream>

#include "adapters/picture/bmp_header.h"

namespace tivenor {

std::string BmpTruncation(const uint8_t* head, std::size_t headSize, uint64_t fileSize) {
  BmpHeader header;
  switch (ReadBmpHeader(head, headSize, header)) {
    case BmpHeaderRead::kNotBmp:
      return {};
    case BmpHeaderRead::kCut:
      return "the file ends inside its header";
    case BmpHeaderRead::kRead:
      break;
  }

  uint64_t needed = 0;
  const uint32_t compression = header.compression;
  if (compression == 0 || compression == 3 || compression == 6) {  // plain rows, bit fields
    needed = header.dataOffset + header.RowBytes() * static_cast<uint64_t>(header.height);
  } else if (compression == 1 || compression == 2) {  // run-length encoded
    needed = header.dataOffset + header.imageSize;
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
  uint8_t head[kBmpLongestHeaders] = {};
  file.seekg(0);
  file.read(reinterpret_cast<char*>(head), sizeof head);
  return BmpTruncation(head, static_cast<std::size_t>(file.gcount()), fileSize);
}

}  // namespace tivenor
