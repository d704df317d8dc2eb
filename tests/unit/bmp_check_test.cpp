#include "adapters/picture/bmp_check.h"

#include <gtest/gtest.h>

#include <vector>

namespace tivenor {
namespace {

void Put(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes[offset + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}

// The 54 header bytes of a BMP with the common info header.
std::vector<uint8_t> Header(int32_t width, int32_t height, int bits, int compression,
                            uint32_t imageSize = 0) {
  std::vector<uint8_t> head(54, 0);
  head[0] = 'B';
  head[1] = 'M';
  Put(head, 10, 54 + (bits <= 8 ? 4u << bits : 0u), 4);  // data after the palette
  Put(head, 14, 40, 4);
  Put(head, 18, static_cast<uint32_t>(width), 4);
  Put(head, 22, static_cast<uint32_t>(height), 4);
  Put(head, 28, static_cast<uint32_t>(bits), 2);
  Put(head, 30, static_cast<uint32_t>(compression), 4);
  Put(head, 34, imageSize, 4);
  return head;
}

std::string Check(const std::vector<uint8_t>& head, uint64_t fileSize) {
  return BmpTruncation(head.data(), head.size(), fileSize);
}

TEST(BmpTruncationTest, PlainRowsMustAllBeThere) {
  // 24 bits, 5 pixels a row: 15 bytes padded to 16; 3 rows.
  const auto head = Header(5, 3, 24, 0);
  EXPECT_EQ(Check(head, 54 + 48), "");
  EXPECT_NE(Check(head, 54 + 47), "");
  // Top-down (negative height) needs the same.
  EXPECT_NE(Check(Header(5, -3, 24, 0), 54 + 47), "");
  EXPECT_EQ(Check(Header(5, -3, 24, 0), 54 + 48), "");
}

TEST(BmpTruncationTest, PaletteDepthsCountBitsPerRow) {
  // 1 bit, 33 pixels: 5 bytes padded to 8; palette of 2 entries (8 bytes).
  EXPECT_EQ(Check(Header(33, 2, 1, 0), 62 + 16), "");
  EXPECT_NE(Check(Header(33, 2, 1, 0), 62 + 15), "");
  // 4 bits, 9 pixels: 5 bytes padded to 8; palette of 16 entries (64 bytes).
  EXPECT_NE(Check(Header(9, 10, 4, 0), 118 + 79), "");
}

TEST(BmpTruncationTest, RunLengthDataUsesTheDeclaredImageSize) {
  EXPECT_EQ(Check(Header(100, 100, 8, 1, 500), 1078 + 500), "");
  EXPECT_NE(Check(Header(100, 100, 8, 1, 500), 1078 + 499), "");
}

TEST(BmpTruncationTest, TheOldShortHeaderIsUnderstood) {
  std::vector<uint8_t> head(26, 0);
  head[0] = 'B';
  head[1] = 'M';
  Put(head, 10, 26, 4);
  Put(head, 14, 12, 4);
  Put(head, 18, 4, 2);   // width
  Put(head, 20, 2, 2);   // height
  Put(head, 24, 24, 2);  // bits: 12 bytes a row
  EXPECT_EQ(Check(head, 26 + 24), "");
  EXPECT_NE(Check(head, 26 + 23), "");
}

TEST(BmpTruncationTest, OtherFilesAndCutHeaders) {
  const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G'};
  EXPECT_EQ(Check(png, 100000), "");
  auto head = Header(5, 3, 24, 0);
  head.resize(30);
  EXPECT_NE(Check(head, 30), "");
}

}  // namespace
}  // namespace tivenor
